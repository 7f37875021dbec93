// The Croatian-English pair: the glossary read from its Croatian side, the
// Croatian alphabet's order, FreeDict's lines that are no headword, and our
// mark on a non-standard headword.
#include "RtfCheck.h"
#include "CodePage.h"
#include "Corrections.h"
#include "CroatianPair.h"
#include "DictBuild.h"

#include <gtest/gtest.h>

using namespace mkdict;

namespace {

std::vector<Source> GlossaryAndFreeDict()
{
    std::vector<Source> sources(2);
    sources[0].kind = SourceKind::Dictd;
    sources[0].label = "FreeDict";
    sources[1].kind = SourceKind::Glossary;
    sources[1].label = "Tarvena";
    return sources;
}

Entry FreeDict(const std::string& headword, const std::string& english = "x")
{
    Entry e;
    e.headword = headword;
    e.source = 0;
    e.senses.push_back(Sense{"", english, "", ""});
    return e;
}

std::vector<Entry> CroatianSide(const std::string& glossary, std::vector<Source>& sources)
{
    std::vector<Entry> entries;
    ParseGlossary(glossary, "g.txt", 1, entries, sources[1]);
    TurnAroundGlossary(entries, sources);
    MergeEntries(entries, sources);
    OrderSensesByRank(entries);
    SortEntries(entries, sources, true);
    return entries;
}

} // namespace

TEST(CroatianPair, OneCroatianTermFromSeveralEnglishHeadwordsIsOneHeadwordStatutoryTermFirst)
{
    auto sources = GlossaryAndFreeDict();
    // "tužitelj" is the statutory term for "plaintiff" (first) but only the
    // second rendering of "claimant", which is read first.
    const auto entries = CroatianSide("claimant | n. | podnositelj zahtjeva; tužitelj | parnični postupak\n"
                                      "plaintiff | n. | tužitelj; tužiteljica | parnični postupak | stranka koja tuži\n",
                                      sources);
    std::vector<std::string> heads;
    for (const Entry& e : entries)
        heads.push_back(e.headword);
    EXPECT_EQ(heads, (std::vector<std::string>{"podnositelj zahtjeva", "tužitelj", "tužiteljica"}));
    const Entry& t = entries[1];
    ASSERT_EQ(t.senses.size(), 2u);
    EXPECT_EQ(t.senses[0].equivalents, "plaintiff");
    EXPECT_EQ(t.senses[1].equivalents, "claimant");
    EXPECT_EQ(sources[1].entries, 3u);

    const std::string line = EntryLine(t, "Tarvena");
    EXPECT_EQ(line, "\\par {\\b tu\\'9eitelj} {\\b 1.} {\\i n.} \\cf1 {\\b plaintiff}\\cf0  ({\\i parni\\'e8ni postupak}) "
                    "\\'96 stranka koja tu\\'9ei; {\\b 2.} {\\i n.} \\cf1 {\\b claimant}\\cf0  ({\\i parni\\'e8ni "
                    "postupak}) {\\i [Tarvena]} ");
    EXPECT_TRUE(rtfcheck::Read(rtfcheck::Cut(line)).balanced);
    EXPECT_EQ(IndexLine(t), "tu\x9eitelj.plaintiff; claimant; parni\xe8ni postupak");
}

TEST(CroatianPair, HeadwordsFollowTheCroatianAlphabetWithItsDigraphs)
{
    auto sources = GlossaryAndFreeDict();
    const std::vector<std::string> alphabetical = {
        "cijena", "Cijena", "čin",   "ćud",   "dug",    "duž",  "džep", "Džep", "DŽEP", "džepni", "đak",
        "lokalni", "lučki", "ljekarna", "Ljekarna", "mjera", "nužan", "njegovatelj", "odluka", "sud", "šuma",
        "zakon", "žalba"};
    std::vector<Entry> entries;
    for (auto it = alphabetical.rbegin(); it != alphabetical.rend(); ++it)
        entries.push_back(FreeDict(*it));
    SortEntries(entries, sources, true);
    std::vector<std::string> heads;
    for (const Entry& e : entries)
        heads.push_back(e.headword);
    EXPECT_EQ(heads, alphabetical);

    // The English list keeps its order: "lj" is l then j.
    SortEntries(entries, sources);
    EXPECT_EQ(entries[11].headword, "ljekarna");
    EXPECT_EQ(entries[13].headword, "lokalni");
}

