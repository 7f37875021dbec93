#include "HelpAccess.h"
#include "HelpFile.h"
#include "HelpViewer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString kHelpName = QStringLiteral(u"Pomo\u0107.hlp");

void WriteFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

// Moves the working directory for one test and back.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const QString& path) : FSaved(QDir::currentPath())
    {
        QDir::setCurrent(path);
    }
    ~WorkingDirectory() { QDir::setCurrent(FSaved); }

private:
    QString FSaved;
};

QString ShownText()
{
    THelpViewer* viewer = CurrentHelpViewer();
    return viewer ? viewer->Browser()->toPlainText() : QString();
}

TEST(HelpPath, IsTheExecutablesDirectoryAndTheHelpName)
{
    EXPECT_EQ(HelpFilePathFor(QStringLiteral("/opt/tarvena/vokabar2")),
              QStringLiteral("/opt/tarvena/") + kHelpName);
    EXPECT_EQ(HelpFilePathFor(QStringLiteral("/vokabar2")), QStringLiteral("/") + kHelpName);
    // The name is stored as UTF-8 on this system: "ć" is two bytes.
    EXPECT_EQ(QFile::encodeName(kHelpName), QByteArray("Pomo\xC4\x87.hlp"));
}

TEST(HelpCommand, FindsTheFileBesideTheProgramFromAnyWorkingDirectory)
{
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    // A decoy in the working directory must not be the one shown.
    WriteFile(elsewhere.filePath(kHelpName), "@help\n@topic mamac Mamac\nKriva datoteka.\n");
    WorkingDirectory cwd(elsewhere.path());

    const QString path = HelpFilePath();
    EXPECT_EQ(path, QDir(QCoreApplication::applicationDirPath()).filePath(kHelpName));
    ASSERT_TRUE(QFile::exists(path)) << "the build copies the help file beside the tests";

    ShowHelpContents(path, nullptr);
    THelpViewer* viewer = CurrentHelpViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_FALSE(viewer->isModal());
    EXPECT_FALSE(viewer->testAttribute(Qt::WA_QuitOnClose)); // closing the main window ends the program
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(ShownText().startsWith(QString::fromUtf8("Sadržaj")));
    EXPECT_FALSE(ShownText().contains(QStringLiteral("Kriva datoteka")));

    // A second command reuses the one window and shows the contents again.
    viewer->Browser()->setSource(QUrl(QStringLiteral("topic:ispis")));
    EXPECT_TRUE(ShownText().startsWith(QStringLiteral("Ispis rezultata")));
    ShowHelpContents(path, nullptr);
    EXPECT_EQ(CurrentHelpViewer(), viewer);
    EXPECT_TRUE(ShownText().startsWith(QString::fromUtf8("Sadržaj")));
    int viewers = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        viewers += qobject_cast<THelpViewer*>(w) != nullptr;
    EXPECT_EQ(viewers, 1);
    viewer->hide();
}

TEST(HelpCommand, SaysInItsWindowWhenTheFileCannotBeShown)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    const QString missing = dir.filePath(kHelpName);
    ShowHelpContents(missing, nullptr);
    ASSERT_NE(CurrentHelpViewer(), nullptr);
    EXPECT_TRUE(CurrentHelpViewer()->isVisible());
    EXPECT_TRUE(ShownText().contains(QString::fromUtf8("Nedostaje datoteka pomoći")));
    EXPECT_TRUE(ShownText().contains(missing));

    // A folder in place of the file cannot be read.
    ASSERT_TRUE(QDir(dir.path()).mkdir(kHelpName));
    ShowHelpContents(missing, nullptr);
    EXPECT_TRUE(ShownText().contains(QString::fromUtf8("ne može se pročitati")));

    const QString foreign = dir.filePath(QStringLiteral("tuđa.hlp"));
    WriteFile(foreign, QByteArray("?_\x03\x00binary help of another program", 34));
    ShowHelpContents(foreign, nullptr);
    EXPECT_TRUE(ShownText().contains(QString::fromUtf8("nije datoteka pomoći")));

    // Back to a good file: the window recovers.
    ShowHelpContents(HelpFilePath(), nullptr);
    EXPECT_TRUE(ShownText().startsWith(QString::fromUtf8("Sadržaj")));
    CurrentHelpViewer()->hide();
}

TEST(HelpViewer, FollowsLinksAndGoesBack)
{
    ShowHelpContents(HelpFilePath(), nullptr);
    THelpBrowser* browser = CurrentHelpViewer()->Browser();
    EXPECT_FALSE(browser->isBackwardAvailable());
    // The contents topic links to the search topic; follow it as a click would.
    const QString html = browser->toHtml();
    ASSERT_TRUE(html.contains(QStringLiteral("topic:trazenje")));
    browser->setSource(QUrl(QStringLiteral("topic:trazenje")));
    EXPECT_TRUE(ShownText().startsWith(QString::fromUtf8("Pretraživanje cjelokupnog rječnika")));
    EXPECT_TRUE(browser->isBackwardAvailable());
    browser->backward();
    EXPECT_TRUE(ShownText().startsWith(QString::fromUtf8("Sadržaj")));
    CurrentHelpViewer()->hide();
}

