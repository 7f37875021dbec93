// libFuzzer target for the RTF reader: whatever the bytes, reading them (as
// RTF, or as plain text when they are not), writing the result back as RTF
// and laying it out must neither crash nor trip ASan/UBSan. Read in slices
// (as the result view does), the same bytes must give the same document.
#include "RichTextLayout.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QGuiApplication>
#include <QImage>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Lives until the process ends: the layout needs fonts.
    static QGuiApplication *app = new QGuiApplication(*argc, *argv);
    (void)app;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));

    QTextDocument doc;
    richtext::loadStream(&doc, bytes);
    if (!richtext::looksLikeRtf(bytes)) {
        // Most random inputs are not RTF; read them as RTF bodies too.
        richtext::readRtf(&doc, "{\\rtf1 " + bytes);
    }
    (void)doc.toPlainText();

    // Slices of a size taken from the input, read one after the other, make
    // the document one read makes.
    {
        const QByteArray rtfInput = richtext::looksLikeRtf(bytes) ? bytes : "{\\rtf1 " + bytes;
        QTextDocument whole;
        richtext::readRtf(&whole, rtfInput);
        QTextDocument sliced;
        richtext::IncrementalRtfReader reader;
        if (!reader.start(&sliced, rtfInput))
            std::abort();
        const qsizetype step = 1 + (size > 0 ? data[size - 1] % 61 : 0);
        while (!reader.step(step)) {
        }
        if (sliced.toRawText() != whole.toRawText()
            || richtext::writeRtf(&sliced, 0, sliced.characterCount() - 1)
                != richtext::writeRtf(&whole, 0, whole.characterCount() - 1))
            std::abort();
    }

    // What the reader made must write and read back without trouble.
    const QByteArray rtf = richtext::writeRtf(&doc, 0, doc.characterCount() - 1);
    QTextDocument back;
    if (!richtext::readRtf(&back, rtf))
        std::abort();

    // Layout is costly; small documents only, so the fuzzer keeps its pace.
    if (doc.characterCount() < 2000) {
        QImage device(8, 8, QImage::Format_RGB32);
        device.setDotsPerMeterX(23622); // 600 dpi
        device.setDotsPerMeterY(23622);
        richtext::RichTextLayout layout(&doc, &device, 4000);
        int steps = 0;
        for (int from = 0; from < layout.endIndex(); ++steps) {
            const int to = layout.fitRange(from, 300);
            if (to <= from || steps > layout.lineCount())
                std::abort(); // the flow must advance by whole lines
            (void)layout.heightOf(from, to);
            from = to;
        }
    }
    return 0;
}
