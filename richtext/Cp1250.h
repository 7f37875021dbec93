// Windows code page 1250 (Central European) <-> Unicode.
//
// The dictionary, its RTF and everything the program writes are 8-bit text in
// code page 1250. Qt on Debian decodes "windows-1250" only through ICU, which a
// build may lack, so the table lives here and is exact.
//
// The five bytes the code page leaves unassigned (0x81 0x83 0x88 0x90 0x98)
// map to the C1 control of the same value, as Windows' own conversion does;
// that keeps every byte string round-trippable.
//
// The API is stable: other parts of the program (the search) depend on it.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

namespace cp1250 {

inline constexpr std::array<char16_t, 256> kToUnicode = {
    0x0000, 0x0001, 0x0002, 0x0003, 0x0004, 0x0005, 0x0006, 0x0007,
    0x0008, 0x0009, 0x000A, 0x000B, 0x000C, 0x000D, 0x000E, 0x000F,
    0x0010, 0x0011, 0x0012, 0x0013, 0x0014, 0x0015, 0x0016, 0x0017,
    0x0018, 0x0019, 0x001A, 0x001B, 0x001C, 0x001D, 0x001E, 0x001F,
    0x0020, 0x0021, 0x0022, 0x0023, 0x0024, 0x0025, 0x0026, 0x0027,
    0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F,
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F,
    0x0040, 0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047,
    0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D, 0x004E, 0x004F,
    0x0050, 0x0051, 0x0052, 0x0053, 0x0054, 0x0055, 0x0056, 0x0057,
    0x0058, 0x0059, 0x005A, 0x005B, 0x005C, 0x005D, 0x005E, 0x005F,
    0x0060, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067,
    0x0068, 0x0069, 0x006A, 0x006B, 0x006C, 0x006D, 0x006E, 0x006F,
    0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077,
    0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x007F,
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

// Unicode of one code page 1250 byte.
inline constexpr char32_t toUnicode(uint8_t byte) { return kToUnicode[byte]; }

namespace detail {
// Every upper-half character of the code page lies below U+0300 except a few
// punctuation marks in U+20xx/U+21xx, so one small table plus a short list
// answers the reverse question without a search.
inline constexpr char32_t kLowLimit = 0x300;

inline constexpr std::array<uint8_t, kLowLimit> makeLowTable()
{
    std::array<uint8_t, kLowLimit> t{};
    for (int b = 0x80; b < 0x100; ++b) {
        if (kToUnicode[b] < kLowLimit)
            t[kToUnicode[b]] = static_cast<uint8_t>(b);
    }
    return t;
}
inline constexpr std::array<uint8_t, kLowLimit> kFromLow = makeLowTable();
} // namespace detail

// Code page 1250 byte of a character. A character the code page lacks gives
// '?' and *ok = false; otherwise *ok = true. ok may be null.
inline constexpr uint8_t fromUnicode(char32_t c, bool *ok = nullptr)
{
    if (ok)
        *ok = true;
    if (c < 0x80)
        return static_cast<uint8_t>(c);
    if (c < detail::kLowLimit) {
        if (uint8_t b = detail::kFromLow[c])
            return b;
    } else if (c >= 0x2000 && c < 0x2200) {
        for (int b = 0x80; b < 0xA0; ++b) {
            if (kToUnicode[b] == c)
                return static_cast<uint8_t>(b);
        }
    }
    if (ok)
        *ok = false;
    return '?';
}

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
