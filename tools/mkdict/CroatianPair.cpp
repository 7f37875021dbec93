// The glossary turned around and FreeDict Croatian-English filtered.
#include "CroatianPair.h"

#include <algorithm>

namespace mkdict {
namespace {

bool IsGlossary(const Entry& entry, const std::vector<Source>& sources)
{
    return entry.source >= 0 && size_t(entry.source) < sources.size() &&
           sources[size_t(entry.source)].kind == SourceKind::Glossary;
}

bool BracketsPaired(const std::string& text)
{
    int round = 0, square = 0;
    for (char c : text) {
        round += (c == '(') - (c == ')');
        square += (c == '[') - (c == ']');
        if (round < 0 || square < 0)
            return false;
    }
    return round == 0 && square == 0;
}

} // namespace

size_t TurnAroundGlossary(std::vector<Entry>& entries, const std::vector<Source>& sources)
{
    std::vector<Entry> out;
    out.reserve(entries.size() * 2);
    size_t made = 0;
    for (Entry& entry : entries) {
        if (!IsGlossary(entry, sources)) {
            out.push_back(std::move(entry));
            continue;
        }
        for (const Sense& sense : entry.senses) {
            const std::vector<std::string> terms = SplitFields(sense.equivalents, ';', false);
            for (size_t rank = 0; rank < terms.size(); ++rank) {
                Entry croatian;
                croatian.headword = terms[rank];
                croatian.source = entry.source;
                Sense english;
                english.partOfSpeech = sense.partOfSpeech;
                english.equivalents = entry.headword;
                english.field = sense.field;
                english.note = sense.note;
                english.termsInBold = true;
                english.rank = int(rank);
                croatian.senses.push_back(std::move(english));
                out.push_back(std::move(croatian));
                ++made;
            }
        }
    }
    entries = std::move(out);
    return made;
}

void OrderSensesByRank(std::vector<Entry>& entries)
{
    for (Entry& entry : entries)
        if (entry.senses.size() > 1)
            std::stable_sort(entry.senses.begin(), entry.senses.end(),
                             [](const Sense& a, const Sense& b) { return a.rank < b.rank; });
}

LeftOut LeaveOutNonHeadwords(std::vector<Entry>& entries, std::vector<Source>& sources)
{
    LeftOut left;
    const auto drop = [&](const Entry& entry) {
        if (entry.source < 0 || size_t(entry.source) >= sources.size() ||
            sources[size_t(entry.source)].kind != SourceKind::Dictd || entry.headword.empty())
            return false;
        if (entry.headword[0] >= '0' && entry.headword[0] <= '9') {
            ++left.number;
            return true;
        }
        if (!BracketsPaired(entry.headword)) {
            ++left.cut;
            return true;
        }
        return false;
    };
    entries.erase(std::remove_if(entries.begin(), entries.end(), drop), entries.end());
    for (Source& source : sources)
        source.entries = 0;
    for (const Entry& entry : entries)
        if (entry.source >= 0 && size_t(entry.source) < sources.size())
            ++sources[size_t(entry.source)].entries;
    return left;
}

} // namespace mkdict
