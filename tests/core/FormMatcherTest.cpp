// Every inflected form of a term: the whole-dictionary search "Svi oblici
// riječi" on single words and phrases under the other options, headword mode
// through dictionary forms in an English and a Croatian headword list, the
// engine's status text, and the marks in the view. The forms come from a
// table standing in for Hunspell, so each case says exactly which words are
// forms of which.
#include "Cp1250Text.h"
#include "DictionaryStore.h"
#include "FormMatcher.h"
#include "SearchEngine.h"

#include <gtest/gtest.h>

#include <map>

namespace {

std::string Cp(const char* utf8)
{
    return cp1250::FromUnicode(QString::fromUtf8(utf8)).toStdString();
}

// Hunspell's answers for the words of the dictionaries below.
class TableForms : public WordForms {
public:
    TableForms()
    {
        const std::pair<const char*, const char*> table[] = {
            {"tužitelj", "tužitelj"}, {"tužitelja", "tužitelj"}, {"tužitelju", "tužitelj"},
            {"naknada", "naknada"}, {"naknadu", "naknada"}, {"naknade", "naknada"},
            {"šteta", "šteta"}, {"štete", "šteta"},
            {"court", "court"}, {"courts", "court"},
            {"liability", "liability"}, {"liabilities", "liability"},
            {"dužnik", "dužnik"}, {"dužnici", "dužnik"}, {"dužnika", "dužnik"},
            {"ugovorna", "ugovorni"}, {"ugovornih", "ugovorni"},
            {"strana", "strana"}, {"strane", "strana"},
            {"presuda", "presuda"}, {"presudom", "presuda"},
            // Hunspell strips prefixes too: these are other words.
            {"unlawful", "lawful"}, {"lawful", "lawful"},
            {"contract", "contract"}, {"contract", "tract"}, {"contracts", "tract"}, {"tract", "tract"},
        };
        for (const auto& [form, base] : table)
            bases_[Cp(form)].push_back(Cp(base));
    }
    std::vector<std::string> BaseForms(std::string_view word) override
    {
        ++asked;
        const auto found = bases_.find(std::string(word));
        return found == bases_.end() ? std::vector<std::string>() : found->second;
    }
    int asked = 0;

private:
    std::map<std::string, std::vector<std::string>> bases_;
};

struct Line {
    const char* index;
    bool legal;
};

void Fill(DictionaryStore& store, std::initializer_list<Line> lines)
{
    std::string index, entries;
    for (const Line& line : lines) {
        index += Cp(line.index) + "\r\n";
        entries += std::string("\\par entry {\\i [") + (line.legal ? "Tarvena" : "FreeDict") + "]} \r\n";
    }
    store.LoadIndexText(index);
    store.LoadEntryText(entries);
}

// English headwords, Croatian text.
const std::initializer_list<Line> kEnglish = {
    {"accuser.tužitelj; tužiteljica", true},                 // 0
    {"claimant.tužitelja iz stavka 1", false},               // 1
    {"compensation.naknada", false},                         // 2
    {"compensation for damage.naknada štete", true},         // 3
    {"to claim damages.zahtijevati naknadu štete", false},   // 4
    {"damages.naknadu, štete", false},                       // 5: not one after the other
    {"court.sud", true},                                     // 6
    {"courts.sudovi", false},                                // 7
    {"courtship.udvaranje", false},                          // 8
    {"liability.odgovornost", true},                         // 9
    {"debtors.dužnici", false},                              // 10
    {"harm.štete naknadu", false},                           // 11: the other order
    {"contracting party.ugovorna strana", true},             // 12
    {"Prosecutor.Tužitelja", false},                         // 13
    {"plaintiff.tuzitelja", false},                          // 14: written without diacritics
    {"damage-compensation.naknadu-štete", false},            // 15
    {"legal.lawful", false},                                 // 16
    {"illegal.unlawful", false},                             // 17
    {"agreement.contract", false},                           // 18
    {"agreements.contracts", false},                         // 19
    {"tract.tract", false},                                  // 20
    {"judgment debtor.ovršenik", false},                     // 21: no dictionary knows it
    {"against the debtor.protiv ovršenika", false},          // 22
    {"enforcement.ovrha", false},                            // 23
};

// Croatian headwords, English text.
const std::initializer_list<Line> kCroatian = {
    {"dužnik.debtor", true},                 // 0
    {"naknada.compensation", true},          // 1
    {"naknada štete.damages", true},         // 2
    {"presuda.judgment", true},              // 3
    {"strana.party", false},                 // 4
    {"tužitelj.claimant", true},             // 5
    {"ugovorna strana.contracting party", true}, // 6
};

SearchOptions With(bool diacritics, bool legal)
{
    SearchOptions options;
    options.allForms = true;
    options.ignoreDiacritics = diacritics;
    options.legalOnly = legal;
    return options;
}

class FormMatcherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Fill(english, kEnglish);
        Fill(croatian, kCroatian);
    }
    TableForms forms;
    DictionaryStore english;
    DictionaryStore croatian;
};

