// The search options: diacritics ignored (with "dj" for đ), whole words and
// the legal glossary only, in both searches, through the engine, and in the
// pattern that marks the term in the view. The scans are checked against a
// line-by-line definition over every substring of a small dictionary, in
// every combination of the options and match case.
#include "Cp1250Case.h"
#include "Cp1250Fold.h"
#include "Cp1250Text.h"
#include "DictionaryStore.h"
#include "SearchEngine.h"
#include "TermMatcher.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <set>

namespace {

std::string Cp(const char* utf8)
{
    return cp1250::FromUnicode(QString::fromUtf8(utf8)).toStdString();
}

// Index lines and whether each is a glossary entry.
struct Line {
    const char* index;
    bool legal;
};
const Line kLines[] = {
    {"accuser.tužitelj; tužiteljica", true},          // 0
    {"Prosecutor.Tužitelj", false},                   // 1
    {"international.međunarodni, MEĐUNARODNI", false},// 2
    {"involvement.sudjelovanje", false},              // 3
    {"suit.tužba, parnica", true},                    // 4
    {"suitcase.kovčeg", false},                       // 5
    {"lawsuit.parnica", false},                       // 6
    {"law suit.tužba", true},                         // 7
    {"suit (n·).odijelo", false},                     // 8: mkdict's middle dot
    {"swimsuit, suit.kupaći kostim", false},          // 9
    {"power of attorney.punomoć", true},              // 10
    {"power of attorneys.punomoći", false},           // 11
    {"naive.naivan", false},                          // 12
    {"café.kavana", false},                           // 13
    {"suitž.x", false},                               // 14
    {"suit2.x", false},                               // 15
    {"Đuro.ime", true},                               // 16
    {"djelo.djelo", false},                           // 17
    {"medjugradski.međugradski", false},              // 18
    {"Čakovec.grad", false},                          // 19
};
constexpr int32_t kLineCount = int32_t(std::size(kLines));

using Hits = std::vector<int32_t>;

SearchOptions Options(int bits)
{
    SearchOptions o;
    o.ignoreDiacritics = bits & 1;
    o.wholeWords = bits & 2;
    o.legalOnly = bits & 4;
    return o;
}

std::string Describe(const std::string& term, bool matchCase, const SearchOptions& o)
{
    return "term \"" + cp1250::ToUnicode(term).toStdString() + "\"" + (matchCase ? " matchCase" : "")
        + (o.ignoreDiacritics ? " diacritics" : "") + (o.wholeWords ? " wholeWords" : "")
        + (o.legalOnly ? " legalOnly" : "");
}

class SearchOptionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string index, entries;
        for (const Line& line : kLines) {
            index += Cp(line.index) + "\r\n";
            entries += std::string("\\par entry {\\i [") + (line.legal ? "Tarvena" : "FreeDict") + "]} \r\n";
        }
        store.LoadIndexText(index);
        store.LoadEntryText(entries);
    }

    Hits Find(const char* utf8, bool matchCase, int options) const
    {
        return store.IndexLinesContaining(Cp(utf8), matchCase, Options(options));
    }

    DictionaryStore store;
};

// ---- the definition, line by line -------------------------------------------

// The term's letters mapped as the options say; a d written đ or "dj" may be
// followed by a j in the text.
struct Reference {
    std::vector<unsigned char> pattern;
    std::vector<bool> flexible;
    const std::array<unsigned char, 256>* map;

