// Merging, sorting and the two line formats, checked against what the
// program does with the lines: headword rule, search, cut of a shown entry.
#include "RtfCheck.h"
#include "CodePage.h"
#include "DictBuild.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace mkdict;

namespace {

Entry Make(const std::string& headword, const std::string& equivalents, int source = 0,
           const std::string& pos = "", const std::string& field = "", const std::string& note = "")
{
    Entry e;
    e.headword = headword;
    e.source = source;
    e.senses.push_back(Sense{pos, equivalents, field, note});
    return e;
}

std::vector<Source> TwoSources()
{
    std::vector<Source> sources(2);
    sources[0].kind = SourceKind::Dictd;
    sources[0].label = "FreeDict";
    sources[0].path = "freedict-eng-hrv.index";
    sources[1].kind = SourceKind::Glossary;
    sources[1].label = "Tarvena";
    sources[1].path = "legal-glossary.txt";
    return sources;
}

std::vector<std::string> Headwords(const std::vector<Entry>& entries)
{
    std::vector<std::string> out;
    for (const Entry& e : entries)
        out.push_back(e.headword + (e.source == 1 ? " [T]" : ""));
    return out;
}

// The lines of a text by the program's rule for well-formed data: CR LF ends
// each line.
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

} // namespace

TEST(Merge, SameHeadwordOfOneSourceBecomesOneEntryWithEverySense)
{
    auto sources = TwoSources();
    std::vector<Entry> entries = {
        Make("plaintiff", "tužitelj; tužiteljica", 1, "n.", "parnični postupak", "stranka koja podnosi tužbu"),
        Make("court", "sud", 0),
        Make("plaintiff", "tužiteljski", 1, "adj.", "parnični postupak"),
        Make("plaintiff", "tužitelj; tužiteljica", 1, "n.", "parnični postupak", "stranka koja podnosi tužbu"),
        Make("plaintiff", "tužitelj", 0),   // FreeDict's own entry stays apart
        Make("Plaintiff", "Tužitelj", 1),   // another spelling is another headword
    };
    entries[1].pronunciations = {"kˈɔːt"};
    Entry again = Make("court", "dvor", 0);
    again.pronunciations = {"kˈɔːt"};
    entries.push_back(again);

    MergeEntries(entries, sources);
    EXPECT_EQ(Headwords(entries),
              (std::vector<std::string>{"plaintiff [T]", "court", "plaintiff", "Plaintiff [T]"}));
    ASSERT_EQ(entries[0].senses.size(), 2u);  // the repeated line adds nothing
    EXPECT_EQ(entries[0].senses[1].partOfSpeech, "adj.");
    ASSERT_EQ(entries[1].senses.size(), 2u);
    EXPECT_EQ(entries[1].pronunciations.size(), 1u);
    EXPECT_EQ(sources[0].entries, 2u);
    EXPECT_EQ(sources[1].entries, 2u);
}

TEST(Sort, CaseInsensitiveWithCroatianLettersAfterTheirBase)
{
    auto sources = TwoSources();
    std::vector<Entry> entries;
    for (const char* h : {"dž", "Zebra", "đak", "čep", "ćup", "cesta", "dz", "d", "court", "Court", "café", "cafe",
                          "10 base", "a bit", "abandon", "šuma", "sud", "žaba", "zakon", "e.g.", "eg", "e-mail"})
        entries.push_back(Make(h, "x"));
    SortEntries(entries, sources);
    EXPECT_EQ(Headwords(entries),
              (std::vector<std::string>{"10 base", "a bit", "abandon", "cafe", "café", "cesta", "court", "Court",
                                        "čep", "ćup", "d", "dz", "dž", "đak", "e-mail", "e.g.", "eg", "sud",
                                        "šuma", "zakon", "Zebra", "žaba"}));
}

TEST(Sort, GlossaryFirstWhenHeadwordsAreEqualOtherwiseAsRead)
{
    auto sources = TwoSources();
    std::vector<Entry> entries = {Make("court", "a", 0), Make("Court", "b", 0), Make("court", "c", 1),
                                  Make("court", "d", 0)};
    SortEntries(entries, sources);
    std::string order;
    for (const Entry& e : entries)
        order += e.senses[0].equivalents;
    EXPECT_EQ(order, "cadb");
}

TEST(IndexLine, HeadwordThenFullStopThenEquivalentsAndField)
{
    const Entry e = Make("plaintiff", "tužitelj; tužiteljica", 1, "n.", "parnični postupak", "stranka koja podnosi tužbu");
    const std::string line = IndexLine(e);
    EXPECT_EQ(line, "plaintiff.tu\x9eitelj; tu\x9eiteljica; parni\xe8ni postupak");
    EXPECT_EQ(rtfcheck::HeadwordOf(line), "plaintiff");
    EXPECT_TRUE(rtfcheck::SearchFinds(line, "tu\x9eiteljica"));
    EXPECT_TRUE(rtfcheck::SearchFinds(line, "Parni\xe8ni"));
    EXPECT_FALSE(rtfcheck::SearchFinds(line, "podnosi"));  // the note is for reading, not for finding
}