TEST_F(FormMatcherTest, WholeDictionaryFindsEveryFormOfEveryWordInOrder)
{
    const struct {
        const char* term;
        bool matchCase;
        bool diacritics;
        bool legal;
        std::vector<int32_t> hits;
    } cases[] = {
        // One word: its forms as whole words, not longer words that hold it.
        {"tužitelj", false, false, false, {0, 1, 13}},
        {"tužitelja", false, false, false, {0, 1, 13}},
        {"court", false, false, false, {6, 7}},
        {"courts", false, false, false, {6, 7}},
        {"liabilities", false, false, false, {9}},
        // The stem changes at its end (k - c).
        {"dužnik", false, false, false, {10}},
        {"dužnici", false, false, false, {10}},
        // A dictionary form that drops a prefix keeps it.
        {"lawful", false, false, false, {16}},
        {"unlawful", false, false, false, {17}},
        {"contract", false, false, false, {18, 19}},
        {"contracts", false, false, false, {18, 19}},
        {"tract", false, false, false, {20}},
        // Phrases: each word in any form, in order, spaces or hyphens between.
        {"naknada štete", false, false, false, {3, 4, 15}},
        {"naknadu štete", false, false, false, {3, 4, 15}},
        {"štete naknada", false, false, false, {11}},
        {"ugovornih strane", false, false, false, {12}},
        {"naknada sud", false, false, false, {}},
        // A word no dictionary knows is found as typed, a whole word...
        {"sudovi", false, false, false, {7}},
        {"sudov", false, false, false, {7}},
        {"sudo", false, false, false, {}},
        // Nor its forms: those that differ from it in a case ending only.
        {"ovršenika", false, false, false, {21, 22}},
        {"ovršeniku", false, false, false, {21, 22}},
        {"ovrš", false, false, false, {}},
        {"xyzzy", false, false, false, {}},
        // Match case keeps the typed first letter's case.
        {"tužitelj", true, false, false, {0, 1}},
        {"Tužitelj", true, false, false, {13}},
        {"TUŽITELJ", true, false, false, {}},
        // Ignoring diacritics, typed with or without them.
        {"tužitelj", false, true, false, {0, 1, 13, 14}},
        {"tuzitelja", false, true, false, {0, 1, 13, 14}},
        {"duznici", false, true, false, {10}},
        // The glossary only.
        {"tužitelj", false, false, true, {0}},
        {"naknadu štete", false, false, true, {3}},
    };
    FormMatcher matcher(english, &forms);
    for (const auto& c : cases) {
        EXPECT_EQ(matcher.IndexLinesContaining(Cp(c.term), c.matchCase, With(c.diacritics, c.legal)), c.hits)
            << c.term << (c.matchCase ? " matchCase" : "") << (c.diacritics ? " diacritics" : "")
            << (c.legal ? " legal" : "");
    }
}

TEST_F(FormMatcherTest, HeadwordModeJumpsToTheHeadwordTheBaseFormsMake)
{
    const struct {
        const DictionaryStore* store;
        const char* typed;
        bool diacritics;
        int32_t position;
        const char* used;
    } cases[] = {
        {&english, "liabilities", false, 9, "liability"},
        // Its dictionary form before the word as typed.
        {&english, "courts", false, 6, "court"},
        {&english, "tužiteljica", false, -1, ""},
        {&croatian, "naknadu štete", false, 2, "naknada štete"},
        {&croatian, "naknadu", false, 1, "naknada"},
        // The last word half typed: the first headword it begins.
        {&croatian, "naknadu š", false, 2, "naknada štete"},
        {&croatian, "naknadu ", false, 1, "naknada"},
        {&croatian, "presudom", false, 3, "presuda"},
        {&croatian, "tužitelja", false, 5, "tužitelj"},
        {&croatian, "dužnici", false, 0, "dužnik"},
        {&croatian, "ugovornih strana", false, 6, "ugovorna strana"},
        {&croatian, "ugovornih stran", false, 6, "ugovorna strana"},
        {&croatian, "duznik", true, 0, "dužnik"},
        {&croatian, "naknadu xyz", false, -1, ""},
        {&croatian, "xyz štete", false, -1, ""},
        {&croatian, "presudom štete", false, -1, ""},
    };
    FormMatcher englishMatcher(english, &forms);
    FormMatcher croatianMatcher(croatian, &forms);
    for (const auto& c : cases) {
        FormMatcher& matcher = c.store == &english ? englishMatcher : croatianMatcher;
        SearchOptions options;
        options.ignoreDiacritics = c.diacritics;
        const FormMatcher::HeadwordMatch match = matcher.FirstHeadword(Cp(c.typed), false, options);
        EXPECT_EQ(match.position, c.position) << c.typed;
        EXPECT_EQ(match.used, Cp(c.used)) << c.typed;
    }
}

