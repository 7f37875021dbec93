// The help must not drift from the window it describes: every shortcut in
// its table is the shortcut of the command the row names, and every menu and
// command it names by caption exists with that caption.
#include "GuiTestSupport.h"

#include "uglavni.h"

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <memory>

namespace {

QString WithoutAccelerator(QString text)
{
    return text.remove(QLatin1Char('&'));
}

// The letter a caption gives to Alt, lower case; none when it has no accelerator.
QChar AcceleratorOf(const QString& text)
{
    const int at = text.indexOf(QLatin1Char('&'));
    return at >= 0 && at + 1 < text.size() ? text[at + 1].toLower() : QChar();
}

class HelpMatchesWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile file(QString::fromUtf8(TARVENA_HELP_FILE));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        help = QString::fromUtf8(file.readAll());
        dir.WriteData(sample.index, sample.entries);
        window = std::make_unique<TfVokabar>();
    }

    // Every action the menus, the menu bar and the popup offer.
    QList<QAction*> MenuActions() const
    {
        QList<QAction*> all;
        for (QAction* item : window->menuBar()->actions()) {
            all << item;
            if (item->menu())
                all << item->menu()->actions();
        }
        all << window->PopupMenu1->actions();
        return all;
    }

    // Captions of everything that carries an accelerator: menu items, the
    // window's buttons and labels.
    QStringList Captions() const
    {
        QStringList captions;
        for (QAction* action : MenuActions())
            captions << action->text();
        for (auto* button : window->findChildren<QAbstractButton*>())
            captions << button->text();
        for (auto* label : window->findChildren<QLabel*>())
            captions << label->text();
        return captions;
    }

    QString help;
    WorkingDir dir;
    SampleDictionary sample;
    std::unique_ptr<TfVokabar> window;
};

TEST_F(HelpMatchesWindowTest, EveryShortcutInTheTableIsTheShortcutOfTheCommandItNames)
{
    const QRegularExpression row(QStringLiteral("^\\| `([^`]+)` \\| (.*) \\|$"),
                                 QRegularExpression::MultilineOption);
    const QRegularExpression bold(QStringLiteral("\\*\\*([^*]+)\\*\\*"));
    int checked = 0;
    for (auto rows = row.globalMatch(help); rows.hasNext();) {
        const auto match = rows.next();
        const QString key = match.captured(1);
        const QString name = bold.match(match.captured(2)).captured(1);
        if (key.startsWith(QLatin1String("Ctrl+"))) {
            ASSERT_FALSE(name.isEmpty()) << "the row of " << key.toStdString() << " names no command";
            bool found = false;
            for (QAction* action : MenuActions())
                found = found || (WithoutAccelerator(action->text()) == name && action->shortcut() == QKeySequence(key));
            EXPECT_TRUE(found) << key.toStdString() << " is not the shortcut of " << name.toStdString();
            ++checked;
        } else if (key.startsWith(QLatin1String("Alt+")) && key.size() == 5) {
            ASSERT_FALSE(name.isEmpty()) << "the row of " << key.toStdString() << " names nothing";
            bool found = false;
            for (const QString& caption : Captions())
                found = found || (WithoutAccelerator(caption) == name && AcceleratorOf(caption) == key[4].toLower());
            EXPECT_TRUE(found) << key.toStdString() << " does not reach " << name.toStdString();
            ++checked;
        }
    }
    EXPECT_GE(checked, 14) << "the table of shortcuts is missing or has lost rows";
}

TEST_F(HelpMatchesWindowTest, EveryMenuAndCommandTheHelpNamesExistsWithThatCaption)
{
    QStringList menus;
    for (QAction* item : window->menuBar()->actions())
        menus << WithoutAccelerator(item->text());
    QStringList commands;
    for (QAction* action : MenuActions())
        commands << WithoutAccelerator(action->text());

    const QRegularExpression menu(QStringLiteral("izbornik\\w*\\s+\\*\\*([^*]+)\\*\\*"));
    const QRegularExpression command(QStringLiteral("[Nn]aredb\\w*\\s+\\*\\*([^*]+)\\*\\*"));
    int named = 0;
    for (auto found = menu.globalMatch(help); found.hasNext(); ++named) {
        const QString name = found.next().captured(1);
        EXPECT_TRUE(menus.contains(name)) << "no menu " << name.toStdString();
    }
    for (auto found = command.globalMatch(help); found.hasNext(); ++named) {
        const QString name = found.next().captured(1);
        EXPECT_TRUE(commands.contains(name)) << "no command " << name.toStdString();
    }
    EXPECT_GE(named, 8);
}

} // namespace
