#pragma once
// A stand-in for the real data files when they have not been built: about
// 60,000 entries shaped like the dictionary's (English headword, '.', Croatian
// translations with diacritics; entries as RTF lines), with the legal terms
// the benchmark searches for spread through it. Deterministic.
#include <string>

struct SyntheticDictionary {
    std::string index;     // unpacked "vokabar2.idx"
    std::string entries;   // unpacked "vokabar2.dic"
};

SyntheticDictionary MakeSyntheticDictionary(int entryCount = 60000);