    Reference(const std::string& term, bool matchCase, bool diacritics)
    {
        static const std::array<unsigned char, 256> identity = [] {
            std::array<unsigned char, 256> t{};
            for (int i = 0; i < 256; ++i)
                t[size_t(i)] = static_cast<unsigned char>(i);
            return t;
        }();
        map = diacritics ? (matchCase ? &cp1250::BaseTable : &cp1250::FoldTable)
                         : (matchCase ? &identity : &cp1250::LowerTable);
        for (size_t i = 0; i < term.size(); ++i) {
            const auto c = static_cast<unsigned char>(term[i]);
            bool flex = false;
            if (diacritics) {
                if (c == 0xF0 || c == 0xD0) {
                    flex = true;
                } else if ((c == 'd' || c == 'D') && i + 1 < term.size() && (term[i + 1] == 'j' || term[i + 1] == 'J')) {
                    flex = true;
                    ++i;
                }
            }
            pattern.push_back((*map)[c]);
            flexible.push_back(flex);
        }
    }

    // Every end of an occurrence starting at s.
    void Ends(const std::string& line, size_t i, size_t k, std::set<size_t>& ends) const
    {
        if (i == pattern.size()) {
            ends.insert(k);
            return;
        }
        if (k >= line.size() || (*map)[static_cast<unsigned char>(line[k])] != pattern[i])
            return;
        if (flexible[i] && k + 1 < line.size() && (line[k + 1] == 'j' || line[k + 1] == 'J'))
            Ends(line, i + 1, k + 2, ends);
        Ends(line, i + 1, k + 1, ends);
    }

    bool In(const std::string& line, bool wholeWords) const
    {
        for (size_t s = 0; s < line.size(); ++s) {
            std::set<size_t> ends;
            Ends(line, 0, s, ends);
            for (size_t e : ends) {
                const bool before = s > 0 && cp1250::IsWordChar(static_cast<unsigned char>(line[s - 1]));
                const bool after = e < line.size() && cp1250::IsWordChar(static_cast<unsigned char>(line[e]));
                if (!wholeWords || (!before && !after))
                    return true;
            }
        }
        return false;
    }
};

Hits Defined(const std::string& term, bool matchCase, const SearchOptions& o)
{
    Hits hits;
    const Reference reference(term, matchCase, o.ignoreDiacritics);
    for (int32_t i = 0; i < kLineCount; ++i)
        if (!term.empty() && reference.In(Cp(kLines[i].index), o.wholeWords) && (!o.legalOnly || kLines[i].legal))
            hits.push_back(i);
    return hits;
}

} // namespace

TEST(Cp1250Fold, TablesAgreeWithUnicode)
{
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        const QString letter = cp1250::ToUnicode(std::string_view(&byte, 1));
        // The base letter is what Unicode decomposes the letter to; đ Đ ł Ł
        // have no decomposition, their stroke is part of the letter.
        QString base = letter.normalized(QString::NormalizationForm_D).left(1);
        if (letter == QStringLiteral("đ") || letter == QStringLiteral("ł"))
            base = letter == QStringLiteral("đ") ? QStringLiteral("d") : QStringLiteral("l");
        if (letter == QStringLiteral("Đ") || letter == QStringLiteral("Ł"))
            base = letter == QStringLiteral("Đ") ? QStringLiteral("D") : QStringLiteral("L");
        if (base.at(0).unicode() >= 0x80 || !base.at(0).isLetter())
            base = letter;
        const unsigned char expected = cp1250::FromUnicode(base).at(0);
        EXPECT_EQ(cp1250::BaseLetter(uint8_t(b)), expected) << "byte " << b;
        EXPECT_EQ(cp1250::FoldLetter(uint8_t(b)), cp1250::ToLower(expected)) << "byte " << b;
        // A spacing accent (ˇ is a modifier letter to Unicode) parts words.
        const QChar c = letter.at(0);
        EXPECT_EQ(cp1250::IsWordChar(uint8_t(b)), c.isLetterOrNumber() && c.category() != QChar::Letter_Modifier)
            << "byte " << b;
    }
}

