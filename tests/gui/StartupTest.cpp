// The start-up: the two data-file checks in order, the splash, the forms,
// and exit code 0 in every outcome; in process and as the built program.
#include "ProbeEnvironment.h"
#include "GuiTestSupport.h"

#include "Application.h"
#include "Forms.h"
#include "HelpAccess.h"
#include "HelpViewer.h"
#include "Startup.h"
#include "uabout.h"
#include "uglavni.h"

#include <QAction>
#include "ureport.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QTest>
#include <QListView>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <ctime>

namespace {

const QString kIdxMissing = QStringLiteral("Nedostaje datoteka \"vokabar2.idx\"\r\nReinstalirajte program");
const QString kDicMissing = QStringLiteral("Nedostaje datoteka \"vokabar2.dic\"\r\nReinstalirajte program");

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override { fVokabar = nullptr; }

    int Run()
    {
        StartupHooks hooks;
        hooks.missingFile = [this](const QString& text) { missing << text; };
        hooks.run = [this](TfVokabar& window) { ran = &window; };
        return RunVokabar(*qApp, hooks);
    }

    WorkingDir dir;
    SampleDictionary sample;
    DialogRecorder dialogs;
    QStringList missing;
    TfVokabar* ran = nullptr;
};

TEST_F(StartupTest, WithoutTheIndexOnlyItsMessageIsShownAndNothingIsCreated)
{
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(missing, QStringList{kIdxMissing});
    EXPECT_EQ(ran, nullptr);
    EXPECT_EQ(fVokabar, nullptr);
    EXPECT_EQ(QApplication::applicationName(), QStringLiteral("Tarvena ver. 2.0"));
}

TEST_F(StartupTest, WithTheIndexButNoEntriesOnlyTheEntryFileIsNamed)
{
    dir.Write("vokabar2.idx", Pack(sample.index));
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(missing, QStringList{kDicMissing});
    EXPECT_EQ(ran, nullptr);
}

TEST_F(StartupTest, WithBothFilesTheFormsExistAndTheSplashIsGone)
{
    dir.WriteData(sample.index, sample.entries);
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(missing.isEmpty());
    ASSERT_NE(ran, nullptr);
    EXPECT_EQ(ran, fVokabar);
    EXPECT_FALSE(ran->isVisible());   // the loop shows it
    EXPECT_EQ(ran->WordsList->model()->rowCount(), sample.Count());
    ASSERT_NE(AboutBox, nullptr);
    EXPECT_FALSE(AboutBox->isVisible());
    EXPECT_FALSE(AboutBox->OKButton->isVisible());
    ASSERT_NE(QRRezultatPretrage, nullptr);
    EXPECT_FALSE(QRRezultatPretrage->isVisible());
    EXPECT_TRUE(dialogs.shown.empty());
    // Every window carries the emblem the build rendered, from 16 to 256
    // pixels, and the desktop knows the program by its menu entry's name.
    const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(256, 256)));
    EXPECT_EQ(ran->windowIcon().pixmap(48).toImage(), QApplication::windowIcon().pixmap(48).toImage());
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("hr.tarvena.Tarvena"));
}

TEST_F(StartupTest, TheAboutAndHelpCommandsOpenTheProgramsOwnWindows)
{
    dir.WriteData(sample.index, sample.entries);
    ASSERT_EQ(Run(), 0);
    ASSERT_NE(ran, nullptr);
    ran->show();

    ran->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(ran));

    // The About command shows the splash's own instance, now with its OK
    // button, modally and in front of the main window; the button ends it.
    bool shownWithButton = false;
    bool inFront = false;
    QTimer::singleShot(50, [&] {
        shownWithButton = AboutBox->isVisible() && AboutBox->OKButton->isVisible() && AboutBox->isModal();
        inFront = QApplication::activeWindow() == AboutBox;
        AboutBox->OKButton->click();
    });
    ran->Oprogramu1->trigger();
    EXPECT_TRUE(shownWithButton);
    EXPECT_TRUE(inFront);
    EXPECT_FALSE(AboutBox->isVisible());

    // The help: one window, not modal, from the tool bar and the menu alike;
    // asked for again from the main window, it comes to the front.
    ran->Uputezaradsprogramom1->trigger();
    THelpViewer* help = CurrentHelpViewer();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    ran->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(ran));
    ran->Uputezaradsprogramom1->trigger();
    EXPECT_EQ(CurrentHelpViewer(), help);
    EXPECT_TRUE(QTest::qWaitForWindowActive(help));
    help->close();
    ran->close();
}

TEST_F(StartupTest, TheSplashIsOnScreenWhileTheDictionaryLoads)
{
    // A damaged entry file is reported in the middle of the loading: the
    // splash must be showing then.
    dir.Write("vokabar2.idx", Pack(sample.index));
    dir.Write("vokabar2.dic", Pack(sample.entries).substr(0, 12));
    bool splashDuringLoad = false;
    dialogs::SetPresenter([&](const dialogs::Message&) {
        splashDuringLoad = AboutBox != nullptr && AboutBox->isVisible();
    });
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(splashDuringLoad);
    ASSERT_NE(ran, nullptr);
    EXPECT_FALSE(AboutBox->isVisible());
}

