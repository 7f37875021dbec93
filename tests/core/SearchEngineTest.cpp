#include "SearchEngine.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

// The window as the engine sees it, recording what the engine does to it.
class FakeView : public SearchView {
public:
    QString combo;
    QStringList history;
    bool wholeDictionary = true;
    bool caseMatters = false;
    int selected = -1;
    QString viewSelection;

    QStringList inputErrors;
    QList<int> selections;
    QList<QByteArray> documents;
    QString status;
    int comboSelectAlls = 0;
    int viewFocuses = 0;

    QString comboText() const override { return combo; }
    void setComboText(const QString& text) override { combo = text; }
    void appendHistory(const QString& term) override { history.append(term); }
    void selectAllComboText() override { ++comboSelectAlls; }
    bool wholeDictionaryMode() const override { return wholeDictionary; }
    bool matchCase() const override { return caseMatters; }
    void focusView() override { ++viewFocuses; }
    void showInputError(const QString& text) override { inputErrors.append(text); }
    void selectHeadword(int index) override { selected = index; selections.append(index); }
    int selectedHeadword() const override { return selected; }
    void showDocument(const QByteArray& document) override { documents.append(QByteArray(document.constData(), document.size())); }
    void setStatusText(const QString& text) override { status = text; }
    QString selectedViewText() const override { return viewSelection; }
};

const std::string kHeader(ResultDocument::Header);
const std::string kFooter(ResultDocument::Footer);

QByteArray Doc(const std::string& body)
{
    return QByteArray::fromStdString(kHeader + body + kFooter);
}

class SearchEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.LoadIndexText("court.sud COURT\r\n"
                            "\x8A" "teta.damage\r\n"
                            "court of appeal.\x9Ateta\r\n"
                            "ako.if\r\n");
        store.LoadEntryText("\\par court entry\r\n\\par steta entry\r\n\\par appeal entry\r\n\\par if\r\n");
    }

    void Search(const QString& text)
    {
        view.combo = text;
        engine.RunSearch();
    }

    DictionaryStore store;
    ResultDocument document;
    FakeView view;
    SearchEngine engine{store, document, view};
};

} // namespace

TEST_F(SearchEngineTest, ShortTermsAreRefusedAfterTrimmingSpacesOnly)
{
    Search(QStringLiteral("  ab  "));
    EXPECT_EQ(view.inputErrors, QStringList{QString::fromUtf8("Pojam mora biti duži od 2 znaka!")});
    EXPECT_EQ(engine.SearchTerm(), "ab");            // kept although refused
    EXPECT_TRUE(view.history.isEmpty());
    EXPECT_TRUE(view.documents.isEmpty());
    EXPECT_EQ(view.viewFocuses, 0);
    EXPECT_EQ(view.comboSelectAlls, 0);

    view.inputErrors.clear();
    Search(QStringLiteral("\tab"));                  // a tab is not trimmed
    EXPECT_TRUE(view.inputErrors.isEmpty());
    EXPECT_EQ(engine.SearchTerm(), "\tab");
}

TEST_F(SearchEngineTest, StopWordsAreRefusedCaseSensitively)
{
    for (const char* term : {"ako", "ili", "oko", "ili oko", "i, ,", " ako "}) {
        view.inputErrors.clear();
        Search(QString::fromLatin1(term));
        EXPECT_EQ(view.inputErrors, QStringList{QString::fromUtf8("Nedopušten pojam!")}) << term;
    }
    EXPECT_TRUE(view.history.isEmpty());
    for (const char* term : {"Ako", "akon", "iliada"}) {
        view.inputErrors.clear();
        Search(QString::fromLatin1(term));
        EXPECT_TRUE(view.inputErrors.isEmpty()) << term;
    }
    // "AKO" passes and, without match case, finds "ako".
    Search(QStringLiteral("AKO"));
    EXPECT_EQ(engine.HitCount(), 1);
    EXPECT_EQ(view.documents.last(), Doc("i\r\n"));
}

