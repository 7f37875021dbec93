// The Croatian-English direction in the window: the switch puts the other
// pair in the list, the searches and the captions, comes back after a
// restart, and a missing or damaged pair leaves the window English-Croatian
// and says why.
#include "GuiTestSupport.h"

#include "Cp1250Text.h"
#include "SearchSettings.h"
#include "uglavni.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Index and entry lines of a small pair (UTF-8 here, code page 1250 on disk).
void WritePair(const WorkingDir& dir, const char* indexName, const char* entryName,
               const std::vector<std::pair<const char*, const char*>>& lines)
{
    std::string index, entries;
    for (const auto& [headword, rest] : lines) {
        const std::string head = cp1250::FromUnicode(QString::fromUtf8(headword)).toStdString();
        index += head + "." + cp1250::FromUnicode(QString::fromUtf8(rest)).toStdString() + "\r\n";
        entries += "\\par {\\b " + head + "} " + rest + " {\\i [Tarvena]} \r\n";
    }
    dir.Write(QString::fromLatin1(indexName), Pack(index));
    dir.Write(QString::fromLatin1(entryName), Pack(entries));
}

class DirectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WritePair(dir, "vokabar2.idx", "vokabar2.dic",
                  {{"court", "sud"}, {"damage", "šteta"}, {"plaintiff", "tužitelj; tužiteljica"}});
    }
    void WriteCroatianPair()
    {
        WritePair(dir, "vokabar2-hr.idx", "vokabar2-hr.dic",
                  {{"sud", "court"}, {"šteta", "damage"}, {"tužitelj", "plaintiff; claimant"},
                   {"tužiteljica", "plaintiff"}});
    }

    // Shown and painted: the window sets up the switch after its first paint.
    void Open()
    {
        window = std::make_unique<TfVokabar>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QTest::qWait(50);
    }

    QString Row(int row) const { return window->WordsList->model()->index(row, 0).data().toString(); }
    QString ButtonText() const
    {
        return static_cast<QToolButton*>(window->ToolBar1->widgetForAction(window->Hrvatskoengleskismjer1))->text();
    }

    WorkingDir dir;
    DialogRecorder dialogs;
    std::unique_ptr<TfVokabar> window;
};

