// What a screen reader gets from the program's windows through Qt's
// accessibility bridge: every control the keyboard can reach has a name,
// the Tab key reaches every one of them, every command of the menus has a
// name, and the widgets the program draws itself (the link labels, the
// title, the cover) say what they are. Asked of the real widgets through
// QAccessible, as the bridge asks them.
#include "GuiTestSupport.h"

#include "HelpViewer.h"
#include "ShadowLabel.h"
#include "linklabel.h"
#include "uabout.h"
#include "uglavni.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>

#include <gtest/gtest.h>

#include <memory>

namespace {

QString Text(QObject* object, QAccessible::Text kind)
{
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(object);
    return view ? view->text(kind) : QString();
}

std::string Describe(const QWidget* widget)
{
    return widget->objectName().toStdString() + " (" + widget->metaObject()->className() + ")";
}

// The widgets of a window that Tab can stop on.
QList<QWidget*> TabStops(QWidget* window)
{
    QList<QWidget*> stops;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->isVisibleTo(window) && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus)
            && !widget->focusProxy())
            stops << widget;
    }
    return stops;
}

// What a reader says for a widget: its name, or, where Qt names a control
// by its content (an editable combo box on this platform), the label that
// labels it.
QString SpokenName(QWidget* widget)
{
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(widget);
    if (!view)
        return QString();
    QString name = view->text(QAccessible::Name).trimmed();
    if (name.isEmpty()) {
        for (const auto& relation : view->relations(QAccessible::Label))
            name += relation.first->text(QAccessible::Name).trimmed();
    }
    return name;
}

void ExpectEveryTabStopNamed(QWidget* window)
{
    const QList<QWidget*> stops = TabStops(window);
    EXPECT_FALSE(stops.isEmpty());
    for (QWidget* widget : stops)
        EXPECT_FALSE(SpokenName(widget).isEmpty()) << Describe(widget);
}

// Presses Tab from the first stop until the focus comes back; the widgets
// passed on the way, in order.
QList<QWidget*> TabRound(QWidget* first)
{
    first->setFocus(Qt::TabFocusReason);
    QList<QWidget*> visited{QApplication::focusWidget()};
    for (int i = 0; i < 50; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        if (now == visited.first())
            break;
        visited << now;
    }
    return visited;
}

class AccessibilityTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.WriteData(sample.index, sample.entries);
        window = std::make_unique<TfVokabar>();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    WorkingDir dir;
    SampleDictionary sample;
    DialogRecorder dialogs;
    std::unique_ptr<TfVokabar> window;
};

TEST_F(AccessibilityTest, EveryControlOfTheMainWindowIsNamedAndReachedByTab)
{
    ExpectEveryTabStopNamed(window.get());
    // Emptied, the search field is still announced, by its label.
    window->CBKljuc->lineEdit()->clear();
    EXPECT_EQ(SpokenName(window->CBKljuc), QStringLiteral("Traži pojam"));

    // Of the two modes only the chosen one is a tab stop, as in any group of
    // radio buttons; the arrow keys reach the other.
    QList<QWidget*> expected = TabStops(window.get());
    expected.removeOne(window->beng);
    const QList<QWidget*> visited = TabRound(window->CBKljuc);
    for (QWidget* widget : expected)
        EXPECT_TRUE(visited.contains(widget)) << "Tab never reaches " << Describe(widget);
    EXPECT_EQ(visited.size(), expected.size());

    // The headword list and the result view are read by what they hold,
    // under Croatian names, with a word on what they are for.
    struct Named {
        QWidget* widget;
        QAccessible::Role role;
        const char* name;
    };
    for (const Named& part : {Named{window->WordsList, QAccessible::List, "Engleski pojmovi"},
                              Named{window->RichEdit1, QAccessible::EditableText, "Rezultat pretrage"},
                              Named{window->CBKljuc->lineEdit(), QAccessible::EditableText, "Traži pojam"}}) {
        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(part.widget);
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->role(), part.role) << part.name;
        EXPECT_EQ(view->text(QAccessible::Name), QString::fromUtf8(part.name));
        EXPECT_FALSE(view->text(QAccessible::Description).isEmpty()) << part.name;
    }
    // The rows of the list are the headwords themselves.
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(window->WordsList);
    ASSERT_GT(list->childCount(), 0);
    bool headwordFound = false;
    for (int i = 0; i < list->childCount(); ++i)
        headwordFound |= list->child(i)->text(QAccessible::Name) == QStringLiteral("court of appeal");
    EXPECT_TRUE(headwordFound);
}

