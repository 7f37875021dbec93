#include "HeadwordSuggestions.h"

#include "Cp1250Fold.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace {

// A headword longer than this is no typing slip of a term.
constexpr size_t kMaxLength = 64;

struct Candidate {
    int distance;
    int commonness;
    int32_t position;
    std::string folded;
};

} // namespace

int HeadwordSuggestions::Distance(std::string_view a, std::string_view b)
{
    constexpr int kFar = MaxDistance + 1;
    if (a.size() > b.size())
        std::swap(a, b);
    if (b.size() - a.size() > size_t(MaxDistance))
        return kFar;
    if (b.size() > kMaxLength)
        return kFar;
    // Three rows of the table: the one before last, the last, this one.
    int rows[3][kMaxLength + 1];
    int* before = rows[0];
    int* last = rows[1];
    int* row = rows[2];
    for (size_t j = 0; j <= b.size(); ++j)
        last[j] = int(j);
    for (size_t i = 1; i <= a.size(); ++i) {
        row[0] = int(i);
        int best = row[0];
        for (size_t j = 1; j <= b.size(); ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            int d = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d = std::min(d, before[j - 2] + 1);
            row[j] = d;
            best = std::min(best, d);
        }
        if (best > MaxDistance)
            return kFar;   // every later row is at least as far
        std::swap(before, last);
        std::swap(last, row);
    }
    return std::min(last[b.size()], kFar);
}

std::vector<std::string> HeadwordSuggestions::For(std::string_view term) const
{
    std::vector<std::string> result;
    const std::string folded = cp1250::Fold(term);
    if (folded.empty() || folded.size() > kMaxLength)
        return result;

    // Every headword folded, end to end: measured as it is folded, and
    // searched afterwards for the commonness of the candidates.
    std::vector<Candidate> candidates;
    std::string all;
    const int32_t count = store_.HeadwordCount();
    all.reserve(size_t(count) * 16);
    for (int32_t i = 0; i < count; ++i) {
        const std::string_view headword = store_.Headword(i);
        const size_t start = all.size();
        for (const char c : headword)
            all.push_back(char(cp1250::FoldLetter(static_cast<unsigned char>(c))));
        const std::string_view word(all.data() + start, headword.size());
        all.push_back('\n');
        const size_t n = word.size();
        if (n == 0 || n + MaxDistance < folded.size() || n > folded.size() + MaxDistance)
            continue;
        // The term itself (a search that found nothing under the options)
        // is no suggestion.
        const int d = Distance(folded, word);
        if (d <= MaxDistance && word != folded)
            candidates.push_back({d, 0, i, std::string(word)});
    }
    if (candidates.empty())
        return result;

    // Commonness of the candidates only: in how many headwords each stands.
    for (Candidate& c : candidates) {
        for (size_t at = all.find(c.folded); at != std::string::npos; at = all.find(c.folded, at + 1))
            ++c.commonness;
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        if (a.distance != b.distance)
            return a.distance < b.distance;
        return a.commonness > b.commonness;
    });
    std::unordered_set<std::string> offered;
    for (const Candidate& c : candidates) {
        if (!offered.insert(c.folded).second)
            continue;
        result.emplace_back(store_.Headword(c.position));
        if (result.size() == MaxSuggestions)
            break;
    }
    return result;
}
