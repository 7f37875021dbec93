// Our marks on the general dictionary's renderings: where a rule applies and
// where it must not, what the entry and its searchable text gain, and how
// the table's mistakes are reported.
#include "Corrections.h"
#include "DictBuild.h"

#include <gtest/gtest.h>

using namespace mkdict;

namespace {

const char* const kTable =
    "# headword | rendering | kind | standard terms\n"
    "prosecutor | tužilac | hrv. | tužitelj\n"
    "invalidity | invalidnost | pogrešno; pravno: | nevaljanost, ništetnost\n"
    "felony | krivično djelo | hrv. | kazneno djelo, teško kazneno djelo\n"
    "jurisdiction | sudbenošču | hrv. | nadležnost\n"
    "* | advokat | hrv. | odvjetnik\n"
    "* | krivično | hrv. | kazneno\n"
    "* | sudbenošču | hrv. | sudbenost\n"
    "* | krivično djelo | hrv. | kazneno djelo\n";

struct Case {
    const char* what;
    const char* headword;
    const char* equivalents;
    const char* marked;      // the equivalents afterwards
    const char* searchable;  // forms added to the searchable text, "|" between
};

const Case kCases[] = {
    {"a headword's rule", "prosecutor", "tužilac", "tužilac [hrv. tužitelj]", "tužitelj"},
    {"every occurrence, only whole words", "prosecutor", "tužilac, tužilaca, javni tužilac; ptužilac",
     "tužilac [hrv. tužitelj], tužilaca, javni tužilac [hrv. tužitelj]; ptužilac", "tužitelj"},
    {"a letter beyond ASCII continues the word", "prosecutor", "čtužilac, tužilacž, tužilac–x",
     "čtužilac, tužilacž, tužilac [hrv. tužitelj]–x", "tužitelj"},
    {"the rule is the headword's alone", "attorney", "tužilac", "tužilac", ""},
    {"a wrong rendering, several legal terms", "invalidity", "invalidnost, nevaljanost",
     "invalidnost [pogrešno; pravno: nevaljanost, ništetnost], nevaljanost", "nevaljanost|ništetnost"},
    {"a rule for every entry", "lawyer", "advokat, pravnik", "advokat [hrv. odvjetnik], pravnik", "odvjetnik"},
    {"case matters", "lawyer", "Advokat", "Advokat", ""},
    {"the longer of two overlapping renderings", "crime", "krivično djelo, krivično pravo",
     "krivično djelo [hrv. kazneno djelo], krivično [hrv. kazneno] pravo", "kazneno djelo|kazneno"},
    {"the headword's own rule before the one for every entry", "felony", "krivično djelo",
     "krivično djelo [hrv. kazneno djelo, teško kazneno djelo]", "kazneno djelo|teško kazneno djelo"},
    {"the same rendering in both: only the headword's mark", "jurisdiction", "sudbenošču",
     "sudbenošču [hrv. nadležnost]", "nadležnost"},
    {"nothing to mark", "court", "sud, dvor", "sud, dvor", ""},
};

TEST(Corrections, EachRuleMarksWhereItAppliesAndNowhereElse)
{
    for (const Case& c : kCases) {
        CorrectionTable table = ParseCorrections(kTable, "t.txt");
        std::vector<Source> sources(1);
        sources[0].kind = SourceKind::Dictd;
        Entry entry;
        entry.headword = c.headword;
        entry.senses.push_back(Sense{"", c.equivalents, "", ""});
        std::vector<Entry> entries{entry};
        const size_t changed = ApplyCorrections(table, entries, sources);
        EXPECT_EQ(entries[0].senses[0].equivalents, c.marked) << c.what;
        std::string searchable;
        for (const std::string& form : entries[0].otherForms)
            searchable += (searchable.empty() ? "" : "|") + form;
        EXPECT_EQ(searchable, c.searchable) << c.what;
        EXPECT_EQ(changed, std::string(c.marked) != c.equivalents ? 1u : 0u) << c.what;
    }
}

TEST(Corrections, CountsEntriesPerRuleAndLeavesTheGlossaryAlone)
{
    CorrectionTable table = ParseCorrections(kTable, "t.txt");
    std::vector<Source> sources(2);
    sources[0].kind = SourceKind::Dictd;
    sources[1].kind = SourceKind::Glossary;
    std::vector<Entry> entries;
    for (const auto& [headword, text, source] : {std::tuple{"lawyer", "advokat; advokat", 0},
                                                 std::tuple{"barrister", "advokat", 0},
                                                 std::tuple{"attorney", "advokat", 1}}) {
        Entry e;
        e.headword = headword;
        e.source = source;
        e.senses.push_back(Sense{"", text, "", ""});
        entries.push_back(e);
    }
    // Two senses of one entry count once.
    entries[0].senses.push_back(Sense{"", "advokat", "", ""});
    EXPECT_EQ(ApplyCorrections(table, entries, sources), 2u);
    EXPECT_EQ(table.rules[4].rendering, "advokat");
    EXPECT_EQ(table.rules[4].changed, 2u);
    EXPECT_EQ(table.rules[0].changed, 0u);
    EXPECT_EQ(entries[2].senses[0].equivalents, "advokat");
    EXPECT_TRUE(entries[2].otherForms.empty());
}

TEST(Corrections, TableMistakesAreReportedWithTheirLine)
{
    const struct {
        const char* table;
        const char* error;
    } cases[] = {
        {"# c\na | b | hrv. | c\nd | e | hrv.\n", "t.txt:3: očekivana su 4 polja"},
        {"a | b | srp. | c\n", "t.txt:1: nepoznata vrsta ispravka \"srp.\""},
        {"a | b | hrv. | \n", "t.txt:1: prazno polje"},
        {"a | b | hrv. | c\n\na | b | pravno: | d\n", "t.txt:3: isto pravilo već stoji u retku 1"},
        {"a | tu\x9e" "ilac | hrv. | c\n", "t.txt:1: neispravan UTF-8 zapis"},
    };
    for (const auto& c : cases) {
        try {
            ParseCorrections(c.table, "t.txt");
            ADD_FAILURE() << "accepted: " << c.table;
        } catch (const InputError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.error, 0), 0u) << e.what();
        }
    }
}

} // namespace
