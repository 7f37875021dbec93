#include "CodePage.h"

#include "Cp1250Table.h"

#include <algorithm>

namespace mkdict {
namespace {

// U+00C0-U+017F without their diacritics (ligatures spelt out).
constexpr const char* kLatinBase[192] = {
    "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I", "I",
    "D", "N", "O", "O", "O", "O", "O", "x", "O", "U", "U", "U", "U", "Y", "Th", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",
    "d", "n", "o", "o", "o", "o", "o", "/", "o", "u", "u", "u", "u", "y", "th", "y",
    "A", "a", "A", "a", "A", "a", "C", "c", "C", "c", "C", "c", "C", "c", "D", "d",
    "D", "d", "E", "e", "E", "e", "E", "e", "E", "e", "E", "e", "G", "g", "G", "g",
    "G", "g", "G", "g", "H", "h", "H", "h", "I", "i", "I", "i", "I", "i", "I", "i",
    "I", "i", "IJ", "ij", "J", "j", "K", "k", "k", "L", "l", "L", "l", "L", "l", "L",
    "l", "L", "l", "N", "n", "N", "n", "N", "n", "n", "Ng", "ng", "O", "o", "O", "o",
    "O", "o", "OE", "oe", "R", "r", "R", "r", "R", "r", "S", "s", "S", "s", "S", "s",
    "S", "s", "T", "t", "T", "t", "T", "t", "U", "u", "U", "u", "U", "u", "U", "u",
    "U", "u", "U", "u", "W", "w", "Y", "y", "Y", "Z", "z", "Z", "z", "Z", "z", "s",
};

// Everything else we know a near form for: phonetic symbols (FreeDict's
// pronunciations), Greek letters, typographic marks. Sorted by code point.
struct Near { char32_t code; const char* text; };
constexpr Near kNear[] = {
    {0x00A1, "!"}, {0x00A2, "c"}, {0x00A3, "L"}, {0x00A5, "Y"}, {0x00AA, "a"},
    {0x00AF, "-"}, {0x00B2, "2"}, {0x00B3, "3"}, {0x00B9, "1"}, {0x00BA, "o"},
    {0x00BC, "1/4"}, {0x00BD, "1/2"}, {0x00BE, "3/4"}, {0x00BF, "?"},
    {0x0192, "f"}, {0x01CD, "A"}, {0x01CE, "a"}, {0x01CF, "I"}, {0x01D0, "i"},
    {0x01D1, "O"}, {0x01D2, "o"}, {0x01D3, "U"}, {0x01D4, "u"},
    {0x0218, "\xAA"}, {0x0219, "\xBA"}, {0x021A, "\xDE"}, {0x021B, "\xFE"},
    {0x0250, "a"}, {0x0251, "a"}, {0x0252, "o"}, {0x0254, "o"}, {0x0259, "e"},
    {0x025A, "er"}, {0x025B, "e"}, {0x025C, "e"}, {0x025D, "er"}, {0x025F, "j"},
    {0x0261, "g"}, {0x0263, "g"}, {0x0265, "h"}, {0x0268, "i"}, {0x026A, "i"},
    {0x026B, "l"}, {0x026F, "m"}, {0x0272, "nj"}, {0x0275, "o"}, {0x0279, "r"},
    {0x027B, "r"}, {0x027E, "r"}, {0x0281, "r"}, {0x0282, "s"}, {0x0283, "sh"},
    {0x0288, "t"}, {0x0289, "u"}, {0x028A, "u"}, {0x028B, "v"}, {0x028C, "a"},
    {0x028E, "lj"}, {0x028F, "y"}, {0x0290, "z"}, {0x0292, "zh"}, {0x0294, "'"},
    {0x02B0, "h"}, {0x02B2, "j"}, {0x02BC, "'"}, {0x02C8, "'"}, {0x02CC, ","},
    {0x02D0, ":"}, {0x02D1, ":"},
    {0x0391, "A"}, {0x0392, "B"}, {0x0393, "G"}, {0x0394, "D"}, {0x0395, "E"},
    {0x0396, "Z"}, {0x0397, "E"}, {0x0398, "Th"}, {0x0399, "I"}, {0x039A, "K"},
    {0x039B, "L"}, {0x039C, "M"}, {0x039D, "N"}, {0x039E, "X"}, {0x039F, "O"},
    {0x03A0, "P"}, {0x03A1, "R"}, {0x03A3, "S"}, {0x03A4, "T"}, {0x03A5, "Y"},
    {0x03A6, "F"}, {0x03A7, "Ch"}, {0x03A8, "Ps"}, {0x03A9, "O"},
    {0x03B1, "a"}, {0x03B2, "b"}, {0x03B3, "g"}, {0x03B4, "d"}, {0x03B5, "e"},
    {0x03B6, "z"}, {0x03B7, "e"}, {0x03B8, "th"}, {0x03B9, "i"}, {0x03BA, "k"},
    {0x03BB, "l"}, {0x03BC, "\xB5"}, {0x03BD, "n"}, {0x03BE, "x"}, {0x03BF, "o"},
    {0x03C0, "p"}, {0x03C1, "r"}, {0x03C2, "s"}, {0x03C3, "s"}, {0x03C4, "t"},
    {0x03C5, "y"}, {0x03C6, "f"}, {0x03C7, "ch"}, {0x03C8, "ps"}, {0x03C9, "o"},
    {0x2010, "-"}, {0x2011, "-"}, {0x2012, "-"}, {0x2015, "\x97"}, {0x201B, "'"},
    {0x201F, "\""}, {0x2032, "'"}, {0x2033, "\""}, {0x2044, "/"}, {0x2190, "<-"},
    {0x2192, "->"}, {0x2212, "-"}, {0x2260, "/="}, {0x2264, "<="}, {0x2265, ">="},
    {0xFB00, "ff"}, {0xFB01, "fi"}, {0xFB02, "fl"},
};

constexpr bool NearIsSorted()
{
    for (size_t i = 1; i < sizeof kNear / sizeof kNear[0]; ++i)
        if (kNear[i - 1].code >= kNear[i].code)
            return false;
    return true;
}
static_assert(NearIsSorted(), "kNear must stay sorted for the binary search");

bool IsCombiningMark(char32_t c)
{
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) ||
           (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) ||
           (c >= 0xFE20 && c <= 0xFE2F) || c == 0x200B || c == 0x200C ||
           c == 0x200D || c == 0x2060 || c == 0xFEFF;
}

// Blanks of every kind, the C0 and C1 controls included: the lines we write
// may carry nothing that splits them, and a search types plain spaces.
bool IsBlank(char32_t c)
{
    return c <= 0x20 || c == 0x7F || (c >= 0x80 && c <= 0xA0) ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 ||
           c == 0x202F || c == 0x205F || c == 0x3000 || c == 0x1680;
}

constexpr char kHex[] = "0123456789abcdef";

} // namespace

