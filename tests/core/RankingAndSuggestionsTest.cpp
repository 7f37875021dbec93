// A result a translator can trust: best first keeps every hit and puts the
// term's own entry first; a miss offers the nearest headwords; the count
// names the options that shaped it.
#include "DictionaryStore.h"
#include "HeadwordSuggestions.h"
#include "HitRanking.h"
#include "SearchOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// headword, glossary entry or not
const std::vector<std::pair<std::string, bool>> kEntries = {
    {"basketball court", false}, {"court", false}, {"court", true}, {"court of appeal", true},
    {"courtroom", false},        {"high court", true}, {"negligence", true}, {"negligent", false},
    {"Negligence", false},       {"jurisprudence", true}, {"tu\x9eitelj", true}, {"court fee", false},
};

struct Store {
    DictionaryStore store;
    Store()
    {
        std::string index, entries;
        for (const auto& [headword, glossary] : kEntries) {
            index += headword + ". " + headword + "\r\n";
            entries += "\\par {\\b " + headword + "} x {\\i [" + (glossary ? "Tarvena" : "FreeDict") + "]} \r\n";
        }
        store.LoadIndexText(index);
        store.LoadEntryText(entries);
    }
};

TEST(BestFirst, TheTermsOwnEntryThenItsBeginningsThenTheGlossaryThenTheRest)
{
    const Store s;
    struct Case {
        const char* term;
        bool matchCase;
        std::vector<int32_t> hits;       // in dictionary order
        std::vector<int32_t> expected;
    };
    const Case cases[] = {
        // court itself (1, 2), beginning with court (3, 4, 11), glossary (5), the rest (0)
        {"court", false, {0, 1, 2, 3, 4, 5, 11}, {1, 2, 3, 4, 11, 5, 0}},
        {"COURT", false, {0, 1, 2, 3, 4, 5, 11}, {1, 2, 3, 4, 11, 5, 0}},
        {"COURT", true, {0, 1, 2, 3, 4, 5, 11}, {2, 3, 5, 0, 1, 4, 11}},
        {"negligence", false, {6, 8}, {6, 8}},
        {"negligen", false, {6, 7, 8}, {6, 7, 8}},
        {"x", false, {}, {}},
    };
    for (const Case& c : cases) {
        std::vector<int32_t> hits = c.hits;
        RankBestFirst(s.store, hits, c.term, c.matchCase, SearchOptions{});
        EXPECT_EQ(hits, c.expected) << c.term << (c.matchCase ? " (match case)" : "");
    }
    // Ignoring diacritics, the term without them is the headword with them.
    std::vector<int32_t> hits = {1, 10};
    SearchOptions options;
    options.ignoreDiacritics = true;
    RankBestFirst(s.store, hits, "tuzitelj", false, options);
    EXPECT_EQ(hits, (std::vector<int32_t>{10, 1}));
}

TEST(Suggestions, NearestHeadwordsCommonFirstEachOnce)
{
    const Store s;
    const HeadwordSuggestions suggest(s.store);
    const struct {
        const char* term;
        std::vector<std::string> expected;
    } cases[] = {
        {"negligance", {"negligence"}},   // one apart, Negligence offered once; negligent is three
        {"jurispudence", {"jurisprudence"}},
        {"tuzitel", {"tu\x9eitelj"}},                   // diacritics and a letter missing
        {"cuort", {"court"}},             // swapped letters
        {"corut of apeal", {"court of appeal"}},
        {"zzzzzz", {}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(suggest.For(c.term), c.expected) << c.term;

    const struct {
        const char* a;
        const char* b;
        int distance;
    } distances[] = {{"court", "court", 0}, {"cuort", "court", 1}, {"cort", "court", 1},
                     {"courts", "court", 1}, {"cart", "court", 2}, {"abc", "xyz", 3}, {"a", "abcd", 3}};
    for (const auto& d : distances)
        EXPECT_EQ(HeadwordSuggestions::Distance(d.a, d.b), d.distance) << d.a << " " << d.b;
}

TEST(HitCountText, NamesTheOptionsThatAreOnAndIsPlainWithNone)
{
    SearchOptions options;
    EXPECT_EQ(HitCountText(159, options), QStringLiteral("Broj pronađenih pojmova: 159"));
    options.legalOnly = true;
    EXPECT_EQ(HitCountText(71, options), QStringLiteral("Broj pronađenih pojmova: 71 (samo pravni pojmovi)"));
    options.bestFirst = true;
    options.wholeWords = true;
    EXPECT_EQ(HitCountText(0, options),
              QStringLiteral("Broj pronađenih pojmova: 0 (samo cijele riječi, samo pravni pojmovi, najprije najbolji pogoci)"));
}

} // namespace
