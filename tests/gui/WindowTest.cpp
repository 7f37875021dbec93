// The main window driven through its real widgets: keys, clicks, menus and
// the tool bar, as the user meets them.
#include "GuiTestSupport.h"

#include "ViewZoom.h"
#include "uglavni.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QSplitter>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kInitialText = QStringLiteral("Upišite pojam koji želite pronaći");
const QString kTooShort = QStringLiteral("Pojam mora biti duži od 2 znaka!");
const QString kStopWord = QStringLiteral("Nedopušten pojam!");

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.WriteData(sample.index, sample.entries);
        Open();
    }

    void Open()
    {
        window = std::make_unique<TfVokabar>();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    QLineEdit* Edit() const { return window->CBKljuc->lineEdit(); }

    // Types a term over whatever the combo box holds, as the user would.
    void TypeTerm(const QString& term)
    {
        Edit()->setFocus();
        Edit()->selectAll();
        QTest::keyClick(window->CBKljuc, Qt::Key_Delete);
        TypeText(term);
    }

    // Key presses with their text, letters with diacritics included (the
    // test library's own typing knows ASCII only).
    void TypeText(const QString& text)
    {
        for (const QChar c : text) {
            const auto key = Qt::Key(c.toUpper().unicode());
            QTest::sendKeyEvent(QTest::KeyAction::Click, window->CBKljuc, key, QString(c), Qt::NoModifier);
        }
    }

    QString Status() const { return window->StatusPanel0->text(); }
    QString ViewText() const { return window->RichEdit1->toPlainText(); }
    QWidget* Focus() const { return QApplication::focusWidget(); }

    void ClickRow(int row)
    {
        QListView* list = window->WordsList;
        const QRect rect = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    }

    WorkingDir dir;
    SampleDictionary sample;
    DialogRecorder dialogs;
    std::unique_ptr<TfVokabar> window;
};