TEST_F(SearchEngineTest, WholeDictionarySearchBuildsTheDocumentAndTheStatus)
{
    Search(QStringLiteral(" court "));
    EXPECT_EQ(engine.HitCount(), 2);
    EXPECT_EQ(engine.SearchTerm(), "court");
    ASSERT_EQ(view.documents.size(), 1);
    EXPECT_EQ(view.documents[0], Doc("court entr\r\n\\par appeal entry\r\n"));
    EXPECT_EQ(view.status, QString::fromUtf8("Broj pronađenih pojmova: 2"));
    EXPECT_EQ(view.history, QStringList{QStringLiteral("court")});
    EXPECT_EQ(view.comboSelectAlls, 1);
    EXPECT_EQ(view.viewFocuses, 1);
    EXPECT_EQ(document.Bytes(), view.documents[0]);   // what the print command reads

    Search(QStringLiteral("court"));
    EXPECT_EQ(view.history, (QStringList{QStringLiteral("court"), QStringLiteral("court")}));

    Search(QStringLiteral("nothing"));
    EXPECT_EQ(engine.HitCount(), 0);
    EXPECT_EQ(view.documents.last(), Doc(""));
    EXPECT_EQ(view.status, QString::fromUtf8("Broj pronađenih pojmova: 0"));
}

TEST_F(SearchEngineTest, MatchCaseAndTheFoldingOfEveryLetter)
{
    Search(QString::fromUtf8("ŠTETA"));
    EXPECT_EQ(engine.HitCount(), 2);                    // Šteta and šteta
    view.caseMatters = true;
    Search(QString::fromUtf8("ŠTETA"));
    EXPECT_EQ(engine.HitCount(), 0);
    Search(QString::fromUtf8("šteta"));
    EXPECT_EQ(engine.HitCount(), 1);
    EXPECT_EQ(view.documents.last(), Doc("appeal entr\r\n"));
    Search(QStringLiteral("COURT"));
    EXPECT_EQ(engine.HitCount(), 1);
    // A character outside the code page finds nothing.
    view.caseMatters = false;
    Search(QString::fromUtf8("cou€rt"));
    Search(QString::fromUtf8("co→rt"));
    EXPECT_EQ(engine.HitCount(), 0);
}

TEST_F(SearchEngineTest, HeadwordModeSearchSelectsAndShowsButKeepsTheCount)
{
    Search(QStringLiteral("court"));
    ASSERT_EQ(engine.HitCount(), 2);
    const QString status = view.status;

    view.wholeDictionary = false;
    Search(QString::fromUtf8("šte"));
    EXPECT_EQ(view.selected, 1);
    EXPECT_EQ(view.documents.last(), Doc("steta entr\r\n"));
    EXPECT_EQ(engine.SearchTerm(), "\x9Ate");
    EXPECT_EQ(engine.HitCount(), 2);
    EXPECT_EQ(view.status, status);
    EXPECT_EQ(view.history.last(), QString::fromUtf8("šte"));
    EXPECT_EQ(view.viewFocuses, 2);

    // The headword search takes the text untrimmed: "court " is only a
    // prefix of "court of appeal".
    Search(QStringLiteral("court "));
    EXPECT_EQ(view.selected, 2);
    EXPECT_EQ(engine.SearchTerm(), "court");
    // No match: the selection stays.
    const int shown = view.documents.size();
    Search(QStringLiteral("zzz"));
    EXPECT_EQ(view.selected, 2);
    EXPECT_EQ(view.documents.size(), shown);
}

TEST_F(SearchEngineTest, TypingInHeadwordModeShowsTheSelectedEntry)
{
    view.combo = QStringLiteral("co");
    engine.CBKljucChange();                       // whole-dictionary mode: nothing
    EXPECT_TRUE(view.selections.isEmpty());
    EXPECT_TRUE(view.documents.isEmpty());

    view.wholeDictionary = false;
    view.combo = QStringLiteral("c");             // no validation while typing
    engine.CBKljucChange();
    EXPECT_EQ(view.selected, 0);
    EXPECT_EQ(view.documents.last(), Doc("court entr\r\n"));

    view.combo = QStringLiteral("cz");            // no match: the old selection is shown again
    engine.CBKljucChange();
    EXPECT_EQ(view.selected, 0);
    EXPECT_EQ(view.documents.size(), 2);
    EXPECT_EQ(view.documents.last(), Doc("court entr\r\n"));

    view.caseMatters = true;
    view.combo = QString::fromUtf8("Š");
    engine.CBKljucChange();
    EXPECT_EQ(view.selected, 1);

    FakeView fresh;
    fresh.wholeDictionary = false;
    fresh.combo = QStringLiteral("zz");
    SearchEngine other(store, document, fresh);
    other.CBKljucChange();                        // nothing selected: nothing shown
    EXPECT_TRUE(fresh.documents.isEmpty());
    EXPECT_TRUE(engine.SearchTerm().isEmpty());
    EXPECT_TRUE(view.history.isEmpty());
    EXPECT_TRUE(view.status.isEmpty());
}