TEST(IndexLine, FullStopsInAHeadwordShowAsMiddleDotsAndStaySearchable)
{
    for (const char* h : {"e.g.", "U.S. Code", ".NET", "at five p.m.", "about..."}) {
        const Entry e = Make(h, "npr.");
        const std::string line = IndexLine(e);
        std::string shown = h;
        std::replace(shown.begin(), shown.end(), '.', '\xB7');
        EXPECT_EQ(rtfcheck::HeadwordOf(line), shown) << h;
        EXPECT_EQ(ListHeadword(h), shown);
        EXPECT_TRUE(rtfcheck::SearchFinds(line, h)) << h;
        EXPECT_TRUE(rtfcheck::SearchFinds(line, "npr.")) << h;
    }
    // Without a full stop in the headword its spelling is not repeated.
    EXPECT_EQ(IndexLine(Make("eg", "npr.")), "eg.npr.");
}

TEST(IndexLine, CharactersOutsideCp1250AreFoundByTheirPlainForm)
{
    Entry e = Make("Ångström", "jedinica duljine; ångström");
    e.pronunciations = {"ˈaŋstɹəm"};
    e.otherForms = {"angstrom unit"};
    const std::string line = IndexLine(e);
    EXPECT_EQ(line, "Angstr\xF6m.jedinica duljine; angstr\xF6m; angstrom unit");
    EXPECT_TRUE(rtfcheck::SearchFinds(line, "angstr\xF6m"));
    EXPECT_EQ(line.find("'a"), std::string::npos);  // no pronunciation in the index
}

TEST(EntryLine, BoldHeadwordItalicPartOfSpeechRedEquivalentsFieldNoteAndSource)
{
    const Entry e = Make("plaintiff", "tužitelj; tužiteljica", 1, "n.", "parnični postupak", "stranka koja podnosi tužbu");
    EXPECT_EQ(EntryLine(e, "Tarvena"),
              "\\par {\\b plaintiff} {\\i n.} \\cf1 tu\\'9eitelj; tu\\'9eiteljica\\cf0  "
              "({\\i parni\\'e8ni postupak}) \\'96 stranka koja podnosi tu\\'9ebu {\\i [Tarvena]} ");
    const auto reading = rtfcheck::Read(rtfcheck::Cut(EntryLine(e, "Tarvena")));
    EXPECT_TRUE(reading.balanced);
    EXPECT_EQ(reading.text, "plaintiff n. tu\x9eitelj; tu\x9eiteljica (parni\xe8ni postupak) \x96 stranka koja podnosi "
                            "tu\x9e" "bu [Tarvena]");
}

TEST(EntryLine, PronunciationKeepsEverySymbolAndSpecialsAreEscaped)
{
    Entry e = Make("{braces} \\ back", "vitičaste {zagrade}");
    e.pronunciations = {"kˈɔːt", "kɔrt"};
    const std::string line = EntryLine(e, "FreeDict");
    EXPECT_NE(line.find("{\\b \\{braces\\} \\\\ back}"), std::string::npos);
    EXPECT_NE(line.find(" /k\\u712?\\u596?\\u720?t/, /k\\u596?rt/"), std::string::npos);
    const auto reading = rtfcheck::Read(line);
    EXPECT_TRUE(reading.balanced);
    EXPECT_NE(reading.text.find("/k<712><596><720>t/"), std::string::npos);
    EXPECT_EQ(reading.text.find('?'), std::string::npos);  // the stand-ins are skipped
    EXPECT_NE(reading.text.find("viti\xe8" "aste {zagrade}"), std::string::npos);
}

TEST(EntryLine, MergedSensesAreNumbered)
{
    Entry e = Make("plaintiff", "tužitelj", 1, "n.", "parnični postupak");
    e.senses.push_back(Sense{"adj.", "tužiteljski", "", ""});
    const auto text = rtfcheck::Read(EntryLine(e, "Tarvena")).text;
    EXPECT_EQ(text, "\nplaintiff 1. n. tu\x9eitelj (parni\xe8ni postupak); 2. adj. tu\x9eiteljski [Tarvena] ");
}