TEST_F(WindowTest, StartsInItsDesignedState)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tarvena  ver.2.0"));
    EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(window->frameGeometry().size(), QSize(700, 500));
    EXPECT_TRUE(window->bSve->isChecked());
    EXPECT_FALSE(window->beng->isChecked());
    EXPECT_FALSE(window->CBMatchCase->isChecked());
    EXPECT_EQ(Edit()->text(), kInitialText);
    EXPECT_EQ(window->CBKljuc->count(), 0);
    EXPECT_EQ(window->WordsList->model()->rowCount(), sample.Count());
    EXPECT_EQ(window->WordsList->model()->index(5, 0).data().toString(), QStringLiteral("Šteta"));
    EXPECT_EQ(window->selectedHeadword(), -1);
    EXPECT_TRUE(ViewText().isEmpty());
    EXPECT_TRUE(window->StatusPanel0->text().isEmpty());
    EXPECT_TRUE(window->StatusPanel1->text().isEmpty());
    EXPECT_EQ(window->StatusPanel0->width(), 200);
    EXPECT_EQ(window->StatusPanel1->width(), 50);
    EXPECT_EQ(window->WordsList->width(), 241);
    EXPECT_EQ(Focus(), window->CBKljuc);
    EXPECT_EQ(Edit()->selectedText(), kInitialText);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(WindowTest, MenusToolBarAndPopupCarryTheirCaptionsAndShortcuts)
{
    QStringList bar;
    for (QAction* action : window->menuBar()->actions())
        bar << action->text();
    EXPECT_EQ(bar, (QStringList{"&Program", "&Uređivanje", "Tra&ži", "Po&moć"}));
    EXPECT_EQ(window->Trai2->menu(), nullptr);
    EXPECT_TRUE(window->Trai2->icon().isNull());   // shown as its caption

    auto items = [](QMenu* menu) {
        QStringList texts;
        for (QAction* action : menu->actions())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return texts;
    };
    EXPECT_EQ(items(window->Program1), (QStringList{"Is&pis", "Spremi kao &PDF...", "-", "&Kraj rada"}));
    EXPECT_EQ(items(window->Ureivanje1),
              (QStringList{"&Kopiraj", "-", "Ozn&ači sve", "-", "Obriši povijest traženja"}));
    const QStringList options{"Zanemari &dijakritičke znakove", "Samo &cijele riječi", "Samo &pravni pojmovi",
                              "Svi &oblici riječi", "&Najprije najbolji pogoci"};
    EXPECT_EQ(items(window->Trai3), QStringList{"&Traži"} << "-" << options << "-" << "&Hrvatsko-engleski smjer");
    EXPECT_EQ(items(window->Pomo1), (QStringList{"Upute za &rad s programom", "-", "&O programu"}));
    EXPECT_EQ(items(window->PopupMenu1), (QStringList{"&Traži", "-", "&Kopiraj", "Označi &sve", "-"} << options));

    EXPECT_EQ(window->Print1->shortcut(), QKeySequence("Ctrl+P"));
    EXPECT_EQ(window->SpremikaoPDF1->shortcut(), QKeySequence("Ctrl+Shift+P"));
    EXPECT_EQ(window->Kraj->shortcut(), QKeySequence("Ctrl+K"));
    EXPECT_EQ(window->Kopiraj1->shortcut(), QKeySequence("Ctrl+C"));
    EXPECT_EQ(window->Oznaisve2->shortcut(), QKeySequence("Ctrl+A"));
    EXPECT_EQ(window->Trai2->shortcut(), QKeySequence("Ctrl+T"));
    EXPECT_EQ(window->Hrvatskoengleskismjer1->shortcut(), QKeySequence("Ctrl+Shift+H"));

    QStringList hints;
    int separators = 0;
    for (QAction* action : window->ToolBar1->actions()) {
        if (action->isSeparator()) {
            ++separators;
            continue;
        }
        // The direction is shown in words (DirectionTest).
        if (action == window->Hrvatskoengleskismjer1)
            continue;
        hints << action->toolTip();
        auto* button = qobject_cast<QToolButton*>(window->ToolBar1->widgetForAction(action));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
        EXPECT_FALSE(action->icon().isNull());
        // Drawn for both scales, so the image stays crisp on a 2x screen.
        EXPECT_EQ(action->icon().pixmap(QSize(16, 16), 2.0).deviceIndependentSize(), QSizeF(16, 16));
        EXPECT_EQ(action->icon().pixmap(QSize(16, 16), 2.0).size(), QSize(32, 32));
    }
    EXPECT_EQ(hints, (QStringList{"Kraj rada", "Traži", "Ispis", "Kopiraj", "Označi sve", "Pomoć"}));
    EXPECT_EQ(separators, 4);
    EXPECT_FALSE(window->BPojamSearch->icon().isNull());
    EXPECT_TRUE(window->BPojamSearch->isDefault());
}

