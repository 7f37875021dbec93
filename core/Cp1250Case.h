#pragma once
// Letter case in code page 1250, the program's 8-bit text.
//
// CharUpperBuff maps exactly what the platform's CharUpperBuffA maps under
// code page 1250: a-z, the small letters with diacritics (š ś ť ž ź ł ą ş ľ ż
// and 0xE0-0xFE except ÷) to their capitals; µ, ß and every other byte stay.
// CharLowerBuff is its exact inverse on those letters and leaves the rest.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace cp1250 {

// 256-entry maps, indexed by the unsigned byte.
extern const std::array<unsigned char, 256> UpperTable;
extern const std::array<unsigned char, 256> LowerTable;

inline unsigned char ToUpper(unsigned char c) { return UpperTable[c]; }
inline unsigned char ToLower(unsigned char c) { return LowerTable[c]; }

// In place, like the platform call of the same name.
void CharUpperBuff(char* buffer, size_t length);
void CharLowerBuff(char* buffer, size_t length);

std::string Upper(std::string_view text);
std::string Lower(std::string_view text);

} // namespace cp1250