TEST(CroatianPair, LeavesOutNumbersAndCutOffHeadwordsOnly)
{
    auto sources = GlossaryAndFreeDict();
    struct Case { const char* headword; bool kept; };
    const Case cases[] = {
        {"0,47 litara", false}, {"048 Mb/s", false}, {"7)", false}, {"antene)", false},
        {"A- ključ (u mobilnim komunikacijama", false}, {"datoteku) s glavnoga na korisničko računalo", false},
        {"zastara", true}, {"ugovor (o djelu)", true}, {"AIDS", true}, {"br.", true}, {"e-mail", true},
    };
    std::vector<Entry> entries;
    for (const Case& c : cases)
        entries.push_back(FreeDict(c.headword));
    Entry glossary = FreeDict("1. stupanj");
    glossary.source = 1;   // our own lines are never dropped
    entries.push_back(glossary);

    const LeftOut left = LeaveOutNonHeadwords(entries, sources);
    std::vector<std::string> kept, expected;
    for (const Entry& e : entries)
        kept.push_back(e.headword);
    for (const Case& c : cases)
        if (c.kept)
            expected.push_back(c.headword);
    expected.push_back("1. stupanj");
    EXPECT_EQ(kept, expected);
    EXPECT_EQ(left.number, 3u);
    EXPECT_EQ(left.cut, 3u);
    EXPECT_EQ(sources[0].entries, 5u);
}

TEST(CroatianPair, NonStandardHeadwordsCarryTheStandardTermOfTheGeneralRule)
{
    auto sources = GlossaryAndFreeDict();
    CorrectionTable table = ParseCorrections("prosecutor | tužilac | hrv. | tužitelj, državni odvjetnik\n"
                                             "* | tužilac | hrv. | tužitelj\n"
                                             "* | zloupotreba | hrv. | zlouporaba\n"
                                             "share | akcija | hrv. | dionica\n"
                                             "* | opravdati | pravno: | osloboditi optužbe\n",
                                             "c.txt");
    std::vector<Entry> entries = {FreeDict("tužilac", "prosecutor"), FreeDict("javna zloupotreba ovlasti"),
                                  FreeDict("akcija"), FreeDict("opravdati"), FreeDict("tužilaca")};
    EXPECT_EQ(MarkHeadwords(table, entries, sources), 2u);

    EXPECT_EQ(EntryLine(entries[0], "FreeDict"),
              "\\par {\\b tu\\'9eilac} [hrv. tu\\'9eitelj] \\cf1 prosecutor\\cf0  {\\i [FreeDict]} ");
    EXPECT_EQ(EntryLine(entries[1], "FreeDict").substr(0, 58),
              "\\par {\\b javna zloupotreba} [hrv. zlouporaba]{\\b  ovlasti}");
    EXPECT_TRUE(entries[2].headwordMarks.empty());   // judged for one English sense only
    EXPECT_TRUE(entries[3].headwordMarks.empty());   // not a non-standard form
    EXPECT_TRUE(entries[4].headwordMarks.empty());   // whole words only
    EXPECT_EQ(IndexLine(entries[0]), "tu\x9eilac.prosecutor; tu\x9eitelj");
    EXPECT_EQ(table.rules[0].changed, 0u);
    EXPECT_EQ(table.rules[1].changed, 1u);
    EXPECT_EQ(table.rules[2].changed, 1u);
}