// The program shows an entry alone, or as the first hit, without its first
// five and last characters, and writes later hits whole. Both forms must be
// balanced, use only the document's font and colours, and show the same text.
TEST(EntryLine, CutAndWholeFormsShowTheSameBalancedText)
{
    std::vector<Entry> entries = {
        Make("plaintiff", "tužitelj; tužiteljica", 1, "n.", "parnični postupak", "stranka koja podnosi tužbu"),
        Make("e.g.", "npr.", 0),
        Make("}{\\", "{", 0),
        Make("x", "", 0),
    };
    entries[1].pronunciations = {"ˌiːdʒˈiː"};
    for (const Entry& e : entries) {
        const std::string line = EntryLine(e, e.source ? "Tarvena" : "FreeDict");
        ASSERT_EQ(line.rfind("\\par ", 0), 0u);
        ASSERT_EQ(line.back(), ' ');
        const auto whole = rtfcheck::Read(line);
        const auto cut = rtfcheck::Read(rtfcheck::Cut(line));
        EXPECT_TRUE(whole.balanced) << line;
        EXPECT_TRUE(cut.balanced) << line;
        EXPECT_EQ("\n" + cut.text + " ", whole.text) << line;
        EXPECT_NE(cut.text.find(e.source ? "[Tarvena]" : "[FreeDict]"), std::string::npos);
        for (const std::string& word : whole.words) {
            const bool known = word == "par" || word == "b" || word == "i" || word == "cf0" || word == "cf1" ||
                               (word[0] == 'u' && word.size() > 1);
            EXPECT_TRUE(known) << "\\" << word << " in " << line;
        }
    }

    // A search document of three hits and an entry shown alone.
    std::vector<std::string> lines;
    for (const Entry& e : entries)
        lines.push_back(EntryLine(e, "FreeDict"));
    const auto search = rtfcheck::Read(rtfcheck::SearchDocument({lines[0], lines[1], lines[2]}));
    EXPECT_TRUE(search.balanced);
    EXPECT_NE(search.text.find("plaintiff n."), std::string::npos);
    EXPECT_NE(search.text.find("\ne.g. /"), std::string::npos);
    EXPECT_NE(search.text.find("\n}{\\ {"), std::string::npos);
    const std::string alone = rtfcheck::DocumentHeader() + rtfcheck::Cut(lines[2]) + "\r\n" + rtfcheck::DocumentFooter();
    EXPECT_TRUE(rtfcheck::Read(alone).balanced);
}

TEST(BuildText, OneLineEachEndingInCrLfAlignedByPosition)
{
    auto sources = TwoSources();
    std::vector<Entry> entries = {Make("e.g.", "npr."), Make("court", "sud"),
                                  Make("line\nbreak", "a\r\nb\tc", 1, "n.", "x\ry", std::string("z\0w", 3))};
    MergeEntries(entries, sources);
    SortEntries(entries, sources);
    const DictionaryText text = BuildText(entries, sources);
    const auto index = Lines(text.index);
    const auto dic = Lines(text.entries);
    ASSERT_EQ(text.lines, 3u);
    ASSERT_EQ(index.size(), 3u);
    ASSERT_EQ(dic.size(), 3u);
    EXPECT_EQ(text.index.substr(text.index.size() - 2), "\r\n");
    EXPECT_EQ(text.entries.substr(text.entries.size() - 2), "\r\n");
    for (size_t i = 0; i < 3; ++i) {
        for (const std::string* line : {&index[i], &dic[i]})
            EXPECT_EQ(line->find_first_of(std::string("\r\n\0", 3)), std::string::npos) << *line;
        // The entry at position i is the one the headword at position i names.
        const std::string head = rtfcheck::HeadwordOf(index[i]);
        std::string spelled = head;
        std::replace(spelled.begin(), spelled.end(), '\xB7', '.');
        EXPECT_NE(rtfcheck::Read(dic[i]).text.find("\n" + spelled + " "), std::string::npos) << dic[i];
    }
    EXPECT_EQ(rtfcheck::HeadwordOf(index[0]), "court");
    EXPECT_EQ(rtfcheck::HeadwordOf(index[1]), "e\xB7g\xB7");
    EXPECT_EQ(rtfcheck::HeadwordOf(index[2]), "line break");
}

TEST(BuildText, RefusesALineTheProgramCannotShow)
{
    auto sources = TwoSources();
    std::vector<Entry> fits = {Make("big", std::string(kMaxLineBytes - 200, 'a'), 1)};
    EXPECT_NO_THROW(BuildText(fits, sources));
    std::vector<Entry> tooLong = {Make("big", std::string(kMaxLineBytes, 'a'), 1)};
    try {
        BuildText(tooLong, sources);
        FAIL() << "accepted a line of more than " << kMaxLineBytes << " bytes";
    } catch (const InputError& e) {
        EXPECT_EQ(e.file(), "legal-glossary.txt");
        EXPECT_NE(e.message().find("\"big\""), std::string::npos);
    }
}
