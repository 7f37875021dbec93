// Result documents as the program assembles them: the fixed header, the
// entry lines of the hits (the first one cut by the first-hit rule) and the
// fixed footer.
#pragma once

#include <QByteArray>
#include <QList>

namespace testdocs {

inline const QByteArray kHeader =
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss\\fcharset238{\\*\\fname Arial;}Arial CE;}}"
    "{\\colortbl\\red0\\green0\\blue0;\\red152\\green2\\blue24;}{\\pard\\deflang1050}\r\n";
inline const QByteArray kFooter = "\\par \\par \\plain\\f2\\fs16 \\par}";

inline QByteArray resultDocument(const QList<QByteArray> &entryLines)
{
    QByteArray doc = kHeader;
    for (qsizetype i = 0; i < entryLines.size(); ++i) {
        const QByteArray &line = entryLines[i];
        if (i == 0 && line.startsWith("\\par"))
            doc += line.size() > 6 ? line.mid(5, line.size() - 6) : QByteArray();
        else
            doc += line;
        doc += "\r\n";
    }
    return doc + kFooter;
}

// An entry line in the dictionary's manner; n makes each one distinct.
inline QByteArray entryLine(int n)
{
    return "\\par {\\b court" + QByteArray::number(n) + "} {\\i n.} {\\cf1 sud}; "
           "[op\\'e6i pojam] bilje\\'9aka o zna\\'e8enju " + QByteArray::number(n) + ". ";
}

} // namespace testdocs
