// UTF-8 to code page 1250: the table, the index forms, the RTF escapes.
#include "CodePage.h"

#include <gtest/gtest.h>

using namespace mkdict;

TEST(CodePage, EveryAssignedByteRoundTripsAndTheGapsStayEmpty)
{
    int assigned = 0;
    for (int b = 0; b < 256; ++b) {
        const char32_t c = FromCp1250(static_cast<unsigned char>(b));
        if (b >= 0x80 && c == 0)
            continue;
        ++assigned;
        EXPECT_EQ(ToCp1250(c), b) << "byte " << b;
    }
    EXPECT_EQ(assigned, 251);  // 0x81 0x83 0x88 0x90 0x98 are unassigned
    for (unsigned char gap : {0x81, 0x83, 0x88, 0x90, 0x98})
        EXPECT_EQ(FromCp1250(gap), 0u);
}

TEST(CodePage, CroatianLettersAndPunctuationSitWhereWindowsPutsThem)
{
    const std::pair<char32_t, int> expected[] = {
        {U'č', 0xE8}, {U'ć', 0xE6}, {U'đ', 0xF0}, {U'š', 0x9A}, {U'ž', 0x9E},
        {U'Č', 0xC8}, {U'Ć', 0xC6}, {U'Đ', 0xD0}, {U'Š', 0x8A}, {U'Ž', 0x8E},
        {U'€', 0x80}, {U'„', 0x84}, {U'“', 0x93}, {U'–', 0x96}, {U'—', 0x97},
        {U'·', 0xB7}, {U'ß', 0xDF}, {U'˙', 0xFF},
    };
    for (const auto& [c, b] : expected)
        EXPECT_EQ(ToCp1250(c), b) << "U+" << std::hex << unsigned(c);
    // Letters of other code pages are not there.
    EXPECT_EQ(ToCp1250(U'ñ'), -1);
    EXPECT_EQ(ToCp1250(U'ə'), -1);
    EXPECT_EQ(ToCp1250(U'à'), -1);
    EXPECT_EQ(ToCp1250(0x1F600), -1);
}

TEST(CodePage, IndexTextUsesTheClosestFormForWhatCp1250Lacks)
{
    // FreeDict's pronunciation of "thought": every symbol has a plain form.
    EXPECT_EQ(ToIndexText("θˈɔːt"), "th'o:t");
    EXPECT_EQ(ToIndexText("ʃˌɪp ŋ ʒ ɹ ð"), "sh,ip ng zh r d");
    EXPECT_EQ(ToIndexText("Señor café à la carte"), "Senor caf\xE9 a la carte");
    EXPECT_EQ(ToIndexText("n\xCC\x83"), "n");               // n + combining tilde
    EXPECT_EQ(ToIndexText("Ærø œuvre ﬁ"), "AEro oeuvre fi");
    EXPECT_EQ(ToIndexText("μg ½"), "\xB5g 1/2");
    EXPECT_EQ(ToIndexText("tužitelj Đakovo"), "tu\x9eitelj \xD0" "akovo");
    EXPECT_EQ(ToIndexText("a\tb\xC2\xA0" "c"), "a b c");     // tab and no-break space
    EXPECT_EQ(ToIndexText("\xF0\x9F\x98\x80"), "?");          // nothing near an emoji
}

TEST(CodePage, RtfTextEscapesSpecialsAndKeepsEveryCharacter)
{
    EXPECT_EQ(ToRtfText("a\\b {c}"), "a\\\\b \\{c\\}");
    EXPECT_EQ(ToRtfText("čćđšž"), "\\'e8\\'e6\\'f0\\'9a\\'9e");
    EXPECT_EQ(ToRtfText("kˈɔːt"), "k\\u712?\\u596?\\u720?t");
    // Above U+7FFF the parameter is negative; beyond the basic plane a
    // surrogate pair.
    EXPECT_EQ(ToRtfText("가"), "\\u-21504?");
    EXPECT_EQ(ToRtfText("\xF0\x9F\x98\x80"), "\\u-10179?\\u-8704?");
    EXPECT_EQ(ToRtfText("a\tb\rc\nd"), "a b c d");
}

TEST(CodePage, Utf8CheckFindsTheFirstBadByte)
{
    size_t bad = 99;
    EXPECT_TRUE(IsValidUtf8("tužitelj ə 😀", bad));
    EXPECT_FALSE(IsValidUtf8("ab\xC0\xAF", bad));  // overlong '/'
    EXPECT_EQ(bad, 2u);
    EXPECT_FALSE(IsValidUtf8("x\xED\xA0\x80", bad));  // a surrogate
    EXPECT_EQ(bad, 1u);
    EXPECT_FALSE(IsValidUtf8("abc\xC5", bad));  // cut short
    EXPECT_EQ(bad, 3u);
    EXPECT_FALSE(IsValidUtf8("\x9a", bad));  // a cp1250 byte, not UTF-8
    EXPECT_EQ(bad, 0u);
}

TEST(CodePage, NormalizeSpaceLeavesNoLineBreaks)
{
    EXPECT_EQ(NormalizeSpace("  a\t\tb \r\n c  "), "a b c");
    EXPECT_EQ(NormalizeSpace("a\xE2\x80\x83" "b\xC2\xA0"), "a b");
    EXPECT_EQ(NormalizeSpace(std::string("a\0b", 3)), "a b");
    EXPECT_EQ(NormalizeSpace(" \t "), "");
}

TEST(CodePage, MatchKeyIsHowDictdSpellsAKey)
{
    EXPECT_EQ(MatchKey("3:2 pulldown"), "32 pulldown");
    EXPECT_EQ(MatchKey("2 binary 1 quarternary(2B1Q) code"), "2 binary 1 quarternary2b1q code");
    EXPECT_EQ(MatchKey("Court,"), "court");
    EXPECT_EQ(MatchKey("Čakovec"), MatchKey("čakovec"));
}

TEST(CodePage, CollationPutsCroatianLettersAfterTheirBase)
{
    auto w = [](const char* utf8) { return PrimaryWeight(static_cast<unsigned char>(ToIndexText(utf8)[0])); };
    EXPECT_LT(w("c"), w("č"));
    EXPECT_LT(w("č"), w("ć"));
    EXPECT_LT(w("ć"), w("d"));
    EXPECT_LT(w("d"), w("đ"));
    EXPECT_LT(w("đ"), w("e"));
    EXPECT_LT(w("s"), w("š"));
    EXPECT_LT(w("š"), w("t"));
    EXPECT_LT(w("z"), w("ž"));
    // Case and other diacritics matter only after everything else.
    EXPECT_EQ(w("a"), w("A"));
    EXPECT_EQ(w("e"), w("é"));
    EXPECT_EQ(w("č"), w("Č"));
    EXPECT_LT(SecondaryWeight('e'), SecondaryWeight(0xE9));
    EXPECT_LT(SecondaryWeight('a'), SecondaryWeight('A'));
    // Blanks, then punctuation, then digits, then letters.
    EXPECT_LT(w(" "), w("-"));
    EXPECT_LT(w("·"), w("0"));
    EXPECT_LT(w("9"), w("a"));
}