TEST_F(FormMatcherTest, AskedWordsAreAskedOnce)
{
    FormMatcher matcher(english, &forms);
    const std::vector<int32_t> first = matcher.IndexLinesContaining(Cp("naknadu štete"), false, With(false, false));
    const int asked = forms.asked;
    EXPECT_GT(asked, 0);
    EXPECT_EQ(matcher.IndexLinesContaining(Cp("naknadu štete"), false, With(false, false)), first);
    EXPECT_EQ(forms.asked, asked);
}

// A view that records what the engine shows.
class RecordingView : public SearchView {
public:
    QString comboText() const override { return text; }
    void setComboText(const QString& t) override { text = t; }
    void appendHistory(const QString&) override {}
    void selectAllComboText() override {}
    bool wholeDictionaryMode() const override { return whole; }
    bool matchCase() const override { return false; }
    SearchOptions searchOptions() const override { return options; }
    void focusView() override {}
    void showInputError(const QString&) override {}
    void selectHeadword(int index) override { selected = index; }
    int selectedHeadword() const override { return selected; }
    void showDocument(const QByteArray&) override {}
    void setStatusText(const QString& t) override { status = t; }
    QString selectedViewText() const override { return QString(); }

    QString text;
    bool whole = false;
    SearchOptions options;
    int selected = -1;
    QString status;
};

TEST_F(FormMatcherTest, TheEngineSaysWhichBaseFormItUsedAndOnlyThen)
{
    ResultDocument document;
    RecordingView view;
    SearchEngine engine(croatian, document, view);
    engine.SetWordForms(&forms);
    const struct {
        const char* typed;
        int selected;
        const char* status;
    } keystrokes[] = {
        {"nak", 1, ""},                                  // begins a headword: as always
        {"naknadu", 1, "osnovni oblik: naknada"},
        {"naknadu št", 2, "osnovni oblik: naknada štete"},
        {"naknadu štx", 2, "osnovni oblik: naknada štete"}, // nothing found: all stays
        {"naknada š", 2, ""},                            // begins a headword again
        {"presudom", 3, "osnovni oblik: presuda"},
    };
    for (const auto& k : keystrokes) {
        view.text = QString::fromUtf8(k.typed);
        engine.CBKljucChange();
        EXPECT_EQ(view.selected, k.selected) << k.typed;
        EXPECT_EQ(view.status, QString::fromUtf8(k.status)) << k.typed;
    }

    // Without word forms, headword mode is what it always was.
    SearchEngine plain(croatian, document, view);
    view.selected = -1;
    view.status.clear();
    view.text = QStringLiteral("presudom");
    plain.CBKljucChange();
    EXPECT_EQ(view.selected, -1);
    EXPECT_EQ(view.status, QString());
}

TEST_F(FormMatcherTest, TheViewMarksTheFormsFound)
{
    const struct {
        const char* term;
        bool matchCase;
        bool diacritics;
        const char* text;
        const char* marked;   // empty: nothing
    } cases[] = {
        {"naknada štete", false, false, "zahtijevati naknadu štete odmah", "naknadu štete"},
        {"naknada štete", false, false, "naknadu-štete", "naknadu-štete"},
        {"naknada štete", false, false, "naknadu, štete", ""},
        {"tužitelj", false, false, "protiv TUŽITELJA", "TUŽITELJA"},
        {"tužitelj", true, false, "protiv Tužitelja i tužitelja", "tužitelja"},
        {"tužitelj", false, false, "tužiteljica", ""},
        {"tužitelj", false, true, "tuzitelja", "tuzitelja"},
        {"court", false, false, "the Courts of", "Courts"},
    };
    FormMatcher matcher(english, &forms);
    for (const auto& c : cases) {
        const SearchOptions options = With(c.diacritics, false);
        const QRegularExpression expression =
            FormMatcher::Expression(Cp(c.term), matcher.Forms(Cp(c.term), c.diacritics), c.matchCase, options);
        ASSERT_TRUE(expression.isValid()) << c.term;
        EXPECT_EQ(expression.match(QString::fromUtf8(c.text)).captured(), QString::fromUtf8(c.marked))
            << c.term << " in " << c.text;
    }
}

} // namespace
