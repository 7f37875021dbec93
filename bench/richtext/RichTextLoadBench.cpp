// Loading a result document of 2,000 hits: our RTF reader against
// QTextDocument::setHtml on the equivalent HTML, measured side by side
// (alternating, so both see the same machine load). Target: ratio <= 1.
#include "RtfReader.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const char kHeader[] =
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss\\fcharset238{\\*\\fname Arial;}Arial CE;}}"
    "{\\colortbl\\red0\\green0\\blue0;\\red152\\green2\\blue24;}{\\pard\\deflang1050}\r\n";
const char kFooter[] = "\\par \\par \\plain\\f2\\fs16 \\par}";

// Entries in the dictionary's manner: headword, part of speech, translation
// in colour, a bracketed domain and a note with Croatian letters.
QByteArray rtfDocument(int hits)
{
    QByteArray doc = kHeader;
    for (int i = 0; i < hits; ++i) {
        const QByteArray n = QByteArray::number(i);
        QByteArray line = "\\par {\\b court of appeal " + n + "} {\\i n.} {\\cf1 \\'9ealbeni sud " + n +
                          "}; [op\\'e6i pojam] sud drugog stupnja koji odlu\\'e8uje o \\'9ealbama protiv "
                          "odluka ni\\'9eih sudova; {\\i vidi} {\\b appeal}. ";
        if (i == 0)
            line = line.mid(5, line.size() - 6); // the first-hit cut
        doc += line + "\r\n";
    }
    return doc + kFooter;
}

QString htmlDocument(int hits)
{
    QString doc = QStringLiteral("<html><body style=\"font-family:'Arial'\">");
    for (int i = 0; i < hits; ++i) {
        const QString n = QString::number(i);
        doc += QStringLiteral("<p><b>court of appeal %1</b> <i>n.</i> <span style=\"color:#980218\">žalbeni sud "
                              "%1</span>; [opći pojam] sud drugog stupnja koji odlučuje o žalbama protiv odluka "
                              "nižih sudova; <i>vidi</i> <b>appeal</b>. </p>\n")
                   .arg(n);
    }
    doc += QStringLiteral("<p></p><p></p><p style=\"font-size:8pt\"></p></body></html>");
    return doc;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const int hits = 2000;
    const QByteArray rtf = rtfDocument(hits);
    const QString html = htmlDocument(hits);

    // Both must give the same text, or the comparison means nothing.
    {
        QTextDocument a, b;
        richtext::readRtf(&a, rtf);
        b.setHtml(html);
        // (Spacing aside: Qt's HTML import drops the empty paragraphs at the end.)
        if (a.toPlainText().simplified() != b.toPlainText().simplified()) {
            std::fprintf(stderr, "the RTF and HTML documents differ in text\n%s\n---\n%s\n",
                         qPrintable(a.toPlainText().left(400)), qPrintable(b.toPlainText().left(400)));
            return 2;
        }
    }

    const int rounds = 21;
    std::vector<double> ours, qt;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        {
            QTextDocument doc;
            t.start();
            richtext::readRtf(&doc, rtf);
            ours.push_back(t.nsecsElapsed() / 1e6);
        }
        {
            QTextDocument doc;
            t.start();
            doc.setHtml(html);
            qt.push_back(t.nsecsElapsed() / 1e6);
        }
    }
    const double mo = median(ours), mq = median(qt);
    const double ratio = mo / mq;
    std::printf("result document, %d hits (%lld bytes of RTF)\n", hits, static_cast<long long>(rtf.size()));
    std::printf("  RTF reader            median %8.2f ms\n", mo);
    std::printf("  QTextDocument::setHtml median %8.2f ms\n", mq);
    std::printf("  ratio reader/setHtml  %.3f (target <= 1.0): %s\n", ratio, ratio <= 1.0 ? "PASS" : "FAIL");
    return ratio <= 1.0 ? 0 : 1;
}
