#include "Cp1250Fold.h"

#include "Cp1250Case.h"

namespace cp1250 {
namespace {

using Table = std::array<unsigned char, 256>;

// Each letter with a diacritic and its base letter. Capitals and small
// letters are listed alike; the table keeps the case of each.
struct Stripped { unsigned char letter, base; };
constexpr Stripped kStripped[] = {
    {0x8A, 'S'}, {0x8C, 'S'}, {0x8D, 'T'}, {0x8E, 'Z'}, {0x8F, 'Z'},   // Š Ś Ť Ž Ź
    {0x9A, 's'}, {0x9C, 's'}, {0x9D, 't'}, {0x9E, 'z'}, {0x9F, 'z'},   // š ś ť ž ź
    {0xA3, 'L'}, {0xA5, 'A'}, {0xAA, 'S'}, {0xAF, 'Z'}, {0xBC, 'L'},   // Ł Ą Ş Ż Ľ
    {0xB3, 'l'}, {0xB9, 'a'}, {0xBA, 's'}, {0xBF, 'z'}, {0xBE, 'l'},   // ł ą ş ż ľ
    {0xC0, 'R'}, {0xC1, 'A'}, {0xC2, 'A'}, {0xC3, 'A'}, {0xC4, 'A'},   // Ŕ Á Â Ă Ä
    {0xC5, 'L'}, {0xC6, 'C'}, {0xC7, 'C'}, {0xC8, 'C'}, {0xC9, 'E'},   // Ĺ Ć Ç Č É
    {0xCA, 'E'}, {0xCB, 'E'}, {0xCC, 'E'}, {0xCD, 'I'}, {0xCE, 'I'},   // Ę Ë Ě Í Î
    {0xCF, 'D'}, {0xD0, 'D'}, {0xD1, 'N'}, {0xD2, 'N'}, {0xD3, 'O'},   // Ď Đ Ń Ň Ó
    {0xD4, 'O'}, {0xD5, 'O'}, {0xD6, 'O'}, {0xD8, 'R'}, {0xD9, 'U'},   // Ô Ő Ö Ř Ů
    {0xDA, 'U'}, {0xDB, 'U'}, {0xDC, 'U'}, {0xDD, 'Y'}, {0xDE, 'T'},   // Ú Ű Ü Ý Ţ
};

constexpr Table MakeBase()
{
    Table t{};
    for (int c = 0; c < 256; ++c)
        t[size_t(c)] = static_cast<unsigned char>(c);
    for (const Stripped& s : kStripped) {
        t[s.letter] = s.base;
        // The small letters of 0xC0..0xDE lie 32 higher (0xD7 is ×, not listed).
        if (s.letter >= 0xC0)
            t[size_t(s.letter + 0x20)] = static_cast<unsigned char>(s.base + 0x20);
    }
    return t;
}

Table MakeFold(const Table& base)
{
    Table t{};
    for (int c = 0; c < 256; ++c)
        t[size_t(c)] = ToLower(base[size_t(c)]);
    return t;
}

std::array<bool, 256> MakeWordChars()
{
    std::array<bool, 256> t{};
    for (int c = 0; c < 256; ++c) {
        const auto b = static_cast<unsigned char>(c);
        const bool asciiAlnum = (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
        // Every cased letter has a partner in the case tables; µ and ß have none.
        t[b] = asciiAlnum || ToUpper(b) != b || ToLower(b) != b || b == 0xB5 || b == 0xDF;
    }
    return t;
}

} // namespace

extern const Table BaseTable = MakeBase();
extern const Table FoldTable = MakeFold(BaseTable);
extern const std::array<bool, 256> WordCharTable = MakeWordChars();

std::string Fold(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(FoldTable[static_cast<unsigned char>(c)]);
    return out;
}

} // namespace cp1250
