#pragma once
// Text crossing between the widgets (Unicode) and the dictionary (code page
// 1250 bytes). The dictionary never converts; only what the user types and
// what the window shows passes through here. The table is richtext's.
#include "Cp1250.h"

#include <QByteArray>
#include <QString>
#include <string_view>

namespace cp1250 {

// Characters that code page 1250 cannot hold become '?', which simply finds
// nothing in the dictionary.
inline QByteArray FromUnicode(const QString& text) { return encode(text); }
inline QString ToUnicode(std::string_view bytes)
{
    return decode(bytes.data(), qsizetype(bytes.size()));
}
inline QString ToUnicode(const QByteArray& bytes) { return decode(bytes); }

} // namespace cp1250
