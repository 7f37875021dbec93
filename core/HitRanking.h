#pragma once
// The order of a whole-dictionary result with "Najprije najbolji pogoci":
// the same hits, the count unchanged, in four groups
//
//   0  entries whose headword is the term itself
//   1  entries whose headword begins with the term
//   2  entries of the legal glossary (source mark [Tarvena])
//   3  the rest
//
// and in dictionary order within each group (a stable sort), so that the
// entry of "court" comes before "basketball court". Headword and term are
// compared as the search compared them: letters folded without match case,
// diacritics too when they are ignored.
#include "DictionaryStore.h"
#include "SearchOptions.h"

#include <cstdint>
#include <string_view>
#include <vector>

// Reorders `hits` (positions in dictionary order) in place.
void RankBestFirst(const DictionaryStore& store, std::vector<int32_t>& hits, std::string_view term, bool matchCase,
                   const SearchOptions& options);