// The built program, with the probe preloaded to answer its dialogs.
class ProgramTest : public ::testing::Test {
protected:
    int Start()
    {
        QProcess program;
        program.setWorkingDirectory(dir.Path("."));
        const QProcessEnvironment env = ProbeEnvironment(TARVENA_PROBE);
        program.setProcessEnvironment(env);
        program.start(TARVENA_PROGRAM, {});
        EXPECT_TRUE(program.waitForFinished(30000));
        const QStringList lines = QString::fromUtf8(program.readAllStandardError()).split('\n');
        for (const QString& line : lines)
            if (line.startsWith("PROBE "))
                probe << line;
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        return program.exitCode();
    }

    QStringList Lines(const QString& kind) const { return probe.filter(QRegularExpression("^PROBE " + kind + " ")); }

    WorkingDir dir;
    QStringList probe;
};

TEST_F(ProgramTest, AnEmptyWorkingDirectoryShowsOneErrorDialogAndExitsWithZero)
{
    EXPECT_EQ(Start(), 0);
    // icon 3 is the error (stop) icon.
    EXPECT_EQ(Lines("DIALOG"), QStringList{"PROBE DIALOG icon=3 caption=Error buttons=OK "
                                           "text=Nedostaje datoteka \"vokabar2.idx\"\\nReinstalirajte program"});
    EXPECT_TRUE(Lines("MAIN").isEmpty());
    EXPECT_TRUE(Lines("SPLASH").isEmpty());
}

TEST_F(ProgramTest, AMissingEntryFileIsNamed)
{
    dir.Write("vokabar2.idx", Pack(SampleDictionary().index));
    EXPECT_EQ(Start(), 0);
    EXPECT_EQ(Lines("DIALOG"), QStringList{"PROBE DIALOG icon=3 caption=Error buttons=OK "
                                           "text=Nedostaje datoteka \"vokabar2.dic\"\\nReinstalirajte program"});
}

TEST_F(ProgramTest, WithItsDataTheSplashComesFirstAndClosingTheWindowEndsWithZero)
{
    const SampleDictionary sample;
    dir.WriteData(sample.index, sample.entries);
    EXPECT_EQ(Start(), 0);
    EXPECT_TRUE(Lines("DIALOG").isEmpty());
    ASSERT_EQ(Lines("SPLASH").size(), 1);
    ASSERT_EQ(Lines("MAIN").size(), 1);
    const double splash = Lines("SPLASH")[0].section(' ', 2, 2).toDouble();
    const double main = Lines("MAIN")[0].section(' ', 2, 2).toDouble();
    EXPECT_LT(splash, main);
    EXPECT_TRUE(Lines("MAIN")[0].contains(QStringLiteral("splash=0")));
    EXPECT_TRUE(Lines("MAIN")[0].contains(QStringLiteral("rows=%1").arg(sample.Count())));
}

TEST_F(ProgramTest, ADamagedDataFileIsReportedWithTheApplicationTitleAndTheProgramRuns)
{
    const SampleDictionary sample;
    dir.Write("vokabar2.idx", "not a container");
    dir.Write("vokabar2.dic", Pack(sample.entries));
    EXPECT_EQ(Start(), 0);
    const QStringList shown = Lines("DIALOG");
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith("PROBE DIALOG icon=3 caption=Tarvena ver. 2.0 buttons=OK text="));
    EXPECT_TRUE(shown[0].contains("vokabar2.idx"));
    ASSERT_EQ(Lines("MAIN").size(), 1);
    EXPECT_TRUE(Lines("MAIN")[0].contains(QStringLiteral("rows=0")));
}

} // namespace

// The save dialog is Qt's own: with Qt's Croatian translations loaded its
// buttons and labels read in Croatian, not "Save", "Cancel", "File name".
TEST(QtDialogs, TheSaveDialogSpeaksCroatian)
{
    auto* app = static_cast<TApplication*>(QCoreApplication::instance());
    ASSERT_TRUE(app->QtTranslated()) << "qtbase_hr.qm not found (qt6-translations-l10n)";
    QFileDialog dialog(nullptr, QStringLiteral("Spremi kao PDF"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList texts;
    for (const QAbstractButton* button : dialog.findChildren<QDialogButtonBox*>().value(0)->buttons())
        texts << button->text().remove(u'&');
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        texts << label->text().remove(u'&');
    const QString all = texts.join(u'|');
    for (const char* english : {"Save", "Cancel", "File name:", "Look in:"})
        EXPECT_FALSE(texts.contains(QString::fromLatin1(english))) << all.toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Spremi")) && texts.contains(QStringLiteral("Odustani")))
        << all.toStdString();
}
