#include "Cp1250Case.h"
#include "Cp1250.h"

#include <QChar>
#include <gtest/gtest.h>

namespace {

// What Unicode's simple case mapping says for one code page 1250 byte, kept
// within the code page: a letter whose other case the code page lacks stays.
unsigned char ThroughUnicode(unsigned char byte, bool toUpper)
{
    const char32_t u = cp1250::toUnicode(byte);
    const char32_t mapped = toUpper ? QChar::toUpper(u) : QChar::toLower(u);
    bool ok = false;
    const uint8_t back = cp1250::fromUnicode(mapped, &ok);
    return ok ? back : byte;
}

} // namespace

TEST(Cp1250Case, UpperAgreesWithUnicodeForEveryByte)
{
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(int(cp1250::ToUpper(uint8_t(c))), int(ThroughUnicode(uint8_t(c), true))) << "byte " << c;
}

TEST(Cp1250Case, LowerAgreesWithUnicodeForEveryByte)
{
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(int(cp1250::ToLower(uint8_t(c))), int(ThroughUnicode(uint8_t(c), false))) << "byte " << c;
}

TEST(Cp1250Case, TheScatteredLettersMapBothWays)
{
    const int pairs[][2] = {{0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D}, {0x9E, 0x8E}, {0x9F, 0x8F},
                            {0xB3, 0xA3}, {0xB9, 0xA5}, {0xBA, 0xAA}, {0xBE, 0xBC}, {0xBF, 0xAF}};
    for (const auto& p : pairs) {
        EXPECT_EQ(cp1250::ToUpper(uint8_t(p[0])), p[1]);
        EXPECT_EQ(cp1250::ToLower(uint8_t(p[1])), p[0]);
        EXPECT_EQ(cp1250::ToUpper(uint8_t(p[1])), p[1]);
        EXPECT_EQ(cp1250::ToLower(uint8_t(p[0])), p[0]);
    }
}

TEST(Cp1250Case, SignsAndCaselessLettersStay)
{
    for (int c : {0xF7, 0xD7, 0xB5, 0xDF, 0xFF, 0xA0, 0x80, 0x40, 0x5B, 0x60, 0x7B}) {
        EXPECT_EQ(cp1250::ToUpper(uint8_t(c)), c) << c;
        EXPECT_EQ(cp1250::ToLower(uint8_t(c)), c) << c;
    }
}

TEST(Cp1250Case, TablesAreInverseOnExactly66Pairs)
{
    int changed = 0;
    for (int c = 0; c < 256; ++c) {
        const uint8_t up = cp1250::ToUpper(uint8_t(c));
        if (up != c) {
            ++changed;
            EXPECT_EQ(cp1250::ToLower(up), c) << c;
        }
        const uint8_t low = cp1250::ToLower(uint8_t(c));
        if (low != c) {
            EXPECT_EQ(cp1250::ToUpper(low), c) << c;
        }
    }
    EXPECT_EQ(changed, 26 + 10 + 30);
}

TEST(Cp1250Case, WholeStrings)
{
    // "šteta Čl. ŽELJKO đ" in code page 1250.
    const std::string text = "\x9Ateta \xC8l. \x8E" "ELJKO \xF0";
    EXPECT_EQ(cp1250::Upper(text), "\x8A" "TETA \xC8L. \x8E" "ELJKO \xD0");
    EXPECT_EQ(cp1250::Lower(text), "\x9Ateta \xE8l. \x9E" "eljko \xF0");
}