TEST_F(WindowTest, EverySearchCommandSearchesAndMovesTheFocusToTheView)
{
    int history = 0;
    auto searchedCourt = [&](const char* how) {
        SCOPED_TRACE(how);
        EXPECT_EQ(Status(), QStringLiteral("Broj pronađenih pojmova: 4"));
        EXPECT_EQ(Focus(), window->RichEdit1);
        EXPECT_EQ(Edit()->selectedText(), QStringLiteral("court"));
        EXPECT_EQ(window->CBKljuc->count(), ++history);
        EXPECT_TRUE(ViewText().contains(QStringLiteral("court of appeal")));
        window->StatusPanel0->clear();
    };

    TypeTerm("court");
    QTest::mouseClick(window->BPojamSearch, Qt::LeftButton);
    searchedCourt("button");

    TypeTerm("court");
    QTest::keyClick(window->CBKljuc, Qt::Key_Return);
    searchedCourt("Enter in the combo box");

    TypeTerm("court");
    QTest::keyClick(window->CBKljuc, Qt::Key_T, Qt::ControlModifier);
    searchedCourt("Ctrl+T");

    TypeTerm("court");
    QTest::mouseClick(window->ToolBar1->widgetForAction(window->ToolBar1->actions().at(2)), Qt::LeftButton);
    searchedCourt("tool bar");

    TypeTerm("court");
    window->Trai2->trigger();
    searchedCourt("menu bar");

    // The same term each time: the history keeps every one, newest last.
    for (int i = 0; i < window->CBKljuc->count(); ++i)
        EXPECT_EQ(window->CBKljuc->itemText(i), QStringLiteral("court"));
    // Enter in the view does not search.
    window->StatusPanel0->clear();
    QTest::keyClick(window->RichEdit1, Qt::Key_Return);
    EXPECT_TRUE(Status().isEmpty());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(WindowTest, SearchingTheInitialTextAndZeroHits)
{
    // The initial text is ordinary text: searching at once looks for it.
    QTest::mouseClick(window->BPojamSearch, Qt::LeftButton);
    EXPECT_EQ(Status(), QStringLiteral("Broj pronađenih pojmova: 0"));
    EXPECT_EQ(window->CBKljuc->itemText(0), kInitialText);
    EXPECT_EQ(Edit()->text(), kInitialText);
    EXPECT_EQ(ViewText().trimmed(), QString());
}

TEST_F(WindowTest, RefusedTermsShowTheInputErrorAndChangeNothingElse)
{
    TypeTerm("court");
    QTest::keyClick(window->CBKljuc, Qt::Key_Return);
    const QString shown = ViewText();
    Edit()->setFocus();

    const struct {
        const char* term;
        QString message;
    } cases[] = {{"ab", kTooShort}, {"  ab  ", kTooShort}, {"", kTooShort}, {"ako", kStopWord},
                 {"ili oko", kStopWord}, {"i, ,", kStopWord}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.term);
        dialogs.shown.clear();
        TypeTerm(QString::fromUtf8(c.term));
        QTest::keyClick(window->CBKljuc, Qt::Key_Return);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].kind, dialogs::Kind::InputError);
        EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Greška unosa"));
        EXPECT_EQ(dialogs.shown[0].text, c.message);
        EXPECT_EQ(Focus(), window->CBKljuc);
        EXPECT_EQ(window->CBKljuc->count(), 1);
        EXPECT_EQ(Status(), QStringLiteral("Broj pronađenih pojmova: 4"));
        EXPECT_EQ(ViewText(), shown);
    }
    // Case matters to the stop words: "Ako" and "AKO" are searched.
    dialogs.shown.clear();
    TypeTerm("AKO");
    QTest::keyClick(window->CBKljuc, Qt::Key_Return);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(window->CBKljuc->count(), 2);
}

TEST_F(WindowTest, CopyAndSelectAllActOnTheViewWhileTheFocusIsInTheComboBox)
{
    TypeTerm("verdict");
    QTest::keyClick(window->CBKljuc, Qt::Key_Return);
    ASSERT_EQ(Focus(), window->RichEdit1);

    Edit()->setFocus();
    Edit()->setCursorPosition(2);
    ASSERT_EQ(Focus(), window->CBKljuc);
    QTest::keyClick(window->CBKljuc, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(window->RichEdit1->textCursor().selection().toPlainText(), window->RichEdit1->toPlainText());
    EXPECT_FALSE(Edit()->hasSelectedText());

    QApplication::clipboard()->clear();
    QTest::keyClick(window->CBKljuc, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), window->RichEdit1->toPlainText());
    EXPECT_TRUE(QApplication::clipboard()->text().contains(QStringLiteral("prijevod8")));
    EXPECT_EQ(Edit()->text(), QStringLiteral("verdict"));

    // From the headword list too.
    window->RichEdit1->moveCursor(QTextCursor::Start);
    window->WordsList->setFocus();
    QTest::keyClick(window->WordsList, Qt::Key_A, Qt::ControlModifier);
    EXPECT_FALSE(window->RichEdit1->textCursor().selectedText().isEmpty());
}

