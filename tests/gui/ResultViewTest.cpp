// A result of thousands of entries in the real window: the first screen and
// the hit count come at once, the rest between events, and whatever needs
// the whole document (select all, copy, the next document) gets it.
#include "GuiTestSupport.h"

#include "ResultViewLoader.h"
#include "RtfReader.h"
#include "ViewZoom.h"
#include "uglavni.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

constexpr int kEntries = 3000;

class ResultViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Every entry holds "court"; one in a thousand also "rare".
        std::string index, entries;
        for (int i = 0; i < kEntries; ++i) {
            const std::string n = std::to_string(i);
            index += "court" + n + ". court case" + n + (i % 1000 == 7 ? " rare" : "") + "\r\n";
            entries += "\\par {\\b court" + n + "} {\\i n.} {\\cf1 sud} {\\fs20 - predmet " + n + "} \\'e8lanak.\r\n";
        }
        dir.WriteData(index, entries);
        window = std::make_unique<TfVokabar>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void Search(const QString& term)
    {
        window->setComboText(term);
        window->BPojamSearch->click();
    }
    bool Loading() const { return window->ViewLoader().Loading(); }
    bool WaitLoaded() const { return QTest::qWaitFor([&] { return !Loading(); }, 20000); }
    QString ViewText() const { return window->RichEdit1->toPlainText(); }
    // The text of the shown document read whole, as the view must end up.
    QString WholeText() const
    {
        QTextDocument whole;
        richtext::readRtf(&whole, window->Document().Bytes());
        return whole.toPlainText();
    }

    WorkingDir dir;
    DialogRecorder dialogs;
    std::unique_ptr<TfVokabar> window;
};

TEST_F(ResultViewTest, TheWarmUpAfterTheFirstPaintLeavesNoTrace)
{
    // The view drew entries unseen once the window was painted, and took them
    // away: the window is as it started.
    QTest::qWait(50);
    EXPECT_TRUE(window->RichEdit1->document()->isEmpty());
    EXPECT_EQ(window->RichEdit1->verticalScrollBar()->maximum(), 0);
    EXPECT_TRUE(window->Document().Bytes().isEmpty());
    EXPECT_EQ(window->selectedHeadword(), -1);
    EXPECT_TRUE(window->StatusPanel0->text().isEmpty());
    EXPECT_FALSE(Loading());
}

TEST_F(ResultViewTest, FirstScreenAndCountAtOnceTheRestBetweenEvents)
{
    Search("court");
    // Counted and on screen before the rest is read.
    EXPECT_EQ(window->StatusPanel0->text(), QStringLiteral("Broj pronađenih pojmova: %1").arg(kEntries));
    ASSERT_TRUE(Loading());
    const QString first = ViewText();
    EXPECT_TRUE(first.startsWith(QStringLiteral("court0 n. sud - predmet 0 članak"))) << first.left(60).toStdString();
    const QString whole = WholeText();
    EXPECT_LT(first.size(), whole.size() / 4);
    // The first screen is filled: its last line lies below the view's bottom.
    const QTextBlock last = window->RichEdit1->document()->lastBlock();
    EXPECT_GT(window->RichEdit1->document()->documentLayout()->blockBoundingRect(last).top(),
              window->RichEdit1->viewport()->height());

    ASSERT_TRUE(WaitLoaded());
    EXPECT_EQ(ViewText(), whole);
    // The view still shows the top, and the marks are on the term there.
    EXPECT_EQ(window->RichEdit1->verticalScrollBar()->value(), 0);
    EXPECT_EQ(window->HighlightedTerm(), QStringLiteral("court"));
}

