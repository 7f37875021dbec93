// Result documents as the program builds them: a fixed header, one entry line
// per hit, a fixed footer (bytes in code page 1250).
#pragma once

#include <QByteArray>
#include <QList>

inline QByteArray ResultDocument(const QList<QByteArray>& entries)
{
    QByteArray doc = "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss\\fcharset238{\\*\\fname Arial;}Arial CE;}}"
                     "{\\colortbl\\red0\\green0\\blue0;\\red152\\green2\\blue24;}{\\pard\\deflang1050}\r\n";
    for (const QByteArray& entry : entries)
        doc += entry + "\r\n";
    doc += "\\par \\par \\plain\\f2\\fs16 \\par}";
    return doc;
}

// n entries of varied length: some a single line, some wrapping over several,
// some in a larger type, with Croatian letters.
inline QByteArray LongResultDocument(int n)
{
    QList<QByteArray> entries;
    for (int i = 0; i < n; ++i) {
        // The first hit comes without its leading paragraph mark, as the
        // search writes it.
        QByteArray entry = QByteArray(i == 0 ? "" : "\\par ") + "{\\b\\cf1 pojam" + QByteArray::number(i) + "} - ";
        if (i % 7 == 3)
            entry += "{\\fs36 veliko" + QByteArray::number(i) + "} ";
        entry += "pravni izraz \\'e8\\'e6\\'9a\\'9e\\'d0 broj " + QByteArray::number(i);
        for (int k = 0; k < (i % 5) * 6; ++k)
            entry += " rije\\'e8" + QByteArray::number(i) + "x" + QByteArray::number(k);
        entries << entry;
    }
    return ResultDocument(entries);
}
