// The print and PDF commands of the main window on a system with no printer:
// a private print spooler of the test's own with no printer installed. Print
// tells the user so and offers the PDF file instead; the PDF command writes
// the report a print would make, or says why it could not.
#include "GuiTestSupport.h"
#include "PdfPages.h"
#include "PrivateCups.h"
#include "PrivateSettings.h"

#include "Application.h"
#include "Forms.h"
#include "ReportPrinter.h"
#include "uglavni.h"
#include "ureport.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

TPrivateCups* g_cups = nullptr;
bool g_cupsUp = false;

class PrintCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!g_cupsUp)
            GTEST_SKIP() << "CUPS cannot start here: " << g_cups->Failure.toStdString();
        ASSERT_FALSE(TReportPrinter::PrinterInstalled());
        dir.WriteData(sample.index, sample.entries);
        if (QRRezultatPretrage == nullptr)
            QRRezultatPretrage = new TQRRezultatPretrage;
        window = std::make_unique<TfVokabar>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        previousAnswerer = dialogs::SetAnswerer([this](const dialogs::Message& question) {
            questions.push_back(question);
            return takeTheOffer;
        });
        previousFileNames = dialogs::SetFileNameAnswerer([this](const QString& suggested) {
            suggestedPaths << suggested;
            return chosenPath;
        });
    }
    void TearDown() override
    {
        dialogs::SetAnswerer(previousAnswerer);
        dialogs::SetFileNameAnswerer(previousFileNames);
    }

    void Search(const QString& term)
    {
        window->CBKljuc->lineEdit()->setText(term);
        QTest::keyClick(window->CBKljuc, Qt::Key_Return);
    }

    WorkingDir dir;
    SampleDictionary sample;
    DialogRecorder shown;
    std::unique_ptr<TfVokabar> window;
    QTemporaryDir out;

    std::vector<dialogs::Message> questions;
    bool takeTheOffer = false;
    QStringList suggestedPaths;
    QString chosenPath;
    dialogs::Answerer previousAnswerer;
    dialogs::FileNameAnswerer previousFileNames;
};

TEST_F(PrintCommandTest, PrintWithoutAPrinterSaysSoAndOffersAPdfFile)
{
    Search(QStringLiteral("court"));
    QTest::keyClick(window.get(), Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].kind, dialogs::Kind::NoPrinter);
    EXPECT_EQ(questions[0].caption, QStringLiteral("Tarvena ver. 2.0"));
    EXPECT_EQ(questions[0].text, dialogs::kNoPrinterText);
    EXPECT_TRUE(suggestedPaths.isEmpty()) << "Odustani: no save dialog";

    // Taking the offer opens the save dialog and writes the report.
    takeTheOffer = true;
    chosenPath = out.filePath(QStringLiteral("rezultat.pdf"));
    QTest::keyClick(window.get(), Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(suggestedPaths.size(), 1);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    EXPECT_EQ(QFileInfo(suggestedPaths[0]).fileName(), QStringLiteral("Rezultat pretrage - court.pdf"));
    if (QDir(documents).exists()) {
        EXPECT_EQ(QFileInfo(suggestedPaths[0]).absolutePath(), QDir(documents).absolutePath());
    }

    // The report's progress window has closed: the keyboard is back in the
    // window, where the next shortcut finds it.
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const QStringList pages = ReadPdfPageTexts(chosenPath);
    ASSERT_EQ(pages.size(), 1);
    const QString hits = window->StatusPanel0->text();
    EXPECT_TRUE(hits.startsWith(QStringLiteral("Broj pronađenih pojmova: ")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Rezultat traženja pojma: court"))) << pages[0].toStdString();
    EXPECT_TRUE(pages[0].contains(hits)) << pages[0].toStdString();
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Stranica 1")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("prijevod1")));   // "court"'s entry

    // The same pages the report prints of the same result.
    const QString printed = out.filePath(QStringLiteral("printed.pdf"));
    ASSERT_TRUE(QRRezultatPretrage->PrintResultToPdf(QStringLiteral("court"), hits.section(u' ', -1).toInt(),
                                                     window->Document().Bytes(), printed));
    EXPECT_EQ(pages, ReadPdfPageTexts(printed));
    EXPECT_TRUE(shown.shown.empty());

    // With an option on, the search runs again and the count names the
    // option, in the status bar and in the footer alike.
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->Samocijeleriei1->trigger();
    const QString filtered = window->StatusPanel0->text();
    EXPECT_TRUE(filtered.endsWith(QStringLiteral(" (samo cijele riječi)"))) << filtered.toStdString();
    chosenPath = out.filePath(QStringLiteral("filtrirano.pdf"));
    QTest::keyClick(window.get(), Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(questions.size(), 3u);
    const QStringList filteredPages = ReadPdfPageTexts(chosenPath);
    ASSERT_EQ(filteredPages.size(), 1);
    EXPECT_TRUE(filteredPages[0].contains(filtered)) << filteredPages[0].toStdString();
    window->Samocijeleriei1->trigger();
}

TEST_F(PrintCommandTest, SaveAsPdfReportsAFailureAndACancelledDialogDoesNothing)
{
    Search(QStringLiteral("court"));
    // Cancelled in the save dialog: nothing happens.
    QTest::keyClick(window.get(), Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(suggestedPaths.size(), 1);
    EXPECT_TRUE(shown.shown.empty());

    // A folder that takes no files.
    chosenPath = QStringLiteral("/proc/rezultat.pdf");
    window->SpremikaoPDF1->trigger();
    ASSERT_EQ(shown.shown.size(), 1u);
    EXPECT_EQ(shown.shown[0].kind, dialogs::Kind::SaveFailed);
    EXPECT_EQ(shown.shown[0].caption, QStringLiteral("Tarvena ver. 2.0"));
    EXPECT_TRUE(shown.shown[0].text.startsWith(QStringLiteral("Datoteka \"rezultat.pdf\" nije spremljena.\r\n")))
        << shown.shown[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(chosenPath));
    EXPECT_TRUE(questions.empty()) << "the PDF command never asks about printers";
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    TPrivateCups cups;
    g_cups = &cups;
    g_cupsUp = cups.Start(/*withPrinter=*/false);
    // Before Qt first asks for printers: this spooler is the print system.
    setenv("CUPS_SERVER", QFile::encodeName(cups.Socket).constData(), 1);
    unsetenv("PRINTER");
    unsetenv("LPDEST");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const PrivateSettings settings;
    int result = 0;
    {
        TApplication app(argc, argv);
        result = RUN_ALL_TESTS();
    }
    cups.Stop();
    return result;
}
