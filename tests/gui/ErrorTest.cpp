// Errors: one guard around every handler, one report box, and the program
// goes on; damaged and unreadable data files at start.
#include "GuiTestSupport.h"

#include "ErrorGuard.h"
#include "uglavni.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace {

const QString kTitle = QStringLiteral("Tarvena ver. 2.0");

TEST(ExceptionReport, AppendsAFullStopOnlyAfterCharactersThatSortAfterIt)
{
    EXPECT_EQ(dialogs::WithFullStop(QStringLiteral("Cannot open file x")), QStringLiteral("Cannot open file x."));
    EXPECT_EQ(dialogs::WithFullStop(QStringLiteral("List index out of bounds (3)")),
              QStringLiteral("List index out of bounds (3)"));   // ")" sorts before "."
    EXPECT_EQ(dialogs::WithFullStop(QStringLiteral("Done.")), QStringLiteral("Done."));
    EXPECT_EQ(dialogs::WithFullStop(QStringLiteral("Stop!")), QStringLiteral("Stop!"));
    EXPECT_EQ(dialogs::WithFullStop(QStringLiteral("size 5")), QStringLiteral("size 5."));
    EXPECT_EQ(dialogs::WithFullStop(QStringLiteral("Šteta")), QStringLiteral("Šteta."));
    EXPECT_EQ(dialogs::WithFullStop(QString()), QString());
}

TEST(ErrorGuard, ReportsEveryKindOfErrorOnceAndGoesOn)
{
    DialogRecorder dialogs;
    errorguard::Run([] { throw Exception("Failed to Load Stream"); });
    errorguard::Run([] { throw std::runtime_error("bad \x9a" "teta"); });   // code page 1250 bytes
    errorguard::Run([] { throw 42; });
    bool ran = false;
    errorguard::Run([&] { ran = true; });
    EXPECT_TRUE(ran);
    ASSERT_EQ(dialogs.shown.size(), 3u);
    for (const dialogs::Message& shown : dialogs.shown) {
        EXPECT_EQ(shown.kind, dialogs::Kind::ExceptionReport);
        EXPECT_EQ(shown.caption, kTitle);
    }
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Failed to Load Stream."));
    EXPECT_EQ(dialogs.shown[1].text, QStringLiteral("bad šteta."));
    EXPECT_FALSE(dialogs.shown[2].text.isEmpty());
}

// An object whose event handler fails, as any widget's might.
class Failing : public QObject {
protected:
    bool event(QEvent*) override { throw Exception("Out of memory while expanding memory stream"); }
};

TEST(ErrorGuard, TheApplicationStopsErrorsOfAnyEventAtTheLoop)
{
    DialogRecorder dialogs;
    Failing failing;
    QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Out of memory while expanding memory stream."));
}

class DataErrorTest : public ::testing::Test {
protected:
    WorkingDir dir;
    SampleDictionary sample;
    DialogRecorder dialogs;
};

TEST_F(DataErrorTest, ADamagedIndexIsReportedAndTheWindowOpensWithWhatUnpacked)
{
    // Many lines so that the damage leaves a part whole: the container is cut
    // in its second block.
    std::string index;
    std::string entries;
    for (int i = 0; i < 3000; ++i) {
        index += "word" + std::to_string(i) + ". text of line number " + std::to_string(i * 7919) + "\r\n";
        entries += "\\par entry " + std::to_string(i) + ".\r\n";
    }
    std::string packed = Pack(index);
    packed.resize(packed.size() - 50);
    dir.Write("vokabar2.idx", packed);
    dir.Write("vokabar2.dic", Pack(entries));

    TfVokabar window;
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, dialogs::Kind::ExceptionReport);
    EXPECT_EQ(dialogs.shown[0].caption, kTitle);
    EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("vokabar2.idx")));
    const int rows = window.WordsList->model()->rowCount();
    EXPECT_GT(rows, 0);
    EXPECT_LT(rows, 3000);
    EXPECT_EQ(window.WordsList->model()->index(0, 0).data().toString(), QStringLiteral("word0"));

    // The program goes on: a search works on what loaded.
    window.setComboText(QStringLiteral("word1"));
    window.BPojamSearchClick();
    EXPECT_TRUE(window.StatusPanel0->text().startsWith(QStringLiteral("Broj pronađenih pojmova: ")));
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST_F(DataErrorTest, NotAContainerAtAllGivesAnEmptyListAndOneReport)
{
    dir.Write("vokabar2.idx", "this is no container");
    dir.Write("vokabar2.dic", Pack(sample.entries));
    TfVokabar window;
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(window.WordsList->model()->rowCount(), 0);
}

