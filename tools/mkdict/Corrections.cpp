#include "Corrections.h"

#include "CodePage.h"

#include <algorithm>
#include <unordered_map>

namespace mkdict {
namespace {

const char* const kKinds[] = {"hrv.", "pravno:", "pogrešno; pravno:"};

// Letters and digits continue a word; so does any letter beyond ASCII (the
// Croatian ones and their like). Punctuation beyond ASCII (dashes, quotes)
// does not.
bool IsWordCodePoint(char32_t c)
{
    if (c < 0x80)
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    return c >= 0xC0 && c < 0x2000;
}

bool WordBefore(const std::string& text, size_t at)
{
    if (at == 0)
        return false;
    size_t start = at - 1;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        --start;
    size_t pos = start;
    return IsWordCodePoint(NextCodePoint(text, pos));
}

bool WordAfter(const std::string& text, size_t at)
{
    if (at >= text.size())
        return false;
    size_t pos = at;
    return IsWordCodePoint(NextCodePoint(text, pos));
}

struct Match {
    size_t begin, end, rule;
};

// Where the candidates' renderings stand in text as whole words, in text
// order; of two overlapping ones the candidate listed first wins.
std::vector<Match> FindMatches(const std::string& text, const std::vector<size_t>& candidates,
                               const std::vector<CorrectionRule>& rules)
{
    std::vector<Match> taken;
    for (const size_t r : candidates) {
        const std::string& needle = rules[r].rendering;
        for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) {
            const size_t end = at + needle.size();
            if (WordBefore(text, at) || WordAfter(text, end))
                continue;
            const bool overlaps = std::any_of(taken.begin(), taken.end(),
                                              [&](const Match& m) { return at < m.end && m.begin < end; });
            if (!overlaps)
                taken.push_back({at, end, r});
        }
    }
    std::sort(taken.begin(), taken.end(), [](const Match& a, const Match& b) { return a.begin < b.begin; });
    return taken;
}

// Marks one text; returns the rules (indices) that matched.
std::vector<size_t> MarkText(std::string& text, const std::vector<size_t>& candidates,
                             const std::vector<CorrectionRule>& rules)
{
    const std::vector<Match> taken = FindMatches(text, candidates, rules);
    if (taken.empty())
        return {};
    std::string marked;
    marked.reserve(text.size() + taken.size() * 32);
    size_t copied = 0;
    std::vector<size_t> matched;
    for (const Match& m : taken) {
        marked.append(text, copied, m.end - copied);
        marked += CorrectionMark(rules[m.rule]);
        copied = m.end;
        if (std::find(matched.begin(), matched.end(), m.rule) == matched.end())
            matched.push_back(m.rule);
    }
    marked.append(text, copied, std::string::npos);
    text = std::move(marked);
    return matched;
}

} // namespace

std::string CorrectionMark(const CorrectionRule& rule)
{
    return " [" + rule.kind + " " + rule.standard + "]";
}

CorrectionTable ParseCorrections(const std::string& text, const std::string& path)
{
    CorrectionTable table;
    table.path = path;
    ForEachSourceLine(text, path, [&](const std::string& line, size_t lineNo) {
        const std::vector<std::string> fields = SplitFields(line, '|');
        if (fields.size() != 4)
            throw InputError(path, lineNo,
                             "očekivana su 4 polja (natuknica | prijevod | vrsta | ispravni naziv), a redak ih ima " +
                                 std::to_string(fields.size()));
        CorrectionRule rule{fields[0], fields[1], fields[2], fields[3], lineNo, 0};
        if (rule.headword.empty() || rule.rendering.empty() || rule.standard.empty())
            throw InputError(path, lineNo, "prazno polje");
        if (std::find(std::begin(kKinds), std::end(kKinds), rule.kind) == std::end(kKinds))
            throw InputError(path, lineNo,
                             "nepoznata vrsta ispravka \"" + rule.kind + "\" (hrv., pravno: ili pogrešno; pravno:)");
        for (const CorrectionRule& other : table.rules)
            if (other.headword == rule.headword && other.rendering == rule.rendering)
                throw InputError(path, lineNo,
                                 "isto pravilo već stoji u retku " + std::to_string(other.line));
        table.rules.push_back(std::move(rule));
    });
    return table;
}

