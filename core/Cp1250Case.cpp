#include "Cp1250Case.h"

namespace cp1250 {
namespace {

// Pairs of small and capital letters outside a-z and the 0xE0/0xC0 block.
struct LetterPair { unsigned char small, capital; };
constexpr LetterPair kScatteredPairs[] = {
    {0x9A, 0x8A}, // š Š
    {0x9C, 0x8C}, // ś Ś
    {0x9D, 0x8D}, // ť Ť
    {0x9E, 0x8E}, // ž Ž
    {0x9F, 0x8F}, // ź Ź
    {0xB3, 0xA3}, // ł Ł
    {0xB9, 0xA5}, // ą Ą
    {0xBA, 0xAA}, // ş Ş
    {0xBE, 0xBC}, // ľ Ľ
    {0xBF, 0xAF}, // ż Ż
};

using Table = std::array<unsigned char, 256>;

// Both directions come from the one list of pairs, so they cannot disagree.
constexpr Table MakeTable(bool toCapital)
{
    Table t{};
    for (int c = 0; c < 256; ++c)
        t[size_t(c)] = static_cast<unsigned char>(c);
    auto pair = [&t, toCapital](int small, int capital) {
        if (toCapital)
            t[size_t(small)] = static_cast<unsigned char>(capital);
        else
            t[size_t(capital)] = static_cast<unsigned char>(small);
    };
    for (int c = 'a'; c <= 'z'; ++c)
        pair(c, c - 32);
    for (const LetterPair& p : kScatteredPairs)
        pair(p.small, p.capital);
    // ŕ..ţ over Ŕ..Ţ, except the division sign (0xF7) over the multiplication
    // sign (0xD7). ß (0xDF) has no capital of its own and stays.
    for (int c = 0xE0; c <= 0xFE; ++c)
        if (c != 0xF7)
            pair(c, c - 32);
    return t;
}

} // namespace

extern const Table UpperTable = MakeTable(true);
extern const Table LowerTable = MakeTable(false);

void CharUpperBuff(char* buffer, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        buffer[i] = static_cast<char>(UpperTable[static_cast<unsigned char>(buffer[i])]);
}

void CharLowerBuff(char* buffer, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        buffer[i] = static_cast<char>(LowerTable[static_cast<unsigned char>(buffer[i])]);
}

std::string Upper(std::string_view text)
{
    std::string out(text);
    CharUpperBuff(out.data(), out.size());
    return out;
}

std::string Lower(std::string_view text)
{
    std::string out(text);
    CharLowerBuff(out.data(), out.size());
    return out;
}

} // namespace cp1250