TEST_F(DirectionTest, TheSwitchShowsTheOtherPairEverywhereAndIsRememberedAcrossARestart)
{
    WriteCroatianPair();
    Open();
    struct Step {
        bool croatian;
        int rows;
        const char* firstRow;
        const char* button;
        const char* radio;
        const char* listName;
        const char* typedFinds;   // headword mode: what "tuž" selects ("" none)
        int plaintiffHits;        // whole dictionary: "plaintiff"
    };
    const Step steps[] = {
        {true, 4, "sud", "HR→EN", "Pretraživanje &hrvatskih riječi", "Hrvatski pojmovi", "tužitelj", 2},
        {false, 3, "court", "EN→HR", "Pretraživanje &engleskih riječi", "Engleski pojmovi", "", 1},
        {true, 4, "sud", "HR→EN", "Pretraživanje &hrvatskih riječi", "Hrvatski pojmovi", "tužitelj", 2},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.button);
        window->bSve->setChecked(true);
        window->Hrvatskoengleskismjer1->setChecked(step.croatian);
        EXPECT_EQ(window->CroatianEnglish(), step.croatian);
        EXPECT_EQ(window->WordsList->model()->rowCount(), step.rows);
        EXPECT_EQ(Row(0), QString::fromUtf8(step.firstRow));
        EXPECT_EQ(ButtonText(), QString::fromUtf8(step.button));
        EXPECT_EQ(window->beng->text(), QString::fromUtf8(step.radio));
        EXPECT_EQ(window->WordsList->accessibleName(), QString::fromUtf8(step.listName));

        window->setComboText(QStringLiteral("plaintiff"));
        window->Trai2->trigger();
        EXPECT_EQ(window->StatusPanel0->text(), QStringLiteral("Broj pronađenih pojmova: %1").arg(step.plaintiffHits));

        window->beng->setChecked(true);
        window->setComboText(QStringLiteral("tuž"));
        window->CBKljucChange();
        const int selected = window->selectedHeadword();
        EXPECT_EQ(selected < 0 ? QString() : Row(selected), QString::fromUtf8(step.typedFinds));
    }
    // In headword mode the typed word is looked up again in the new direction.
    window->Hrvatskoengleskismjer1->trigger();
    window->Hrvatskoengleskismjer1->trigger();
    EXPECT_EQ(Row(window->selectedHeadword()), QStringLiteral("tužitelj"));
    EXPECT_TRUE(window->RichEdit1->toPlainText().contains(QStringLiteral("plaintiff; claimant")));

    // The next run opens in the direction this one ended in.
    window->close();
    Open();
    EXPECT_TRUE(window->CroatianEnglish());
    EXPECT_EQ(Row(0), QStringLiteral("sud"));
    EXPECT_TRUE(window->Hrvatskoengleskismjer1->isChecked());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(DirectionTest, InflectedFormsReachTheirHeadwordsInBothDirections)
{
    WritePair(dir, "vokabar2-hr.idx", "vokabar2-hr.dic",
              {{"naknada štete", "damages"}, {"sud", "court"}, {"šteta", "damage"}, {"tužitelj", "plaintiff"},
               {"tužiteljica", "plaintiff"}});
    Open();
    const struct {
        bool croatian;
        const char* typed;
        const char* selects;
        const char* status;
    } steps[] = {
        {false, "courts", "court", "osnovni oblik: court"},
        {false, "damages", "damage", "osnovni oblik: damage"},
        {true, "štetu", "šteta", "osnovni oblik: šteta"},
        {true, "tužitelja", "tužitelj", "osnovni oblik: tužitelj"},
        {true, "naknadu štete", "naknada štete", "osnovni oblik: naknada štete"},
        {true, "tuž", "tužitelj", ""},   // begins a headword: as always
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.typed);
        window->Hrvatskoengleskismjer1->setChecked(step.croatian);
        window->beng->setChecked(true);
        window->setComboText(QString::fromUtf8(step.typed));
        window->CBKljucChange();
        ASSERT_GE(window->selectedHeadword(), 0);
        EXPECT_EQ(Row(window->selectedHeadword()), QString::fromUtf8(step.selects));
        EXPECT_EQ(window->StatusPanel0->text(), QString::fromUtf8(step.status));
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(DirectionTest, AMissingOrDamagedPairKeepsTheWindowEnglishCroatianAndSaysWhy)
{
    struct Case {
        const char* name;
        const char* index;     // nullptr: missing; "": the real pair
        bool enabled;          // the switch after the first paint
        const char* report;    // what switching reports ("" nothing)
    };
    const Case cases[] = {
        {"missing", nullptr, false, ""},
        {"damaged", "no container at all", true, "Datoteka \"vokabar2-hr.idx\" je oštećena ili nepotpuna."},
        {"cut short", "cut", true, "Datoteka \"vokabar2-hr.idx\" je oštećena ili nepotpuna."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.shown.clear();
        QFile::remove(dir.Path(QStringLiteral("vokabar2-hr.idx")));
        QFile::remove(dir.Path(QStringLiteral("vokabar2-hr.dic")));
        if (c.index) {
            WriteCroatianPair();
            if (std::string(c.index) == "cut") {
                std::string many;
                for (int i = 0; i < 3000; ++i)
                    many += "rije\xe8" + std::to_string(i) + ". line " + std::to_string(i * 7919) + "\r\n";
                std::string packed = Pack(many);
                packed.resize(packed.size() - 50);
                dir.Write(QStringLiteral("vokabar2-hr.idx"), packed);
            } else {
                dir.Write(QStringLiteral("vokabar2-hr.idx"), c.index);
            }
        }
        // Even when the last run ended Croatian-English.
        searchsettings::SaveCroatianEnglish(true);
        Open();
        EXPECT_EQ(window->Hrvatskoengleskismjer1->isEnabled(), c.enabled);
        if (!c.enabled) {
            EXPECT_TRUE(window->Hrvatskoengleskismjer1->toolTip().contains(QStringLiteral("vokabar2-hr.idx")));
        }
        window->Hrvatskoengleskismjer1->setChecked(true);   // a disabled action may be set by a program

        EXPECT_FALSE(window->CroatianEnglish());
        EXPECT_FALSE(window->Hrvatskoengleskismjer1->isChecked());
        EXPECT_EQ(Row(0), QStringLiteral("court"));
        EXPECT_EQ(ButtonText(), QStringLiteral("EN→HR"));
        if (*c.report) {
            // Reported once by the restore at the start, once by the switch.
            ASSERT_EQ(dialogs.shown.size(), 2u);
            EXPECT_EQ(dialogs.shown[1].kind, dialogs::Kind::ExceptionReport);
            EXPECT_TRUE(dialogs.shown[1].text.startsWith(QString::fromUtf8(c.report))) << dialogs.shown[1].text.toStdString();
        } else {
            EXPECT_EQ(dialogs.shown.size(), c.enabled ? 0u : 1u);
        }
        window.reset();
    }
}

} // namespace
