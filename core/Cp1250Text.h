#pragma once
// Text crossing between the widgets (Unicode) and the dictionary (code page
// 1250 bytes). The dictionary never converts; only what the user types and
// what the window shows passes through here. The table is richtext's.
#include "Cp1250.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <string_view>

namespace cp1250 {

// Characters that code page 1250 cannot hold become '?'; text to show or
// print, never to search for (see SearchKey).
inline QByteArray FromUnicode(const QString& text) { return encode(text); }

// The bytes a search looks for, one per character as FromUnicode gives. A
// character the code page lacks cannot occur in the dictionary, so it becomes
// NUL, which no line holds: the term then finds nothing, where its '?' would
// find every question mark.
inline QByteArray SearchKey(const QString& text)
{
    const QList<uint> characters = text.toUcs4();
    QByteArray key;
    key.reserve(characters.size());
    for (const uint c : characters) {
        bool ok = true;
        const uint8_t b = fromUnicode(c, &ok);
        key.append(ok ? char(b) : '\0');
    }
    return key;
}

inline QString ToUnicode(std::string_view bytes)
{
    return decode(bytes.data(), qsizetype(bytes.size()));
}
inline QString ToUnicode(const QByteArray& bytes) { return decode(bytes); }

} // namespace cp1250