TEST_F(AccessibilityTest, EveryCommandOfTheMenusAndTheToolBarHasAName)
{
    std::vector<QWidget*> holders{window->menuBar(), window->PopupMenu1};
    for (QMenu* menu : {window->Program1, window->Ureivanje1, window->Pomo1})
        holders.push_back(menu);
    for (QWidget* holder : holders) {
        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(holder);
        ASSERT_NE(view, nullptr);
        EXPECT_FALSE(view->text(QAccessible::Name).isEmpty()) << Describe(holder);
        ASSERT_GT(view->childCount(), 0) << Describe(holder);
        for (int i = 0; i < view->childCount(); ++i) {
            QAccessibleInterface* item = view->child(i);
            if (item->role() == QAccessible::Separator)
                continue;
            EXPECT_FALSE(item->text(QAccessible::Name).isEmpty()) << Describe(holder) << " item " << i;
        }
    }
    for (QAction* action : window->ToolBar1->actions()) {
        if (action->isSeparator())
            continue;
        QWidget* button = window->ToolBar1->widgetForAction(action);
        EXPECT_EQ(Text(button, QAccessible::Name), action->iconText()) << Describe(button);
        EXPECT_FALSE(Text(button, QAccessible::Name).isEmpty()) << Describe(button);
    }
    EXPECT_EQ(Text(window->ToolBar1, QAccessible::Name), QStringLiteral("Alatna traka"));
}

TEST_F(AccessibilityTest, TheAboutWindowsDrawnPartsSayWhatTheyAre)
{
    TAboutBox box;
    box.OKButton->setVisible(true);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    ExpectEveryTabStopNamed(&box);
    EXPECT_EQ(TabStops(&box), QList<QWidget*>{box.OKButton});

    QAccessibleInterface* cover = QAccessible::queryAccessibleInterface(box.ProgramIcon);
    EXPECT_EQ(cover->role(), QAccessible::Graphic);
    EXPECT_TRUE(cover->text(QAccessible::Name).startsWith(QStringLiteral("Naslovnica")));
    EXPECT_TRUE(cover->text(QAccessible::Description).contains(QStringLiteral("vagom pravde")));

    QAccessibleInterface* title = QAccessible::queryAccessibleInterface(box.TitleLabel);
    EXPECT_EQ(title->role(), QAccessible::StaticText);
    EXPECT_EQ(title->text(QAccessible::Name), QStringLiteral("Tarvena"));

    // The links: announced as links, named by their captions, their targets
    // as values; a screen reader's press opens the target as a click does.
    QStringList opened;
    const TLinkLabel::TShellOpener previous = TLinkLabel::SetShellOpener([&](const QString& target, QWidget*) {
        opened << target;
        return true;
    });
    for (TLinkLabel* link : {box.WebLink, box.MailLink}) {
        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(link);
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->role(), QAccessible::Link);
        EXPECT_EQ(view->text(QAccessible::Name), link->Caption());
        EXPECT_EQ(view->text(QAccessible::Value), TLinkLabel::URLPrefix(link->URLType()) + link->Caption());
        EXPECT_FALSE(view->text(QAccessible::Description).isEmpty());
        QAccessibleActionInterface* actions = view->actionInterface();
        ASSERT_NE(actions, nullptr);
        ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
        actions->doAction(QAccessibleActionInterface::pressAction());
    }
    EXPECT_EQ(opened, (QStringList{QStringLiteral("http://tarvena.example"),
                                   QStringLiteral("mailto:info@tarvena.example")}));

    // A disabled link takes no press; a renamed one is announced by its
    // new caption.
    box.WebLink->setEnabled(false);
    QAccessible::queryAccessibleInterface(box.WebLink)->actionInterface()->doAction(
        QAccessibleActionInterface::pressAction());
    EXPECT_EQ(opened.size(), 2);
    box.MailLink->SetCaption(QStringLiteral("pomoc@tarvena.example"));
    EXPECT_EQ(Text(box.MailLink, QAccessible::Name), QStringLiteral("pomoc@tarvena.example"));
    TLinkLabel::SetShellOpener(previous);
}

TEST_F(AccessibilityTest, TheHelpWindowIsNamedAndReachedByTab)
{
    THelpViewer viewer;
    viewer.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
    ExpectEveryTabStopNamed(&viewer);
    EXPECT_EQ(Text(viewer.Browser(), QAccessible::Name), QStringLiteral("Tekst pomoći"));
    const QList<QWidget*> stops = TabStops(&viewer);
    viewer.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer));
    const QList<QWidget*> visited = TabRound(stops.first());
    for (QWidget* widget : stops)
        EXPECT_TRUE(visited.contains(widget)) << "Tab never reaches " << Describe(widget);
}

} // namespace
