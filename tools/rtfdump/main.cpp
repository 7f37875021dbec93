// rtfdump FILE: prints, as UTF-8, the plain text the program's RTF reader
// makes of FILE, one paragraph a line. For checking data files and result
// documents by hand. Data that is not RTF is read as code page 1250 plain
// text, as the view does, and said so on stderr.
#include "RtfReader.h"

#include <QFile>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: rtfdump FILE\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "rtfdump: %s: %s\n", argv[1], qPrintable(file.errorString()));
        return 1;
    }
    const QByteArray data = file.readAll();

    QTextDocument doc;
    if (richtext::loadStream(&doc, data) == richtext::StreamFormat::PlainText)
        std::fprintf(stderr, "rtfdump: %s is not RTF; read as plain text (code page 1250)\n", argv[1]);

    QString text = doc.toPlainText();
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    const QByteArray out = text.toUtf8();
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    if (!out.isEmpty() && !out.endsWith('\n'))
        std::fputc('\n', stdout);
    return std::ferror(stdout) ? 1 : 0;
}
