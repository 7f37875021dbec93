#include "SyntheticDictionary.h"

#include <random>
#include <vector>

namespace {

const std::vector<std::string> kEnglishSyllables = {
    "ac", "al", "an", "ap", "ar", "at", "ble", "ca", "ce", "cla", "con", "cor", "de", "di",
    "dis", "en", "er", "ex", "fi", "ge", "im", "in", "is", "ly", "ment", "mi", "na", "ne",
    "ni", "o", "per", "pre", "pro", "re", "ri", "sa", "se", "sion", "sub", "ta", "te", "ter",
    "ti", "tion", "to", "tu", "un", "ur", "ve", "vi"};
// Code page 1250: č 0xE8, ć 0xE6, đ 0xF0, š 0x9A, ž 0x9E.
const std::vector<std::string> kCroatianSyllables = {
    "ba", "bi", "\xE8i", "\xE8" "a", "\xE6u", "da", "do", "\xF0" "e", "go", "ja", "je", "ka",
    "ko", "la", "li", "ma", "na", "ni", "no", "o", "pa", "po", "pra", "ra", "ri", "sa", "si",
    "\x9A" "a", "\x9Ati", "ta", "ti", "u", "va", "vi", "za", "\x9E" "e", "\x9Eu", "nje", "lju"};
const std::vector<std::string> kLegalWords = {
    "court", "contract", "liability", "damage", "appeal", "judgment", "plaintiff", "defendant",
    "evidence", "witness", "law", "jurisdiction", "statute", "tort", "breach", "lease", "property",
    "sentence", "crime", "penalty", "sud", "ugovor", "presuda", "\x9Ateta", "kazna", "zakon",
    "odgovornost", "tu\x9E" "ba", "\xE8lanak", "svjedok"};

std::string Word(std::mt19937& random, const std::vector<std::string>& syllables)
{
    std::string word;
    const int count = 1 + int(random() % 4);
    for (int i = 0; i < count; ++i)
        word += syllables[random() % syllables.size()];
    return word;
}

} // namespace

SyntheticDictionary MakeSyntheticDictionary(int entryCount)
{
    std::mt19937 random(1250);
    SyntheticDictionary d;
    d.index.reserve(size_t(entryCount) * 48);
    d.entries.reserve(size_t(entryCount) * 120);
    for (int i = 0; i < entryCount; ++i) {
        std::string headword = Word(random, kEnglishSyllables);
        if (random() % 8 == 0)
            headword += " " + kLegalWords[random() % kLegalWords.size()];
        if (random() % 10 == 0)
            headword[0] = char(headword[0] - 32);
        std::vector<std::string> translations;
        const int count = 1 + int(random() % 3);
        for (int t = 0; t < count; ++t) {
            std::string translation = Word(random, kCroatianSyllables);
            if (random() % 12 == 0)
                translation += " " + kLegalWords[random() % kLegalWords.size()];
            translations.push_back(translation);
        }
        d.index += headword + ".";
        d.entries += "\\par {\\b " + headword + "}";
        for (size_t t = 0; t < translations.size(); ++t) {
            d.index += (t ? ", " : " ") + translations[t];
            d.entries += (t ? ", " : " - ") + translations[t];
        }
        d.index += "\r\n";
        d.entries += " {\\i (" + Word(random, kCroatianSyllables) + ")}\\par \r\n";
    }
    return d;
}
