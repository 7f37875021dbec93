// The search options and the search history in the window: the actions in
// the search menu and the popup, what they do to the results, the status
// bar, and what survives a restart (settings in the temporary directory the
// test main sets up).
#include "GuiTestSupport.h"

#include "Cp1250Text.h"
#include "SearchSettings.h"
#include "uglavni.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kInitialText = QStringLiteral("Upišite pojam koji želite pronaći");

std::string Cp(const char* utf8)
{
    return cp1250::FromUnicode(QString::fromUtf8(utf8)).toStdString();
}

class SearchOptionsWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // FreeDict's court before the glossary's, so headword mode must skip it.
        const struct { const char* headword; const char* text; bool legal; } lines[] = {
            {"accuser", "tužitelj", true},
            {"court", "igralište, sud", false},
            {"court", "sud", true},
            {"suitcase", "kovčeg", false},
            {"suit", "tužba", true},
        };
        std::string index, entries;
        for (const auto& line : lines) {
            index += Cp(line.headword) + "." + Cp(line.text) + "\r\n";
            entries += "\\par {\\b " + std::string(line.headword) + "} " + Cp(line.text) + " {\\i ["
                + (line.legal ? "Tarvena" : "FreeDict") + "]} \r\n";
        }
        dir.WriteData(index, entries);
        Open();
    }

    void Open()
    {
        window = std::make_unique<TfVokabar>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void Restart()
    {
        window->close();
        Open();
    }

    void Search(const QString& term)
    {
        window->CBKljuc->lineEdit()->setText(term);
        window->Trai2->trigger();
    }

    QString Status() const { return window->StatusPanel0->text(); }
    QString Options() const { return window->StatusPanel2->text(); }
    QString ViewText() const { return window->RichEdit1->toPlainText(); }
    QStringList History() const
    {
        QStringList items;
        for (int i = 0; i < window->CBKljuc->count(); ++i)
            items << window->CBKljuc->itemText(i);
        return items;
    }
    static QString SettingsFile()
    {
        return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
            + QStringLiteral("/Tarvena/Tarvena.conf");
    }

    WorkingDir dir;
    DialogRecorder dialogs;
    std::unique_ptr<TfVokabar> window;
};

