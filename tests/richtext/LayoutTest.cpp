#include "ResultDocuments.h"
#include "RichTextLayout.h"
#include "RtfReader.h"

#include <QDir>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using richtext::RichTextLayout;

namespace {

constexpr int kPrinterDpi = 600;

qreal mmToPx(qreal mm, int dpi) { return mm / 25.4 * dpi; }

// A result of n hits, read as the report reads it: Arial 10 pt where the
// RTF gives no size. Entries have long notes so that most wrap.
std::unique_ptr<QTextDocument> resultDocument(int hits)
{
    QList<QByteArray> lines;
    for (int i = 0; i < hits; ++i) {
        QByteArray line = testdocs::entryLine(i);
        for (int k = 0; k < i % 4; ++k)
            line += "du\\'9ea napomena koja prelazi u novi redak ";
        lines << line + "kraj" + QByteArray::number(i) + " ";
    }
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultFont(QFont("Arial", 10));
    EXPECT_TRUE(richtext::readRtf(doc.get(), testdocs::resultDocument(lines)));
    return doc;
}

QImage printerImage(qreal widthPx, qreal heightPx)
{
    QImage image(int(widthPx) + 1, int(heightPx) + 1, QImage::Format_RGB32);
    const int dotsPerMeter = qRound(kPrinterDpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    return image;
}

// The slices a flow cuts the document into, as [from, to) pairs.
std::vector<std::pair<int, int>> slices(const RichTextLayout &layout, qreal heightPx)
{
    std::vector<std::pair<int, int>> out;
    for (int from = 0; from < layout.endIndex();) {
        const int to = layout.fitRange(from, heightPx);
        EXPECT_GT(to, from);
        if (to <= from)
            break;
        out.emplace_back(from, to);
        from = to;
    }
    return out;
}

int lowestInkRow(const QImage &image)
{
    const QByteArray white(int(image.bytesPerLine()), char(0xff));
    for (int y = image.height() - 1; y >= 0; --y) {
        if (memcmp(image.constScanLine(y), white.constData(), size_t(white.size())) != 0)
            return y;
    }
    return -1;
}

} // namespace

TEST(RichTextLayout, SlicesCoverTheDocumentAndEachFits)
{
    auto doc = resultDocument(40);
    const qreal width = mmToPx(185.21, kPrinterDpi);
    const qreal height = mmToPx(26.46, kPrinterDpi);
    QImage device = printerImage(width, height);
    RichTextLayout layout(doc.get(), &device, width);
    EXPECT_EQ(layout.endIndex(), doc->characterCount());

    const auto cuts = slices(layout, height);
    ASSERT_GT(cuts.size(), 3u);
    EXPECT_EQ(cuts.front().first, 0);
    EXPECT_EQ(cuts.back().second, layout.endIndex());
    for (const auto &[from, to] : cuts) {
        const qreal h = layout.heightOf(from, to);
        EXPECT_LE(h, height + 1e-6);
        // Whole lines: the slice would not fit with one line more.
        if (to < layout.endIndex()) {
            EXPECT_GT(layout.heightOf(from, layout.fitRange(to, 1)), height);
        }
        // Whatever is drawn stays within the slice's own height.
        QImage image = printerImage(width, height * 1.25);
        QPainter painter(&image);
        layout.render(&painter, QRectF(0, 0, width, height), from, to);
        painter.end();
        EXPECT_LE(lowestInkRow(image), h + 1) << from;
    }
}

TEST(RichTextLayout, LayoutFollowsTheDeviceResolution)
{
    auto screenDoc = resultDocument(10);
    auto printerDoc = resultDocument(10);
    QImage screen(100, 100, QImage::Format_RGB32);
    screen.setDotsPerMeterX(qRound(96 / 0.0254));
    screen.setDotsPerMeterY(qRound(96 / 0.0254));
    QImage printer = printerImage(10, 10);
    RichTextLayout onScreen(screenDoc.get(), &screen, mmToPx(185.21, 96));
    RichTextLayout onPrinter(printerDoc.get(), &printer, mmToPx(185.21, kPrinterDpi));
    const qreal ratio = onPrinter.heightOf(0, onPrinter.endIndex()) / onScreen.heightOf(0, onScreen.endIndex());
    EXPECT_NEAR(ratio, kPrinterDpi / 96.0, 0.1 * kPrinterDpi / 96.0);
}

TEST(RichTextLayout, ALineTallerThanTheRectangleStillAdvances)
{
    QTextDocument doc;
    ASSERT_TRUE(richtext::readRtf(&doc, "{\\rtf1 mali\\par {\\fs400 GOLEM}\\par mali}"));
    QImage device = printerImage(2000, 100);
    RichTextLayout layout(&doc, &device, 20000);
    const qreal small = 20; // shorter than any line at 600 dpi
    const auto cuts = slices(layout, small);
    ASSERT_EQ(cuts.size(), 3u);
    EXPECT_EQ(cuts[1].first, 5);
    EXPECT_GT(layout.heightOf(cuts[1].first, cuts[1].second), 1000);
    EXPECT_EQ(layout.fitRange(layout.endIndex(), small), layout.endIndex());
}

TEST(RichTextLayout, EmptyDocumentIsOneEmptyLine)
{
    QTextDocument doc;
    QImage device = printerImage(100, 100);
    RichTextLayout layout(&doc, &device, 1000);
    EXPECT_EQ(layout.endIndex(), 1);
    EXPECT_EQ(layout.fitRange(0, 10000), 1);
    EXPECT_EQ(layout.lineCount(), 1);
}

TEST(RichTextLayout, PdfPagesHoldEveryLineExactlyOnce)
{
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdfPath = dir.filePath("slices.pdf");
    const int hits = 30;
    auto doc = resultDocument(hits);
    std::vector<std::pair<int, int>> cuts;
    {
        QPdfWriter writer(pdfPath);
        writer.setResolution(kPrinterDpi);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        const qreal width = mmToPx(185.21, kPrinterDpi);
        const qreal height = mmToPx(26.46, kPrinterDpi);
        RichTextLayout layout(doc.get(), &writer, width);
        cuts = slices(layout, height);
        QPainter painter(&writer);
        for (size_t i = 0; i < cuts.size(); ++i) {
            if (i > 0)
                writer.newPage();
            layout.render(&painter, QRectF(mmToPx(10, kPrinterDpi), mmToPx(20, kPrinterDpi), width, height),
                          cuts[i].first, cuts[i].second);
        }
    }
    QProcess run;
    run.start(pdftotext, {pdfPath, "-"});
    ASSERT_TRUE(run.waitForFinished(30000));
    const QString text = QString::fromUtf8(run.readAllStandardOutput());
    const QStringList pages = text.split(QChar('\f'));
    ASSERT_GE(pages.size(), int(cuts.size()));

    // Each entry's first and last word appear once in all, and the entries
    // come in order: nothing lost, nothing doubled at a page break.
    int lastPage = 0;
    for (int i = 0; i < hits; ++i) {
        for (const QString &word : {QString("court%1").arg(i), QString("kraj%1").arg(i)}) {
            const QRegularExpression re("\\b" + word + "\\b");
            EXPECT_EQ(text.count(re), 1) << word.toStdString();
            int page = 0;
            while (page < pages.size() && !pages[page].contains(re))
                ++page;
            EXPECT_GE(page, lastPage) << word.toStdString();
            lastPage = page;
        }
    }
    EXPECT_TRUE(text.contains("opći pojam")) << "code page 1250 text reaches the page";
}