TEST_F(WindowTest, CtrlKClosesTheWindowEvenFromTheComboBox)
{
    QSignalSpy closed(window.get(), &TfVokabar::closed);
    Edit()->setFocus();
    Edit()->setCursorPosition(3);
    QTest::keyClick(window->CBKljuc, Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(window->isVisible());
    // The edit field was not cut at the cursor.
    EXPECT_EQ(Edit()->text(), kInitialText);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(WindowTest, HeadwordModeFollowsTheTypingWithDiacritics)
{
    QTest::mouseClick(window->beng, Qt::LeftButton);
    ASSERT_TRUE(window->beng->isChecked());

    TypeTerm(QStringLiteral("šte"));
    // Without match case, š finds Š: the first headword beginning with it.
    EXPECT_EQ(window->selectedHeadword(), sample.Position("\x8a" "teta"));
    EXPECT_TRUE(ViewText().contains(QStringLiteral("Šteta - prijevod5 članak")));

    TypeText(QStringLiteral("tn"));
    EXPECT_EQ(window->selectedHeadword(), sample.Position("\x9a" "tetnik"));

    // With match case only the exact letters count; no match leaves the
    // selection where it was and shows it again.
    QTest::mouseClick(window->CBMatchCase, Qt::LeftButton);
    TypeTerm(QStringLiteral("Court"));
    EXPECT_EQ(window->selectedHeadword(), sample.Position("Court of Justice"));
    TypeTerm(QStringLiteral("COURT"));
    EXPECT_EQ(window->selectedHeadword(), sample.Position("Court of Justice"));

    // The search command in this mode changes the term, not the count.
    EXPECT_TRUE(Status().isEmpty());
    TypeTerm(QStringLiteral("verd"));
    QTest::keyClick(window->CBKljuc, Qt::Key_Return);
    EXPECT_EQ(window->selectedHeadword(), sample.Position("verdict"));
    EXPECT_EQ(window->Engine().SearchTerm(), QByteArray("verd"));
    EXPECT_EQ(window->Engine().HitCount(), 0);
    EXPECT_TRUE(Status().isEmpty());
    EXPECT_EQ(Focus(), window->RichEdit1);
}

TEST_F(WindowTest, TheChangeEventFiresOnlyForTheUsersEditsAndPicks)
{
    TypeTerm("damage");
    QTest::keyClick(window->CBKljuc, Qt::Key_Return);   // history: damage
    QTest::mouseClick(window->beng, Qt::LeftButton);
    window->RichEdit1->clear();

    // The program setting the text (the popup search does) fires nothing.
    window->setComboText(QStringLiteral("zone"));
    EXPECT_TRUE(ViewText().isEmpty());
    EXPECT_EQ(window->selectedHeadword(), -1);

    // Picking from the drop-down list does, with the picked text.
    window->CBKljuc->showPopup();
    QAbstractItemView* popup = window->CBKljuc->view();
    QTest::qWait(50);
    const QRect first = popup->visualRect(popup->model()->index(0, 0));
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
    EXPECT_EQ(Edit()->text(), QStringLiteral("damage"));
    EXPECT_EQ(window->selectedHeadword(), sample.Position("damage"));
    EXPECT_TRUE(ViewText().contains(QStringLiteral("prijevod4")));
}

TEST_F(WindowTest, ListReleasesShowTheSelectedEntry)
{
    TypeTerm("court");
    QTest::keyClick(window->CBKljuc, Qt::Key_Return);
    const QString count = Status();

    // Tab into the list with nothing selected: the key-up changes nothing.
    const QString result = ViewText();
    window->CBMatchCase->setFocus();
    QTest::keyClick(window->CBMatchCase, Qt::Key_Tab);
    ASSERT_EQ(Focus(), window->WordsList);
    EXPECT_EQ(window->selectedHeadword(), -1);
    EXPECT_EQ(ViewText(), result);

    // A click shows the entry; the status bar keeps the last search's count.
    ClickRow(sample.Position("zone"));
    EXPECT_TRUE(ViewText().contains(QStringLiteral("zone - prijevod9")));
    EXPECT_EQ(Status(), count);
    // What the print command takes is the shown entry now.
    EXPECT_TRUE(window->Document().Bytes().contains("prijevod9"));

    // Holding an arrow key moves the selection without redrawing the view;
    // the release shows the item reached.
    ClickRow(0);
    const QString top = ViewText();
    QListView* list = window->WordsList;
    for (int i = 0; i < 3; ++i) {
        QTest::sendKeyEvent(QTest::KeyAction::Press, list, Qt::Key_Down, QString(), Qt::NoModifier);
        QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(list, &repeat);
        EXPECT_EQ(ViewText(), top);
    }
    EXPECT_EQ(window->selectedHeadword(), 3);
    QTest::sendKeyEvent(QTest::KeyAction::Release, list, Qt::Key_Down, QString(), Qt::NoModifier);
    EXPECT_TRUE(ViewText().contains(QStringLiteral("Court of Justice - prijevod3")));
}

TEST_F(WindowTest, PopupSearchTakesTheSelectedTextOfTheView)
{
    // Nothing selected: the empty text is refused.
    window->Trai1->trigger();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, kTooShort);
    EXPECT_TRUE(Edit()->text().isEmpty());

    ClickRow(sample.Position("verdict"));
    QTextCursor cursor = window->RichEdit1->document()->find(QStringLiteral("verdict"));
    ASSERT_FALSE(cursor.isNull());
    window->RichEdit1->setTextCursor(cursor);
    window->Trai1->trigger();
    EXPECT_EQ(Edit()->text(), QStringLiteral("verdict"));
    EXPECT_EQ(Status(), QStringLiteral("Broj pronađenih pojmova: 1"));
    EXPECT_EQ(window->CBKljuc->itemText(0), QStringLiteral("verdict"));
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST_F(WindowTest, TheSearchedTermIsMarkedOnlyOverTheView)
{
    TypeTerm("COURT");
    QTest::keyClick(window->CBKljuc, Qt::Key_Return);
    EXPECT_EQ(window->HighlightedTerm(), QStringLiteral("COURT"));
    QTest::qWait(20);
    EXPECT_GE(window->RichEdit1->extraSelections().size(), 4);
    for (const QTextEdit::ExtraSelection& mark : window->RichEdit1->extraSelections())
        EXPECT_EQ(mark.cursor.selectedText().toLower(), QStringLiteral("court"));
    // The document itself carries no mark.
    QTextCursor all(window->RichEdit1->document());
    all.select(QTextCursor::Document);
    EXPECT_FALSE(window->RichEdit1->document()->toHtml().contains(QStringLiteral("#ffe87c")));

    // A shown entry is not a search result: the marks go.
    ClickRow(0);
    EXPECT_TRUE(window->HighlightedTerm().isEmpty());
    EXPECT_TRUE(window->RichEdit1->extraSelections().isEmpty());
}

TEST_F(WindowTest, AcceleratorsOfTheSearchPanel)
{
    window->WordsList->setFocus();
    QTest::keyClick(window.get(), Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(Focus(), window->CBKljuc);

    // A button's accelerator clicks it with a short animation.
    QTest::keyClick(window.get(), Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->beng->isChecked(); }, 1000));
    QTest::keyClick(window.get(), Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->bSve->isChecked(); }, 1000));
    QTest::keyClick(window.get(), Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->CBMatchCase->isChecked(); }, 1000));

    // Alt+T names both the button and the menu-bar item: either way it searches.
    TypeTerm("zone");
    QTest::keyClick(window.get(), Qt::Key_T, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Status().isEmpty(); }, 1000));
    EXPECT_EQ(Status(), QStringLiteral("Broj pronađenih pojmova: 1"));
}

} // namespace