TEST_F(SearchOptionsWindowTest, OptionsShapeTheSearchAndNameThemselvesInTheStatusBar)
{
    QAction* diacritics = window->Zanemaridijakritikeznakove1;
    QAction* words = window->Samocijeleriei1;
    QAction* legal = window->Samopravnipojmovi1;
    // One action each, in the search menu and in the popup alike.
    for (QAction* option : {diacritics, words, legal}) {
        EXPECT_TRUE(option->isCheckable());
        EXPECT_FALSE(option->isChecked());
        EXPECT_TRUE(window->Trai3->actions().contains(option));
        EXPECT_TRUE(window->PopupMenu1->actions().contains(option));
    }
    EXPECT_TRUE(Options().isEmpty());

    Search(QStringLiteral("tuzitelj"));
    EXPECT_EQ(Status(), QStringLiteral("Broj pronađenih pojmova: 0"));
    diacritics->trigger();
    EXPECT_EQ(Options(), QStringLiteral("bez dijakritike"));
    Search(QStringLiteral("tuzitelj"));
    EXPECT_EQ(Status(), QStringLiteral("Broj pronađenih pojmova: 1 (bez dijakritičkih znakova)"));
    EXPECT_TRUE(ViewText().contains(QStringLiteral("tužitelj")));
    // The term is marked in the form the search found it.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->RichEdit1->extraSelections().isEmpty(); }, 1000));
    EXPECT_EQ(window->RichEdit1->extraSelections().first().cursor.selectedText(), QStringLiteral("tužitelj"));

    Search(QStringLiteral("suit"));
    EXPECT_EQ(Status(), QStringLiteral("Broj pronađenih pojmova: 2 (bez dijakritičkih znakova)"));
    words->trigger();
    Search(QStringLiteral("suit"));
    EXPECT_EQ(Status(), QStringLiteral("Broj pronađenih pojmova: 1 (bez dijakritičkih znakova, samo cijele riječi)"));
    EXPECT_FALSE(ViewText().contains(QStringLiteral("suitcase")));

    Search(QStringLiteral("court"));
    EXPECT_EQ(Status(), QStringLiteral("Broj pronađenih pojmova: 2 (bez dijakritičkih znakova, samo cijele riječi)"));
    legal->trigger();
    EXPECT_EQ(Options(), QStringLiteral("bez dijakritike · cijele riječi · pravni"));
    Search(QStringLiteral("court"));
    EXPECT_EQ(Status(), QStringLiteral("Broj pronađenih pojmova: 1 (bez dijakritičkih znakova, samo cijele riječi, samo pravni pojmovi)"));
    EXPECT_FALSE(ViewText().contains(QStringLiteral("igralište")));
    // What the print command prints is what the view shows.
    EXPECT_FALSE(window->Document().Bytes().contains("FreeDict"));

    // Headword mode skips the headwords the glossary lacks.
    window->beng->click();
    window->CBKljuc->lineEdit()->clear();
    QTest::keyClicks(window->CBKljuc, QStringLiteral("cour"));
    EXPECT_EQ(window->selectedHeadword(), 2);

    diacritics->trigger();
    words->trigger();
    legal->trigger();
    EXPECT_TRUE(Options().isEmpty());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(SearchOptionsWindowTest, OptionsAndHistorySurviveARestart)
{
    window->Zanemaridijakritikeznakove1->trigger();
    window->Samopravnipojmovi1->trigger();
    for (const char* term : {"court", "tuzitelj", "court"})
        Search(QString::fromUtf8(term));
    Restart();

    EXPECT_TRUE(window->Zanemaridijakritikeznakove1->isChecked());
    EXPECT_FALSE(window->Samocijeleriei1->isChecked());
    EXPECT_TRUE(window->Samopravnipojmovi1->isChecked());
    EXPECT_EQ(Options(), QStringLiteral("bez dijakritike · pravni"));
    EXPECT_EQ(History(), (QStringList{"court", "tuzitelj", "court"}));
    // The edit field starts as it always did.
    EXPECT_EQ(window->CBKljuc->lineEdit()->text(), kInitialText);
    EXPECT_EQ(window->CBKljuc->lineEdit()->selectedText(), kInitialText);
    Search(QStringLiteral("court"));
    EXPECT_EQ(Status(), QStringLiteral("Broj pronađenih pojmova: 1 (bez dijakritičkih znakova, samo pravni pojmovi)"));

    // Clearing the history keeps what is being typed, and lasts.
    window->CBKljuc->lineEdit()->setText(QStringLiteral("half typed"));
    // It asks first: declined, nothing goes.
    bool answer = false;
    int asked = 0;
    const dialogs::Answerer previous = dialogs::SetAnswerer([&](const dialogs::Message& message) {
        asked += message.kind == dialogs::Kind::ClearHistory;
        return answer;
    });
    window->Obriipovijesttraenja1->trigger();
    EXPECT_EQ(History().size(), 4);
    answer = true;
    window->Obriipovijesttraenja1->trigger();
    dialogs::SetAnswerer(previous);
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(History().isEmpty());
    EXPECT_EQ(window->CBKljuc->lineEdit()->text(), QStringLiteral("half typed"));
    EXPECT_EQ(window->Ureivanje1->actions().last(), window->Obriipovijesttraenja1);
    Restart();
    EXPECT_TRUE(History().isEmpty());

    // At most the last 100 terms are kept.
    for (int i = 0; i < 130; ++i)
        window->appendHistory(QStringLiteral("term%1").arg(i));
    Restart();
    ASSERT_EQ(History().size(), searchsettings::HistoryLimit);
    EXPECT_EQ(History().first(), QStringLiteral("term30"));
    EXPECT_EQ(History().last(), QStringLiteral("term129"));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(SearchOptionsWindowTest, HistoryIsKeptAsTermsJoinItAndMergesWithAnotherInstance)
{
    const auto onDisk = [] {
        return QSettings(SettingsFile(), QSettings::IniFormat).value(QStringLiteral("search/history")).toStringList();
    };
    Search(QStringLiteral("court"));
    Search(QStringLiteral("suit"));
    // Written already: a program killed now loses nothing.
    EXPECT_EQ(onDisk(), (QStringList{"court", "suit"}));

    // Another instance, started before, adds a term and switches an option.
    {
        QSettings other(SettingsFile(), QSettings::IniFormat);
        other.setValue(QStringLiteral("search/history"), onDisk() << QStringLiteral("accuser"));
        other.setValue(QStringLiteral("search/legalOnly"), true);
    }
    Search(QStringLiteral("tuzitelj"));
    window->Samocijeleriei1->trigger();
    Restart();
    EXPECT_EQ(History(), (QStringList{"court", "suit", "accuser", "tuzitelj"}));
    EXPECT_TRUE(window->Samocijeleriei1->isChecked());
    EXPECT_TRUE(window->Samopravnipojmovi1->isChecked());
    EXPECT_FALSE(window->Zanemaridijakritikeznakove1->isChecked());
}

TEST_F(SearchOptionsWindowTest, AllFormsFindsAndMarksInflectedFormsAndHeadwordModeUsesBaseForms)
{
    // With the installed Hunspell dictionaries, as the program runs.
    std::string index, entries;
    for (const char* line : {"compensation for damage.naknada štete", "court.sud", "courts.sudovi",
                             "liability.odgovornost", "to claim damages.zahtijevati naknadu štete"}) {
        index += Cp(line) + "\r\n";
        entries += "\\par " + Cp(line) + " {\\i [Tarvena]} \r\n";
    }
    dir.WriteData(index, entries);
    Restart();
    QAction* allForms = window->Svioblicirijei1;
    EXPECT_TRUE(allForms->isCheckable());
    EXPECT_TRUE(window->Trai3->actions().contains(allForms));
    EXPECT_TRUE(window->PopupMenu1->actions().contains(allForms));

    const struct {
        bool on;
        const char* term;
        const char* status;
    } searches[] = {
        {false, "naknadu štete", "Broj pronađenih pojmova: 1"},
        {true, "naknadu štete", "Broj pronađenih pojmova: 2"},
        {true, "naknada štete", "Broj pronađenih pojmova: 2"},
        {true, "courts", "Broj pronađenih pojmova: 2"},
        {true, "liabilities", "Broj pronađenih pojmova: 1"},
        {false, "liabilities", "Broj pronađenih pojmova: 0"},
    };
    for (const auto& search : searches) {
        if (allForms->isChecked() != search.on)
            allForms->trigger();
        EXPECT_EQ(Options(), search.on ? QStringLiteral("svi oblici") : QString());
        Search(QString::fromUtf8(search.term));
        // With the option on, the count names it.
        EXPECT_EQ(Status(), QString::fromUtf8(search.status)
                                + (search.on ? QStringLiteral(" (svi oblici riječi)") : QString()))
            << search.term;
    }

    // The view marks the forms found, and only them.
    allForms->setChecked(true);
    Search(QStringLiteral("naknada štete"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->RichEdit1->extraSelections().size() == 2; }, 1000));
    QStringList marked;
    for (const QTextEdit::ExtraSelection& mark : window->RichEdit1->extraSelections())
        marked << mark.cursor.selectedText();
    EXPECT_EQ(marked, (QStringList{"naknada štete", "naknadu štete"}));

    // Headword mode: a text no headword begins with goes to its base form.
    window->beng->click();
    const struct {
        const char* typed;
        int selected;
        const char* status;
    } keys[] = {{"liabilities", 3, "osnovni oblik: liability"}, {"cour", 1, ""}};
    for (const auto& key : keys) {
        window->CBKljuc->lineEdit()->clear();
        QTest::keyClicks(window->CBKljuc, QString::fromUtf8(key.typed));
        EXPECT_EQ(window->selectedHeadword(), key.selected) << key.typed;
        EXPECT_EQ(Status(), QString::fromUtf8(key.status)) << key.typed;
    }

    Restart();
    EXPECT_TRUE(window->Svioblicirijei1->isChecked());
    EXPECT_EQ(Options(), QStringLiteral("svi oblici"));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(SearchOptionsWindowTest, ADamagedOrUnreadableSettingsFileIsIgnored)
{
    window->Samocijeleriei1->trigger();
    Search(QStringLiteral("court"));
    window->close();
    window.reset();

    const QString file = SettingsFile();
    ASSERT_TRUE(QFileInfo(file).isFile());
    const std::string damaged[] = {
        std::string("\x00\xff\xfe garbage [[[ \x01\x02\n=\n\n", 22),
        "[search]\nhistory=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\xff)\nwholeWords=yes\nignoreDiacritics=1x\n",
    };
    for (const std::string& bytes : damaged) {
        WriteBytes(file, bytes);
        Open();
        EXPECT_FALSE(window->Samocijeleriei1->isChecked());
        EXPECT_FALSE(window->Zanemaridijakritikeznakove1->isChecked());
        EXPECT_FALSE(window->Samopravnipojmovi1->isChecked());
        for (const QString& term : History())
            EXPECT_FALSE(term.isEmpty());
        Search(QStringLiteral("court"));
        EXPECT_EQ(Status(), QStringLiteral("Broj pronađenih pojmova: 2"));
        window.reset();
    }

    // A directory where the file should be: nothing can be read or written.
    QFile::remove(file);
    ASSERT_TRUE(QDir().mkpath(file));
    Open();
    EXPECT_TRUE(History().isEmpty());
    EXPECT_FALSE(window->Samocijeleriei1->isChecked());
    // The user learns why nothing will last, in the status bar only.
    EXPECT_TRUE(window->StatusBar1->currentMessage().startsWith(QStringLiteral("Postavke se ne spremaju: ")))
        << window->StatusBar1->currentMessage().toStdString();
    window->Samocijeleriei1->trigger();
    Search(QStringLiteral("court"));
    window->close();
    EXPECT_TRUE(QFileInfo(file).isDir());
    EXPECT_TRUE(dialogs.shown.empty());
}

} // namespace