// The program's table maps the five unassigned bytes to C1 controls so that
// any byte string survives a round trip; the sources must never produce them.
char32_t FromCp1250(unsigned char b)
{
    const char32_t c = cp1250::toUnicode(b);
    return (b >= 0x80 && c < 0xA0) ? 0 : c;
}

int ToCp1250(char32_t c)
{
    if (c >= 0x80 && c < 0xA0)
        return -1;
    bool ok = false;
    const uint8_t b = cp1250::fromUnicode(c, &ok);
    return ok ? int(b) : -1;
}

std::string ClosestForm(char32_t c)
{
    if (IsBlank(c))
        return " ";
    int b = ToCp1250(c);
    if (b >= 0)
        return std::string(1, char(b));
    if (IsCombiningMark(c))
        return std::string();
    if (c >= 0xC0 && c < 0x180)
        return kLatinBase[c - 0xC0];
    auto it = std::lower_bound(std::begin(kNear), std::end(kNear), c,
                               [](const Near& n, char32_t v) { return n.code < v; });
    if (it != std::end(kNear) && it->code == c)
        return it->text;
    return "?";
}

bool IsValidUtf8(std::string_view s, size_t& badOffset)
{
    size_t i = 0;
    const size_t n = s.size();
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) { ++i; continue; }
        size_t len;
        char32_t cp;
        if (c >= 0xC2 && c <= 0xDF) { len = 2; cp = c & 0x1F; }
        else if (c >= 0xE0 && c <= 0xEF) { len = 3; cp = c & 0x0F; }
        else if (c >= 0xF0 && c <= 0xF4) { len = 4; cp = c & 0x07; }
        else { badOffset = i; return false; }
        if (i + len > n) { badOffset = i; return false; }
        for (size_t k = 1; k < len; ++k) {
            const unsigned char t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) { badOffset = i; return false; }
            cp = (cp << 6) | (t & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not text.
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            badOffset = i;
            return false;
        }
        i += len;
    }
    return true;
}

char32_t NextMultiByte(std::string_view s, size_t& pos)
{
    const unsigned char c = static_cast<unsigned char>(s[pos]);
    size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
    char32_t cp = c & (len == 2 ? 0x1F : len == 3 ? 0x0F : 0x07);
    for (size_t k = 1; k < len && pos + k < s.size(); ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(s[pos + k]) & 0x3F);
    pos += len;
    return cp;
}

std::string NormalizeSpace(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    bool pendingSpace = false;
    size_t pos = 0;
    while (pos < s.size()) {
        const size_t start = pos;
        const char32_t c = NextCodePoint(s, pos);
        if (IsBlank(c)) {
            pendingSpace = !out.empty();
            continue;
        }
        if (pendingSpace) {
            out += ' ';
            pendingSpace = false;
        }
        out.append(s.substr(start, pos - start));
    }
    return out;
}