TEST_F(DataErrorTest, AnUnreadableEntryFileKeepsTheHeadwordsAndEveryEntryErrorIsReported)
{
    dir.Write("vokabar2.idx", Pack(sample.index));
    // A directory exists under the name but cannot be read as a file.
    QDir(dir.Path(".")).mkdir("vokabar2.dic");

    TfVokabar window;
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, dialogs::Kind::ExceptionReport);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Cannot open file vokabar2.dic."));
    EXPECT_EQ(window.WordsList->model()->rowCount(), sample.Count());

    // Showing an entry that is not there is reported; the view keeps its
    // content and the window goes on.
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QRect row = window.WordsList->visualRect(window.WordsList->model()->index(2, 0));
    QTest::mouseClick(window.WordsList->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].text, QStringLiteral("List index out of bounds (2)"));
    EXPECT_TRUE(window.RichEdit1->toPlainText().isEmpty());

    // A whole-dictionary search stops at its first hit the same way.
    window.setComboText(QStringLiteral("court"));
    window.BPojamSearch->click();
    ASSERT_EQ(dialogs.shown.size(), 3u);
    EXPECT_TRUE(dialogs.shown[2].text.startsWith(QStringLiteral("List index out of bounds")));
    EXPECT_TRUE(window.StatusPanel0->text().isEmpty());
    EXPECT_EQ(window.Engine().HitCount(), 1);
}

TEST_F(DataErrorTest, TheKeyThatClosesTheReportDoesNotShowTheMissingEntryAgain)
{
    // Five headwords, two entries: the third one has no entry line.
    dir.WriteData("alpha.a\r\nbeta.b\r\ngamma.c\r\ndelta.d\r\nepsilon.e\r\n",
                  "\\par alpha entry\r\n\\par beta entry\r\n");
    TfVokabar window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QListView* list = window.WordsList;
    // The pair is reported at start, once, and the window goes on with it.
    const size_t atStart = dialogs.shown.size();
    ASSERT_EQ(atStart, 1u);
    EXPECT_EQ(dialogs.shown[0].caption, kTitle);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Datoteke \"vokabar2.idx\" i \"vokabar2.dic\" ne odgovaraju "
                                                    "jedna drugoj.\r\nReinstalirajte program."));
    ASSERT_EQ(list->model()->rowCount(), 5);
    const QRect row = list->visualRect(list->model()->index(2, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    ASSERT_EQ(dialogs.shown.size(), atStart + 1);
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("List index out of bounds (2)"));

    // Enter or Esc closes the report on its press; its release then reaches
    // the list, which has the focus again. That release shows nothing.
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Space}) {
        for (int round = 0; round < 5; ++round)
            QTest::keyRelease(list, key);
        EXPECT_EQ(dialogs.shown.size(), atStart + 1) << key;
    }

    // A key pressed and released in the list still shows the entry reached.
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(dialogs.shown.size(), atStart + 1);
    EXPECT_TRUE(window.RichEdit1->toPlainText().contains(QStringLiteral("beta")));
    QTest::keyClick(list, Qt::Key_Down);
    ASSERT_EQ(dialogs.shown.size(), atStart + 2);
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("List index out of bounds (2)"));
}

} // namespace