namespace {

TEST_F(WindowTest, CtrlWheelZoomsTheViewAndLeavesTheDocumentAlone)
{
    TypeTerm("court");
    QTest::keyClick(window->CBKljuc, Qt::Key_Return);
    QTextEdit* view = window->RichEdit1;
    const qreal before = view->document()->size().height();
    const QByteArray document = window->Document().Bytes();

    const QPointF at(20, 20);
    QWheelEvent wheel(at, view->viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    auto copied = [&] {
        QApplication::clipboard()->clear();
        window->Oznaisve1->trigger();
        window->Copy1->trigger();
        const QMimeData* data = QApplication::clipboard()->mimeData();
        return data->formats().contains("text/rtf") ? data->data("text/rtf") : data->data("text/html");
    };
    const QByteArray copiedBefore = copied();
    ASSERT_FALSE(copiedBefore.isEmpty());

    QApplication::sendEvent(view->viewport(), &wheel);
    QApplication::sendEvent(view->viewport(), &wheel);
    EXPECT_GT(window->Zoom().Factor(), 1.15);
    EXPECT_GT(view->document()->size().height(), before * 1.1);
    // What is copied and printed stays as built.
    EXPECT_EQ(copied(), copiedBefore);
    EXPECT_EQ(window->Document().Bytes(), document);

    // A new result comes at the same zoom; zooming back restores the sizes.
    ClickRow(0);
    ClickRow(1);
    const qreal zoomed = view->document()->size().height();
    window->Zoom().SetFactor(1.0);
    EXPECT_LT(view->document()->size().height(), zoomed);
}

} // namespace

namespace {

TEST_F(WindowTest, ControlsKeepTheirDesignedPlacesAndTabStops)
{
    EXPECT_EQ(window->ToolBar1->height(), 26);
    QList<int> separators;
    for (QAction* action : window->ToolBar1->actions()) {
        const QWidget* widget = window->ToolBar1->widgetForAction(action);
        if (action->isSeparator()) {
            separators << widget->width();
        } else if (action != window->Hrvatskoengleskismjer1) {
            EXPECT_EQ(widget->size(), QSize(23, 22)) << action->toolTip().toStdString();
        }
    }
    EXPECT_EQ(separators, (QList<int>{8, 8, 8, 8}));

    EXPECT_EQ(window->pTrazi->height(), 51);
    EXPECT_EQ(window->Label2->pos(), QPoint(7, 5));
    EXPECT_EQ(window->CBKljuc->geometry(), QRect(4, 23, 186, 22));
    EXPECT_EQ(window->BPojamSearch->geometry(), QRect(191, 23, 76, 22));
    EXPECT_EQ(window->GroupBox1->geometry(), QRect(window->pTrazi->width() - 364, 0, 364, 51));
    EXPECT_EQ(window->bSve->geometry(), QRect(6, 15, 197, 17));
    EXPECT_EQ(window->beng->geometry(), QRect(6, 31, 177, 17));
    EXPECT_EQ(window->CBMatchCase->geometry(), QRect(197, 30, 153, 17));
    EXPECT_EQ(window->Splitter1->handleWidth(), 1);
    EXPECT_EQ(window->StatusBar1->height(), 19);

    // Tab visits the chosen mode only, as a group of radio buttons does.
    const auto tabs = [](int count, bool back) {
        QStringList visited;
        for (int i = 0; i < count; ++i) {
            QTest::keyClick(QApplication::focusWidget(), back ? Qt::Key_Backtab : Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        return visited.join(QLatin1Char(' ')).toStdString();
    };
    window->CBKljuc->setFocus();
    EXPECT_EQ(tabs(6, false), "BPojamSearch bSve CBMatchCase WordsList RichEdit1 CBKljuc");
    window->beng->setChecked(true);
    window->WordsList->setFocus();
    EXPECT_EQ(tabs(3, true), "CBMatchCase beng BPojamSearch");
    EXPECT_TRUE(window->beng->isChecked());
    // The arrow keys still move between the modes, choosing as they go.
    QTest::keyClick(window->BPojamSearch, Qt::Key_Tab);
    QTest::keyClick(window->beng, Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), window->bSve);
    EXPECT_TRUE(window->bSve->isChecked());
}

TEST_F(WindowTest, TheOptionsFrameShowsWholeAtThePanelsEdges)
{
    // The options box lies flush with the window's right edge and the list
    // below it; its frame must be drawn inside, not on the last column/row.
    const QImage shot = window->grab().toImage();
    const QRect box(window->GroupBox1->mapTo(window.get(), QPoint(0, 0)), window->GroupBox1->size());
    ASSERT_EQ(box.right(), shot.width() - 1);
    const QPoint free = window->pTrazi->mapTo(window.get(), QPoint(window->BPojamSearch->geometry().right() + 4, 30));
    ASSERT_LT(free.x(), box.left());
    const QRgb background = shot.pixel(free);

    const int row = box.top() + 40;
    EXPECT_EQ(shot.pixel(box.right(), row), background);
    bool rightLine = false;
    for (int x = box.right() - 3; x < box.right(); ++x)
        rightLine = rightLine || shot.pixel(x, row) != background;
    EXPECT_TRUE(rightLine);

    const int column = box.left() + box.width() / 2 + 100;
    EXPECT_EQ(shot.pixel(column, box.bottom()), background);
    bool bottomLine = false;
    for (int y = box.bottom() - 3; y < box.bottom(); ++y)
        bottomLine = bottomLine || shot.pixel(column, y) != background;
    EXPECT_TRUE(bottomLine);
}

} // namespace