TEST(HelpFile, ShippedFileIsCompleteAndConsistent)
{
    const THelpFile help = THelpFile::Load(HelpFilePath());
    ASSERT_EQ(help.Status(), THelpFile::TStatus::Ok);
    EXPECT_EQ(help.ContentsId(), QStringLiteral("sadrzaj"));
    EXPECT_TRUE(help.BrokenLinks().isEmpty()) << help.BrokenLinks().join(u' ').toStdString();

    QString all;
    for (const THelpTopic& topic : help.Topics())
        all += topic.Html;
    // Every command and file the user meets is explained somewhere.
    for (const char* needed : {"Ctrl+T", "Ctrl+P", "Ctrl+K", "Ctrl+C", "Ctrl+A", "Alt+R",
                               "vokabar2.idx", "vokabar2.dic", "Uvaži velika i mala slova",
                               "Pretraživanje engleskih riječi", "Nedopušten pojam!"})
        EXPECT_TRUE(all.contains(QString::fromUtf8(needed))) << needed;

    // Every topic is reachable from the contents.
    const THelpTopic* contents = help.Topic(help.ContentsId());
    ASSERT_NE(contents, nullptr);
    for (const THelpTopic& topic : help.Topics()) {
        if (&topic == contents)
            continue;
        EXPECT_TRUE(contents->Html.contains(QStringLiteral("topic:") + topic.Id))
            << topic.Id.toStdString();
    }
}

TEST(HelpFile, MarkupBecomesEscapedHtml)
{
    const QByteArray text =
        "# comment\n"
        "@help\n"
        "@topic prvi Prvi <naslov>\n"
        "Tekst a < b & c, **jako** i `Ctrl+T`.\n"
        "nastavak retka\n"
        "\n"
        "* stavka [[drugi]]\n"
        "* [[nema|kamo]]\n"
        "| a | b |\n"
        "@topic drugi Drugi\n"
        "== Podnaslov\n";
    const THelpFile help = THelpFile::Parse(text);
    ASSERT_EQ(help.Status(), THelpFile::TStatus::Ok);
    ASSERT_EQ(help.Topics().size(), 2);
    const QString& html = help.Topics()[0].Html;
    EXPECT_TRUE(html.contains(QStringLiteral("<h2>Prvi &lt;naslov&gt;</h2>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<p>Tekst a &lt; b &amp; c, <b>jako</b> i "
                                             "<b><code>Ctrl+T</code></b>. nastavak retka</p>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<li>stavka <a href=\"topic:drugi\">Drugi</a></li>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<li>kamo</li>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<td>a</td><td>b</td>")));
    EXPECT_FALSE(html.contains(QStringLiteral("comment")));
    EXPECT_EQ(help.BrokenLinks(), QStringList{QStringLiteral("nema")});
    // Other topics lead back to the contents.
    EXPECT_TRUE(help.Topics()[1].Html.contains(QStringLiteral("<h3>Podnaslov</h3>")));
    EXPECT_TRUE(help.Topics()[1].Html.contains(QStringLiteral("href=\"topic:prvi\"")));

    EXPECT_EQ(THelpFile::Parse("@topic a A\ntext\n").Status(), THelpFile::TStatus::NotHelp);
    EXPECT_EQ(THelpFile::Parse("@help\nno topics\n").Status(), THelpFile::TStatus::NotHelp);
    EXPECT_EQ(THelpFile::Parse(QByteArray()).Status(), THelpFile::TStatus::NotHelp);
}

// A bullet item wrapped onto indented lines is one item, in the shipped help
// as in any text; an unindented line after it is a paragraph of its own.
TEST(HelpFile, AWrappedBulletItemStaysOneItem)
{
    const THelpFile parsed = THelpFile::Parse("@help\n@topic a A\n* prvi red\n  drugi red\n\ttreci red\n"
                                              "* druga stavka\nodlomak\n");
    ASSERT_EQ(parsed.Status(), THelpFile::TStatus::Ok);
    const QString& html = parsed.Topics()[0].Html;
    EXPECT_TRUE(html.contains(QStringLiteral("<li>prvi red drugi red treci red</li>\n<li>druga stavka</li>")))
        << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("<p>odlomak</p>")));

    const THelpFile help = THelpFile::Load(HelpFilePath());
    ASSERT_EQ(help.Status(), THelpFile::TStatus::Ok);
    const THelpTopic* options = help.Topic(QStringLiteral("opcije"));
    ASSERT_NE(options, nullptr);
    const QString& shipped = options->Html;
    const qsizetype item = shipped.indexOf(QStringLiteral("<li><b>Zanemari dijakritičke znakove</b>"));
    ASSERT_GE(item, 0);
    EXPECT_LT(item, shipped.indexOf(QStringLiteral("pronalazi đ")));
    EXPECT_LT(shipped.indexOf(QStringLiteral("pronalazi đ")), shipped.indexOf(QStringLiteral("</li>"), item));
}

} // namespace