namespace {

struct Weights {
    uint16_t primary[256];
    unsigned char secondary[256];
};

const Weights& CollationTable()
{
    static const Weights table = [] {
        Weights w{};
        for (int b = 0; b < 256; ++b) {
            const char32_t u = FromCp1250(static_cast<unsigned char>(b));
            char base = 0;
            bool upper = false;
            if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z')) {
                base = char(u);
            } else if (u >= 0xC0 && u < 0x180 && u != 0xD7 && u != 0xF7) {
                base = kLatinBase[u - 0xC0][0];
            }
            if (base >= 'A' && base <= 'Z') {
                upper = true;
                base = char(base - 'A' + 'a');
            }
            if (base) {
                int sub = 0;
                switch (u) {
                case 0x010D: case 0x010C: sub = 1; break;   // č
                case 0x0107: case 0x0106: sub = 2; break;   // ć
                case 0x0111: case 0x0110: sub = 1; break;   // đ
                case 0x0161: case 0x0160: sub = 1; break;   // š
                case 0x017E: case 0x017D: sub = 1; break;   // ž
                default: break;
                }
                w.primary[b] = uint16_t(400 + (base - 'a') * 4 + sub);
                const bool accented = u >= 0x80 && sub == 0;
                w.secondary[b] = static_cast<unsigned char>((accented ? 2 : 0) + (upper ? 1 : 0));
            } else if (u >= '0' && u <= '9') {
                w.primary[b] = uint16_t(300 + (u - '0'));
            } else if (b <= 0x20 || u == 0xA0) {
                w.primary[b] = 1;
            } else {
                w.primary[b] = uint16_t(2 + b);
            }
        }
        return w;
    }();
    return table;
}

} // namespace

uint16_t PrimaryWeight(unsigned char b) { return CollationTable().primary[b]; }
unsigned char SecondaryWeight(unsigned char b) { return CollationTable().secondary[b]; }

std::string MatchKey(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    bool pendingSpace = false;
    auto put = [&](char ch) {
        if (pendingSpace && !out.empty())
            out += ' ';
        pendingSpace = false;
        out += ch;
    };
    size_t pos = 0;
    while (pos < s.size()) {
        const char32_t c = NextCodePoint(s, pos);
        if (IsBlank(c)) {
            pendingSpace = true;
            continue;
        }
        const std::string near = c < 0x80                ? std::string(1, char(c))
                                 : (c >= 0xC0 && c < 0x180) ? std::string(kLatinBase[c - 0xC0])
                                                            : ClosestForm(c);
        for (char ch : near) {
            if (ch >= 'A' && ch <= 'Z')
                put(char(ch - 'A' + 'a'));
            else if ((ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9'))
                put(ch);
            else if (static_cast<unsigned char>(ch) >= 0x80)
                put(ch);
        }
    }
    return out;
}

std::string ToIndexText(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    size_t pos = 0;
    while (pos < s.size()) {
        const char32_t c = NextCodePoint(s, pos);
        if (c < 0x80 && !IsBlank(c)) {
            out += char(c);
            continue;
        }
        const int b = ToCp1250(c);
        if (b >= 0 && !IsBlank(c))
            out += char(b);
        else
            out += ClosestForm(c);
    }
    return out;
}

void AppendRtfText(std::string& out, std::string_view s)
{
    size_t pos = 0;
    while (pos < s.size()) {
        const char32_t c = NextCodePoint(s, pos);
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += char(c);
        } else if (IsBlank(c)) {
            out += ' ';
        } else if (c < 0x80) {
            out += char(c);
        } else if (int b = ToCp1250(c); b >= 0) {
            out += "\\'";
            out += kHex[b >> 4];
            out += kHex[b & 15];
        } else {
            // \uN takes a signed 16-bit N; characters beyond the basic plane
            // go as a surrogate pair. The '?' after each is the one character
            // a reader without Unicode support shows instead (\uc1, the default).
            auto unit = [&out](unsigned u) {
                out += "\\u";
                out += std::to_string(u >= 0x8000 ? int(u) - 0x10000 : int(u));
                out += '?';
            };
            if (c > 0xFFFF) {
                const unsigned v = unsigned(c) - 0x10000;
                unit(0xD800 + (v >> 10));
                unit(0xDC00 + (v & 0x3FF));
            } else {
                unit(unsigned(c));
            }
        }
    }
}

std::string ToRtfText(std::string_view s)
{
    std::string out;
    out.reserve(s.size() + s.size() / 4);
    AppendRtfText(out, s);
    return out;
}

} // namespace mkdict
