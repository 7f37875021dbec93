#pragma once
// What a search that found nothing offers instead: up to five headwords
// near the term, for "Jeste li mislili: negligence, ...".
//
//   nearness   the optimal string alignment distance (insertions, deletions,
//              substitutions, and two neighbours swapped, each 1) between
//              the term and a whole headword, both folded to small letters
//              without diacritics (cp1250::FoldTable): at most 2
//   order      nearer first; at the same distance the more common word first
//              (the number of headwords it stands in: "court" in "court of
//              appeal", "basketball court", ...); then dictionary order
//   once       a headword that several entries share is offered once
//
// Nothing is kept between calls and nothing is made at start-up: a call
// folds and measures every headword afresh, one pass, rejecting most by
// length before any distance is computed, and counts the commonness of the
// few candidates only.
#include "DictionaryStore.h"

#include <string>
#include <string_view>
#include <vector>

class HeadwordSuggestions {
public:
    static constexpr int MaxDistance = 2;
    static constexpr size_t MaxSuggestions = 5;

    explicit HeadwordSuggestions(const DictionaryStore& store) : store_(store) {}

    // Headwords near the term (code page 1250), best first, as the store
    // holds them; empty when none is near enough or the term is empty.
    std::vector<std::string> For(std::string_view term) const;

    // The distance of two folded texts, or MaxDistance + 1 when greater.
    static int Distance(std::string_view a, std::string_view b);

private:
    const DictionaryStore& store_;
};

// "Jeste li mislili: " in front of the suggestions.
inline constexpr const char* SuggestionsPrefix = "Jeste li mislili: ";
