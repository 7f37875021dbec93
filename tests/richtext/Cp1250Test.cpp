#include "Cp1250.h"

#include <gtest/gtest.h>

#include <set>

TEST(Cp1250, CroatianLettersDecode)
{
    // č ć đ š ž and their capitals, the letters the dictionary lives on.
    const uint8_t bytes[] = {0xE8, 0xE6, 0xF0, 0x9A, 0x9E, 0xC8, 0xC6, 0xD0, 0x8A, 0x8E};
    const char16_t expect[] = {u'č', u'ć', u'đ', u'š', u'ž', u'Č', u'Ć', u'Đ', u'Š', u'Ž'};
    for (size_t i = 0; i < std::size(bytes); ++i)
        EXPECT_EQ(cp1250::toUnicode(bytes[i]), char32_t(expect[i])) << int(bytes[i]);
    EXPECT_EQ(cp1250::toUnicode(0x80), U'€');
    EXPECT_EQ(cp1250::toUnicode(0x84), U'„');
    EXPECT_EQ(cp1250::toUnicode(0x41), U'A');
}

TEST(Cp1250, EveryByteRoundTripsAndTheTableIsABijection)
{
    std::set<char32_t> seen;
    for (int b = 0; b < 256; ++b) {
        const char32_t u = cp1250::toUnicode(uint8_t(b));
        EXPECT_TRUE(seen.insert(u).second) << "two bytes give U+" << std::hex << u;
        bool ok = false;
        EXPECT_EQ(cp1250::fromUnicode(u, &ok), b);
        EXPECT_TRUE(ok);
    }
}

TEST(Cp1250, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    for (char32_t u : {char32_t(0xC0), char32_t(0xE0), char32_t(0x20AD), char32_t(0x1F600), char32_t(0x300), char32_t(0x2200)}) {
        bool ok = true;
        EXPECT_EQ(cp1250::fromUnicode(u, &ok), '?') << std::hex << u;
        EXPECT_FALSE(ok);
    }
    bool ok = true;
    EXPECT_EQ(cp1250::encode(QStringLiteral("sud 😀"), &ok), QByteArray("sud ?"));
    EXPECT_FALSE(ok);
}

TEST(Cp1250, WholeStringsAgreeWithTheSingleCharacters)
{
    const QByteArray bytes("Pravni rje\xe8nik \x8a\xe8\xe6\xf0\x9e \x84navod\x93", 28);
    const QString text = cp1250::decode(bytes);
    EXPECT_EQ(text, QStringLiteral("Pravni rječnik Ščćđž „navod“"));
    bool ok = false;
    EXPECT_EQ(cp1250::encode(text, &ok), bytes);
    EXPECT_TRUE(ok);
}
