#include "PdfPages.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

QString Unescape(QString text)
{
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&apos;"), QLatin1String("'"));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

} // namespace

QStringList TPdfPage::TextBetween(double top, double bottom) const
{
    QStringList out;
    for (const TPdfWord& word : Words)
        if (word.YMin >= top && word.YMin < bottom)
            out << word.Text;
    return out;
}

const TPdfWord* TPdfPage::Find(const QString& text) const
{
    for (const TPdfWord& word : Words)
        if (word.Text == text)
            return &word;
    return nullptr;
}

const TPdfWord* TPdfPage::FindLast(const QString& text) const
{
    for (auto it = Words.rbegin(); it != Words.rend(); ++it)
        if (it->Text == text)
            return &*it;
    return nullptr;
}

std::vector<TPdfPage> ReadPdfPages(const QString& pdfFile)
{
    std::vector<TPdfPage> pages;
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdfFile, QStringLiteral("-")});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        return pages;
    const QString xhtml = QString::fromUtf8(tool.readAllStandardOutput());
    static const QRegularExpression element(
        QStringLiteral(R"re(<page\b|<word xMin="([^"]+)" yMin="([^"]+)" xMax="([^"]+)" yMax="([^"]+)">([^<]*)</word>)re"));
    for (auto it = element.globalMatch(xhtml); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (match.captured(0).startsWith(QLatin1String("<page"))) {
            pages.emplace_back();
            continue;
        }
        if (pages.empty())
            continue;
        pages.back().Words.push_back({Unescape(match.captured(5)), match.captured(1).toDouble(),
                                      match.captured(2).toDouble(), match.captured(3).toDouble(),
                                      match.captured(4).toDouble()});
    }
    return pages;
}

std::vector<QStringList> ReadPdfLayoutLines(const QString& pdfFile)
{
    std::vector<QStringList> pages;
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                                             pdfFile, QStringLiteral("-")});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        return pages;
    // Pages end in a form feed.
    QStringList texts = QString::fromUtf8(tool.readAllStandardOutput()).split(QChar(u'\f'));
    if (!texts.isEmpty() && texts.last().trimmed().isEmpty())
        texts.removeLast();
    for (const QString& text : texts) {
        QStringList lines;
        for (const QString& line : text.split(QChar(u'\n')))
            if (!line.trimmed().isEmpty())
                lines << line.simplified();
        pages.push_back(lines);
    }
    return pages;
}

QImage RenderPdfPage(const QString& pdfFile, int page, int dotsPerInch)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    QProcess tool;
    tool.start(QStringLiteral("pdftoppm"), {QStringLiteral("-gray"), QStringLiteral("-r"), QString::number(dotsPerInch),
                                            QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                            QString::number(page), QStringLiteral("-singlefile"), pdfFile, prefix});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        return QImage();
    return QImage(prefix + QStringLiteral(".pgm"));
}

QStringList ReadPdfPageTexts(const QString& pdfFile)
{
    QStringList texts;
    for (const TPdfPage& page : ReadPdfPages(pdfFile)) {
        QStringList words;
        for (const TPdfWord& word : page.Words)
            words << word.Text;
        texts << words.join(u' ');
    }
    return texts;
}
