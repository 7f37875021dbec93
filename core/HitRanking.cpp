#include "HitRanking.h"

#include "TermMatcher.h"

#include <algorithm>

void RankBestFirst(const DictionaryStore& store, std::vector<int32_t>& hits, std::string_view term, bool matchCase,
                   const SearchOptions& options)
{
    if (hits.size() < 2 || term.empty())
        return;
    const TermMatcher matcher(term, matchCase, options.ignoreDiacritics);
    const auto& table = TermMatcher::Table(matcher.Comparison());
    const std::string& pattern = matcher.Pattern();
    const auto group = [&](int32_t line) {
        const std::string_view headword = store.Headword(line);
        if (matcher.IsPrefixOf(headword.data(), 0, headword.size())) {
            // The term whole: every byte of the headword is matched.
            const bool same = headword.size() == pattern.size()
                && std::equal(headword.begin(), headword.end(), pattern.begin(), [&](char h, char p) {
                       return table[static_cast<unsigned char>(h)] == static_cast<unsigned char>(p);
                   });
            return same ? 0 : 1;
        }
        return store.IsGlossaryEntry(line) ? 2 : 3;
    };
    std::vector<std::pair<int, int32_t>> ranked;
    ranked.reserve(hits.size());
    for (const int32_t line : hits)
        ranked.push_back({group(line), line});
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < hits.size(); ++i)
        hits[i] = ranked[i].second;
}