TEST_F(SearchEngineTest, PopupSearchTakesTheViewSelection)
{
    engine.Trai1Click();
    EXPECT_EQ(view.inputErrors, QStringList{QString::fromUtf8("Pojam mora biti duži od 2 znaka!")});
    view.viewSelection = QStringLiteral("appeal");
    engine.Trai1Click();
    EXPECT_EQ(view.combo, QStringLiteral("appeal"));
    EXPECT_EQ(engine.HitCount(), 1);
    EXPECT_EQ(view.history, QStringList{QStringLiteral("appeal")});
}

TEST_F(SearchEngineTest, ShowEntryReplacesTheDocumentOnly)
{
    Search(QStringLiteral("court"));
    const QString status = view.status;
    const int shown = view.documents.size();
    engine.ShowEntry(-1);
    EXPECT_EQ(view.documents.size(), shown);
    engine.ShowEntry(3);
    EXPECT_EQ(view.documents.last(), Doc("i\r\n"));
    EXPECT_EQ(document.Bytes(), Doc("i\r\n"));
    EXPECT_EQ(engine.HitCount(), 2);
    EXPECT_EQ(view.status, status);
}

TEST_F(SearchEngineTest, MissingEntryLineStopsTheSearchWhereItFails)
{
    store.LoadEntryText("\\par court entry\r\n\\par steta entry\r\n");   // two lines short
    Search(QStringLiteral("ako"));     // refused: a stop word, nothing happens
    view.status = QStringLiteral("earlier");
    view.caseMatters = false;
    view.combo = QString::fromUtf8("šteta");
    try {
        engine.RunSearch();
        FAIL() << "no error";
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (2)");
    }
    EXPECT_EQ(engine.HitCount(), 2);       // the value reached
    EXPECT_TRUE(view.documents.isEmpty()); // the view keeps its content
    EXPECT_EQ(view.status, QStringLiteral("earlier"));
    EXPECT_TRUE(view.history.isEmpty());

    EXPECT_THROW(engine.ShowEntry(3), EListError);
    EXPECT_TRUE(view.documents.isEmpty());
}

TEST(SearchEngineCodePage, TermsWithCharactersOutsideTheCodePageFindNothing)
{
    // Such a character would otherwise become '?', which finds any question
    // mark; the term cannot occur in the dictionary, so it finds nothing.
    DictionaryStore store;
    store.LoadIndexText("How are you.How are you? Kako ste?\r\n"
                        "court.sud\r\n"
                        "???.nepoznato\r\n");
    store.LoadEntryText("\\par how\r\n\\par court\r\n\\par unknown\r\n");
    ResultDocument document;
    const struct {
        const char* term;     // UTF-8
        int wholeHits;        // whole-dictionary search
        int headword;         // headword mode, typed or searched: the position, or -1
    } cases[] = {
        {"are you\xF0\x9F\x98\x80", 0, -1},   // an emoji
        {"\xD1\x81\xD1\x83\xD0\xB4", 0, -1},  // "суд", Cyrillic typed by mistake
        {"\xF0\x9F\x98\x80??", 0, -1},
        {"are you?", 1, -1},                  // a real question mark still finds one
        {"???", 1, 2},
    };
    for (const auto& c : cases) {
        const QString term = QString::fromUtf8(c.term);
        SCOPED_TRACE(c.term);
        FakeView view;
        SearchEngine engine(store, document, view);
        view.combo = term;
        engine.RunSearch();
        EXPECT_TRUE(view.inputErrors.isEmpty());
        EXPECT_EQ(engine.HitCount(), c.wholeHits);
        EXPECT_EQ(view.status, QString::fromUtf8("Broj pronađenih pojmova: ") + QString::number(c.wholeHits));
        ASSERT_EQ(view.documents.size(), 1);
        if (c.wholeHits == 0) {
            EXPECT_EQ(view.documents[0], Doc(""));
        }

        view.wholeDictionary = false;
        engine.RunSearch();
        EXPECT_EQ(view.selected, c.headword);
        engine.CBKljucChange();
        EXPECT_EQ(view.selected, c.headword);
        EXPECT_EQ(view.selections.size(), c.headword < 0 ? 0 : 2);
    }
}