CorrectionTable ReadCorrections(const std::string& path)
{
    return ParseCorrections(ReadWholeFile(path), path);
}

size_t ApplyCorrections(CorrectionTable& table, std::vector<Entry>& entries, const std::vector<Source>& sources)
{
    std::vector<CorrectionRule>& rules = table.rules;
    std::unordered_map<std::string, std::vector<size_t>> byHeadword;
    std::vector<size_t> everyEntry;
    for (size_t r = 0; r < rules.size(); ++r) {
        if (rules[r].headword == "*")
            everyEntry.push_back(r);
        else
            byHeadword[rules[r].headword].push_back(r);
    }
    // Longer renderings first, so that the longer of two overlapping ones wins.
    const auto longerFirst = [&](size_t a, size_t b) { return rules[a].rendering.size() > rules[b].rendering.size(); };
    std::stable_sort(everyEntry.begin(), everyEntry.end(), longerFirst);

    size_t changedEntries = 0;
    std::vector<size_t> candidates;
    for (Entry& entry : entries) {
        const int s = entry.source;
        if (s < 0 || size_t(s) >= sources.size() || sources[size_t(s)].kind != SourceKind::Dictd)
            continue;
        const auto own = byHeadword.find(entry.headword);
        const std::vector<size_t>* apply = &everyEntry;
        if (own != byHeadword.end()) {
            // The headword's own rules, and the "*" rules for other renderings.
            candidates = own->second;
            for (const size_t r : everyEntry) {
                const bool shadowed = std::any_of(own->second.begin(), own->second.end(),
                                                  [&](size_t c) { return rules[c].rendering == rules[r].rendering; });
                if (!shadowed)
                    candidates.push_back(r);
            }
            std::stable_sort(candidates.begin(), candidates.end(), longerFirst);
            apply = &candidates;
        }

        std::vector<size_t> changedBy;
        for (Sense& sense : entry.senses)
            for (const size_t r : MarkText(sense.equivalents, *apply, rules))
                if (std::find(changedBy.begin(), changedBy.end(), r) == changedBy.end())
                    changedBy.push_back(r);
        changedEntries += !changedBy.empty();
        for (const size_t r : changedBy) {
            ++rules[r].changed;
            for (std::string& term : SplitFields(rules[r].standard, ',', false))
                if (std::find(entry.otherForms.begin(), entry.otherForms.end(), term) == entry.otherForms.end())
                    entry.otherForms.push_back(std::move(term));
        }
    }
    return changedEntries;
}

size_t MarkHeadwords(CorrectionTable& table, std::vector<Entry>& entries, const std::vector<Source>& sources)
{
    // Only the general rules: a headword's own rule judges a rendering for one
    // English sense ("akcija" is wrong for a share, not for an action).
    const std::vector<CorrectionRule>& rules = table.rules;
    std::vector<size_t> candidates;
    for (size_t r = 0; r < rules.size(); ++r)
        if (rules[r].headword == "*" && rules[r].kind == "hrv.")
            candidates.push_back(r);
    std::stable_sort(candidates.begin(), candidates.end(),
                     [&](size_t a, size_t b) { return rules[a].rendering.size() > rules[b].rendering.size(); });

    size_t marked = 0;
    for (Entry& entry : entries) {
        const int s = entry.source;
        if (s < 0 || size_t(s) >= sources.size() || sources[size_t(s)].kind != SourceKind::Dictd)
            continue;
        const std::vector<Match> found = FindMatches(entry.headword, candidates, rules);
        for (const Match& m : found) {
            entry.headwordMarks.push_back({m.end, CorrectionMark(rules[m.rule]).substr(1)});
            for (std::string& term : SplitFields(rules[m.rule].standard, ',', false))
                if (std::find(entry.otherForms.begin(), entry.otherForms.end(), term) == entry.otherForms.end())
                    entry.otherForms.push_back(std::move(term));
            ++table.rules[m.rule].changed;
        }
        marked += !found.empty();
    }
    return marked;
}

} // namespace mkdict
