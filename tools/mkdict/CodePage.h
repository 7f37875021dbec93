#pragma once
// From the sources' Unicode (UTF-8) to the dictionary's code page 1250.
//
// Index lines are plain cp1250 bytes that the program searches byte by byte,
// so a character cp1250 lacks becomes its closest cp1250 or ASCII form there
// (ə -> e, θ -> th). Entry lines are RTF, which can carry any character: a
// byte of cp1250 is written as \'hh, anything else as \uN? so that nothing
// is lost on screen.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mkdict {

// The code point that cp1250 byte b stands for; 0 for the five unassigned bytes.
char32_t FromCp1250(unsigned char b);

// The cp1250 byte of code point c, or -1 when the code page lacks it.
int ToCp1250(char32_t c);

// What stands in the index for a character cp1250 lacks: cp1250 bytes, empty
// for combining marks (the base letter before them already carries the sense).
std::string ClosestForm(char32_t c);

// Checks that text is well-formed UTF-8. On failure returns false and sets
// badOffset to the offset of the first byte that is not.
bool IsValidUtf8(std::string_view text, size_t& badOffset);

// Decodes one code point of valid UTF-8 at pos and advances pos past it.
char32_t NextMultiByte(std::string_view utf8, size_t& pos);
inline char32_t NextCodePoint(std::string_view utf8, size_t& pos)
{
    const auto c = static_cast<unsigned char>(utf8[pos]);
    if (c < 0x80) {
        ++pos;
        return c;
    }
    return NextMultiByte(utf8, pos);
}

// Collapses every run of blanks and control characters into one space and
// trims both ends: the lines we write may hold no CR, LF or NUL.
std::string NormalizeSpace(std::string_view utf8);

// The letters and digits of a text, small and without diacritics, words
// parted by single spaces: how dictd index keys spell a headword, used to
// recognise the headword line of a dictd definition.
std::string MatchKey(std::string_view utf8);

// Collation of cp1250 text. The primary weight ignores case and every
// diacritic except those of the Croatian letters, which sort right after
// their base letter (c < č < ć < d < đ, s < š, z < ž); blanks sort first,
// then punctuation, digits and letters. The secondary weight breaks ties:
// plain before accented, small before capital.
uint16_t PrimaryWeight(unsigned char b);
unsigned char SecondaryWeight(unsigned char b);

// UTF-8 -> cp1250 bytes for index lines and headwords.
std::string ToIndexText(std::string_view utf8);

// UTF-8 -> RTF text: \ { } escaped, cp1250 letters as \'hh, the rest as \uN?.
std::string ToRtfText(std::string_view utf8);
void AppendRtfText(std::string& out, std::string_view utf8);

} // namespace mkdict
