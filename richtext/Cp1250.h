// Code page 1250 text <-> QString, over the table of Cp1250Table.h.
//
// The API is stable: other parts of the program (the search) depend on it.
#pragma once

#include "Cp1250Table.h"

#include <QByteArray>
#include <QString>

namespace cp1250 {

// Whole strings. decode never fails; encode replaces what the code page lacks
// by '?' and clears *ok if it had to.
inline QString decode(const char *data, qsizetype size)
{
    QString out(size, Qt::Uninitialized);
    QChar *dst = out.data();
    for (qsizetype i = 0; i < size; ++i)
        dst[i] = QChar(kToUnicode[static_cast<uint8_t>(data[i])]);
    return out;
}

inline QString decode(const QByteArray &bytes) { return decode(bytes.constData(), bytes.size()); }

inline QByteArray encode(const QString &text, bool *ok = nullptr)
{
    QByteArray out;
    out.reserve(text.size());
    bool all = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i).unicode(), text.at(i + 1).unicode());
            ++i;
        }
        bool one = true;
        out.append(static_cast<char>(fromUnicode(c, &one)));
        all = all && one;
    }
    if (ok)
        *ok = all;
    return out;
}

} // namespace cp1250
