#pragma once
// Letters without their diacritics, in code page 1250, for searching the way
// a user types on a keyboard without č, ć, đ, š, ž.
//
//   BaseLetter  each letter with a diacritic becomes its base letter, case
//               kept: č ć -> c, đ -> d, š -> s, ž -> z, é -> e, Ł -> L ...;
//               ß and every other byte stay.
//   FoldLetter  BaseLetter, then small (cp1250::LowerTable): what a search
//               that ignores case and diacritics compares.
//   IsWordChar  a letter (code page 1250's included) or a digit: what must
//               not stand right before or after a whole-word match.
//
// Both folds map one byte to one byte, so folded text keeps the layout and
// the offsets of the text it was made from.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace cp1250 {

extern const std::array<unsigned char, 256> BaseTable;
extern const std::array<unsigned char, 256> FoldTable;
extern const std::array<bool, 256> WordCharTable;

inline unsigned char BaseLetter(unsigned char c) { return BaseTable[c]; }
inline unsigned char FoldLetter(unsigned char c) { return FoldTable[c]; }
inline bool IsWordChar(unsigned char c) { return WordCharTable[c]; }

// The whole text through FoldTable.
std::string Fold(std::string_view text);

} // namespace cp1250