TEST_F(SearchOptionsTest, HowALegalTranslatorSearches)
{
    const int none = 0, diacritics = 1, words = 2, legal = 4;
    const struct {
        const char* term;
        bool matchCase;
        int options;
        Hits hits;
    } cases[] = {
        // Without diacritics: c, s, z, d for č ć, š, ž, đ, and "dj" for đ.
        {"tuzitelj", false, none, {}},
        {"tuzitelj", false, diacritics, {0, 1}},
        {"tužitelj", false, diacritics, {0, 1}},
        {"medjunarodni", false, diacritics, {2}},
        {"medunarodni", false, diacritics, {2}},
        {"međunarodni", false, diacritics, {2}},
        {"sudjelovanje", false, diacritics, {3}},
        {"medjugradski", false, diacritics, {18}},       // "dj" in the text, đ in the text
        {"međugradski", false, diacritics, {18}},
        {"djelo", false, diacritics, {3, 17}},             // sudjelovanje too
        {"đelo", false, diacritics, {3, 17}},
        {"cakovec", false, diacritics, {19}},
        // With match case only the diacritics fold.
        {"Tuzitelj", true, diacritics, {1}},
        {"tuzitelj", true, diacritics, {0}},
        {"MEDJUNARODNI", true, diacritics, {2}},
        {"Djuro", true, diacritics, {16}},
        {"djuro", true, diacritics, {}},
        {"djuro", false, diacritics, {16}},
        // Accents of other languages fold too, in the term and the text.
        {"cafe", false, diacritics, {13}},
        {"café", false, none, {13}},
        // Whole words: not inside a longer word, letters of the code page
        // and digits included; several words alike.
        {"suit", false, none, {4, 5, 6, 7, 8, 9, 14, 15}},
        {"suit", false, words, {4, 7, 8, 9}},
        {"SUIT", true, words, {}},
        {"power of attorney", false, words, {10}},
        {"power of attorney", false, none, {10, 11}},
        {"tuzba", false, diacritics | words, {4, 7}},
        // The legal glossary only.
        {"suit", false, legal, {4, 7}},
        {"suit", false, words | legal, {4, 7}},
        {"tuzitelj", false, diacritics | legal, {0}},
        {"parnica", false, legal, {4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Describe(Cp(c.term), c.matchCase, Options(c.options)));
        EXPECT_EQ(Find(c.term, c.matchCase, c.options), c.hits);
    }
}

TEST_F(SearchOptionsTest, EveryOptionAgreesWithTheLineByLineDefinition)
{
    // Every substring of 2 to 7 bytes of every line, as written, in
    // capitals, without its diacritics, and with đ written "dj".
    std::set<std::string> terms;
    for (const Line& line : kLines) {
        const std::string text = Cp(line.index);
        for (size_t n = 2; n <= 7; ++n)
            for (size_t s = 0; s + n <= text.size(); ++s) {
                const std::string term = text.substr(s, n);
                terms.insert(term);
                terms.insert(cp1250::Upper(term));
                std::string plain = term;
                for (char& c : plain)
                    c = char(cp1250::BaseLetter(uint8_t(c)));
                terms.insert(plain);
                std::string dj;
                for (char c : term)
                    dj += (c == '\xF0') ? std::string("dj") : std::string(1, c);
                terms.insert(dj);
            }
    }
    size_t checked = 0;
    for (const std::string& term : terms)
        for (int bits = 0; bits < 8; ++bits)
            for (bool matchCase : {false, true}) {
                const SearchOptions o = Options(bits);
                const Hits found = store.IndexLinesContaining(term, matchCase, o);
                ASSERT_EQ(found, Defined(term, matchCase, o)) << Describe(term, matchCase, o);
                if (!o.Any()) {
                    ASSERT_EQ(found, store.IndexLinesContaining(term, matchCase));
                }
                ++checked;
            }
    EXPECT_GT(checked, 20000u);
    // New text: the copy folded for the old one is not used again.
    store.LoadIndexText("a.b\r\n");
    EXPECT_EQ(store.IndexLinesContaining("b", false, Options(1)), Hits{0});
}

TEST_F(SearchOptionsTest, HeadwordSearchFoldsAndSkipsWhatIsNotLegal)
{
    const int diacritics = 1, legal = 4;
    const struct {
        const char* text;
        bool matchCase;
        int options;
        int32_t found;
    } cases[] = {
        {"duro", false, diacritics, 16},
        {"djuro", false, diacritics, 16},
        {"Duro", true, diacritics, 16},
        {"duro", true, diacritics, -1},
        {"djel", false, diacritics, 17},
        {"cak", false, diacritics, 19},
        {"Čak", true, 0, 19},
        {"cak", false, 0, -1},
        {"suit", false, legal, 4},
        {"law", false, legal, 7},         // "lawsuit" is not in the glossary
        {"suitc", false, legal, -1},
        {"SUIT (N.)", false, diacritics, 8}, // a typed full stop stands for the middle dot
        {"", false, diacritics, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Describe(Cp(c.text), c.matchCase, Options(c.options)));
        EXPECT_EQ(store.FirstHeadwordStartingWith(Cp(c.text), c.matchCase, Options(c.options)), c.found);
    }

    // Legal only: the first glossary headword among those the plain search
    // would take, for every prefix of every headword in either case.
    for (int32_t i = 0; i < kLineCount; ++i) {
        const std::string headword(store.Headword(i));
        for (size_t n = 1; n <= headword.size(); ++n)
            for (const std::string& text : {headword.substr(0, n), cp1250::Lower(headword.substr(0, n))})
                for (bool matchCase : {false, true}) {
                    int32_t expected = -1;
                    const std::string want = matchCase ? text : cp1250::Upper(text);
                    for (int32_t j = 0; j < kLineCount && expected < 0; ++j) {
                        const std::string word(store.Headword(j));
                        if ((matchCase ? word : cp1250::Upper(word)).rfind(want, 0) == 0 && kLines[j].legal)
                            expected = j;
                    }
                    EXPECT_EQ(store.FirstHeadwordStartingWith(text, matchCase, Options(legal)), expected) << text;
                }
    }
}

TEST_F(SearchOptionsTest, TheSourceMarkAtTheEndOfAnEntryLine)
{
    const struct {
        const char* line;
        const char* source;
    } cases[] = {
        {"\\par {\\b court} sud {\\i [Tarvena]} ", "Tarvena"},
        {"\\par {\\b court} sud {\\i [FreeDict]}", "FreeDict"},
        {"\\par [Tarvena] first, then none", ""},
        {"", ""},
        {"]", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DictionaryStore::EntrySource(c.line), c.source) << c.line;
    EXPECT_TRUE(store.IsGlossaryEntry(0));
    EXPECT_FALSE(store.IsGlossaryEntry(1));
    EXPECT_FALSE(store.IsGlossaryEntry(-1));
    EXPECT_FALSE(store.IsGlossaryEntry(kLineCount));   // no entry line: not the glossary's
}

namespace {

// The window as the engine sees it, with the options on.
class OptionsView : public SearchView {
public:
    QString combo;
    bool wholeDictionary = true;
    bool caseMatters = false;
    SearchOptions options;
    int selected = -1;
    QByteArray document;
    QString status;
    QStringList history;

    QString comboText() const override { return combo; }
    void setComboText(const QString& text) override { combo = text; }
    void appendHistory(const QString& term) override { history << term; }
    void selectAllComboText() override {}
    bool wholeDictionaryMode() const override { return wholeDictionary; }
    bool matchCase() const override { return caseMatters; }
    SearchOptions searchOptions() const override { return options; }
    void focusView() override {}
    void showInputError(const QString&) override {}
    void selectHeadword(int index) override { selected = index; }
    int selectedHeadword() const override { return selected; }
    void showDocument(const QByteArray& bytes) override { document = QByteArray(bytes.constData(), bytes.size()); }
    void setStatusText(const QString& text) override { status = text; }
    QString selectedViewText() const override { return QString(); }
};

} // namespace

TEST_F(SearchOptionsTest, TheEngineSearchesUnderTheViewsOptions)
{
    ResultDocument document;
    OptionsView view;
    SearchEngine engine(store, document, view);
    const auto search = [&](const char* utf8) {
        view.combo = QString::fromUtf8(utf8);
        engine.RunSearch();
    };

    view.options.ignoreDiacritics = true;
    search(" tuzitelj ");
    EXPECT_EQ(engine.HitCount(), 2);
    EXPECT_EQ(engine.Hits(), (Hits{0, 1}));
    EXPECT_EQ(view.status, QStringLiteral("Broj pronađenih pojmova: 2 (bez dijakritičkih znakova)"));
    EXPECT_EQ(engine.SearchTerm(), "tuzitelj");           // as typed, trimmed
    EXPECT_EQ(view.history, QStringList{QStringLiteral("tuzitelj")});

    // An accent the code page lacks folds instead of finding nothing.
    search("naïve");
    EXPECT_EQ(engine.Hits(), Hits{12});
    EXPECT_EQ(engine.SearchTerm(), "na?ve");
    view.options = {};
    search("naïve");
    EXPECT_EQ(engine.HitCount(), 0);

    view.options = {};
    view.options.wholeWords = true;
    view.options.legalOnly = true;
    search("suit");
    EXPECT_EQ(engine.Hits(), (Hits{4, 7}));
    EXPECT_EQ(document.Bytes(), QByteArray(ResultDocument::Header.data(), qsizetype(ResultDocument::Header.size()))
                                    + "entry {\\i [Tarvena]}\r\n\\par entry {\\i [Tarvena]} \r\n"
                                    + QByteArray(ResultDocument::Footer.data(), qsizetype(ResultDocument::Footer.size())));

    // Headword mode, as typed and as the command.
    view.wholeDictionary = false;
    view.options = {};
    view.options.ignoreDiacritics = true;
    view.combo = QStringLiteral("djur");
    engine.CBKljucChange();
    EXPECT_EQ(view.selected, 16);
    view.selected = -1;
    search("Cakovec");
    EXPECT_EQ(view.selected, 19);
    EXPECT_EQ(engine.HitCount(), 2);   // headword mode leaves the count alone
}

TEST(SearchOptionsText, SummaryAndTheMarkingPattern)
{
    EXPECT_EQ(SearchOptionsSummary({}), QString());
    EXPECT_EQ(SearchOptionsSummary({true, true, true}), QStringLiteral("bez dijakritike · cijele riječi · pravni"));
    EXPECT_EQ(SearchOptionsSummary({false, true, false}), QStringLiteral("cijele riječi"));

    const struct {
        const char* term;
        bool matchCase;
        SearchOptions options;
        const char* text;
        QStringList marked;
    } cases[] = {
        {"tuzitelj", false, {true, false, false}, "Tužitelj i tuzitelj, TUŽITELJA", {"Tužitelj", "tuzitelj", "TUŽITELJ"}},
        {"tuzitelj", true, {true, false, false}, "Tužitelj i tužitelj", {"tužitelj"}},
        {"medjunarodni", false, {true, false, false}, "međunarodni medunarodni medjunarodni", {"međunarodni", "medunarodni", "medjunarodni"}},
        {"suit", false, {false, true, false}, "suitcase, law suit; Suit. lawsuit", {"suit", "Suit"}},
        {"cafe", false, {true, true, false}, "café cafeteria", {"café"}},
        {"a+b", false, {false, true, false}, "a+b aab", {"a+b"}},
    };
    for (const auto& c : cases) {
        const QRegularExpression expression = MatchExpression(QString::fromUtf8(c.term), c.matchCase, c.options);
        ASSERT_TRUE(expression.isValid()) << c.term;
        QStringList marked;
        for (auto it = expression.globalMatch(QString::fromUtf8(c.text)); it.hasNext();)
            marked << it.next().captured();
        EXPECT_EQ(marked, c.marked) << c.term;
    }
}