TEST_F(ResultViewTest, SelectAllCopyAndNewDocumentsTakeTheWholeDocument)
{
    // Select all while the rest is still to come: all of it, as it comes.
    Search("court");
    ASSERT_TRUE(Loading());
    window->Oznaisve2->trigger();
    ASSERT_TRUE(WaitLoaded());
    EXPECT_EQ(window->RichEdit1->textCursor().selectedText().replace(QChar::ParagraphSeparator, '\n'),
              WholeText());

    // A new search stops the reading of the last one: only its own result.
    Search("court");
    ASSERT_TRUE(Loading());
    Search("rare");
    EXPECT_EQ(window->StatusPanel0->text(), QStringLiteral("Broj pronađenih pojmova: 3"));
    ASSERT_TRUE(WaitLoaded());
    EXPECT_EQ(ViewText(), WholeText());
    EXPECT_TRUE(ViewText().contains(QStringLiteral("court2007 n.")));
    EXPECT_FALSE(ViewText().contains(QStringLiteral("court1 n.")));

    // A headword shown meanwhile replaces it the same way.
    Search("court");
    ASSERT_TRUE(Loading());
    window->setComboText(QString());
    window->selectHeadword(5);
    window->WordsListMouseUp();
    ASSERT_TRUE(WaitLoaded());
    EXPECT_EQ(ViewText(), WholeText());
    EXPECT_TRUE(ViewText().startsWith(QStringLiteral("court5 n.")));

    // Closing the window ends the reading at once.
    Search("court");
    ASSERT_TRUE(Loading());
    window->close();
    EXPECT_FALSE(Loading());
}

TEST_F(ResultViewTest, CommandsReachingPastWhatIsReadActOnTheWholeResult)
{
    QTextEdit* view = window->RichEdit1;
    const auto key = [view](Qt::Key k, Qt::KeyboardModifiers m) { QTest::keyClick(view, k, m); };
    const auto copied = [] { return QApplication::clipboard()->text(); };
    const auto atEnd = [view] { return view->textCursor().position() == view->document()->characterCount() - 1; };
    struct Case {
        const char* command;
        std::function<void()> act;
        std::function<bool()> whole;
    };
    const Case cases[] = {
        {"select all, copy", [&] { window->Oznaisve2->trigger(); window->Kopiraj1->trigger(); },
         [&] { return copied() == WholeText(); }},
        {"select all, copy, zoomed", [&] { window->Zoom().SetFactor(1.5); window->Oznaisve2->trigger();
                                           window->Kopiraj1->trigger(); window->Zoom().SetFactor(1.0); },
         [&] { return copied() == WholeText(); }},
        {"Ctrl+Shift+End, copy", [&] { key(Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
                                       window->Kopiraj1->trigger(); },
         [&] { return copied() == WholeText(); }},
        {"Ctrl+End", [&] { key(Qt::Key_End, Qt::ControlModifier); }, [&] { return !Loading() && atEnd(); }},
        {"scroll bar to the bottom", [&] { QScrollBar* bar = view->verticalScrollBar();
                                           bar->setValue(bar->maximum()); QTest::qWait(20); },
         [&] { QScrollBar* bar = view->verticalScrollBar();
               return !Loading() && bar->value() == bar->maximum(); }},
        {"Page Down at the bottom of what is read",
         [&] { view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum() - 1);
               key(Qt::Key_PageDown, Qt::NoModifier); }, [&] { return !Loading(); }},
        {"drag-select", [&] { QTest::mousePress(view->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
                              QMouseEvent move(QEvent::MouseMove, QPointF(40, 40), view->viewport()->mapToGlobal(QPointF(40, 40)),
                                               Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
                              QApplication::sendEvent(view->viewport(), &move);
                              QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, QPoint(40, 40)); },
         [&] { return !Loading(); }},
    };
    for (const Case& c : cases) {
        QApplication::clipboard()->clear();
        Search("court");
        ASSERT_TRUE(Loading()) << c.command;
        c.act();
        EXPECT_TRUE(c.whole()) << c.command;
    }
}

TEST_F(ResultViewTest, TextReadLaterComesAtTheZoomOfTheRest)
{
    window->Zoom().SetFactor(1.5);
    Search("court");
    ASSERT_TRUE(Loading());
    ASSERT_TRUE(WaitLoaded());
    QTextDocument* doc = window->RichEdit1->document();
    const auto sizeAt = [&](const QString& text) {
        QTextCursor found = doc->find(text);
        EXPECT_FALSE(found.isNull()) << text.toStdString();
        return found.charFormat().fontPointSize();
    };
    // 10 points (\fs20) at 1.5 times, from the first entry to the last.
    EXPECT_DOUBLE_EQ(sizeAt(QStringLiteral("predmet 1")), 15.0);
    EXPECT_DOUBLE_EQ(sizeAt(QStringLiteral("predmet 2999")), 15.0);
}

} // namespace
