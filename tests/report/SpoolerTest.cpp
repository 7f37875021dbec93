// The print path end to end through a real spooler: a private CUPS of the
// test's own, with one PDF-writing printer as the default, gets the report
// from PrintResult exactly as the window's print command sends it. Where the
// spooler cannot start, the tests are skipped.
#include "PdfPages.h"
#include "PressCancel.h"
#include "PrivateCups.h"
#include "ResultRtf.h"

#include "ReportPrinter.h"
#include "ReportProgressForm.h"
#include "ureport.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TPrivateCups* g_cups = nullptr;
bool g_cupsUp = false;

class SpoolerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!g_cupsUp)
            GTEST_SKIP() << "CUPS cannot start here: " << g_cups->Failure.toStdString();
    }
};

TEST_F(SpoolerTest, PrintCommandPutsTheReportOnTheDefaultPrinter)
{
    TQRRezultatPretrage report;
    const QByteArray rtf = LongResultDocument(150);
    report.PrintResult(QStringLiteral("ugovor"), 150, rtf);
    EXPECT_FALSE(report.Busy());
    ASSERT_TRUE(g_cups->WaitIdle()) << g_cups->ErrorLog().toStdString();

    const auto pages = ReadPdfPages(g_cups->Output);
    ASSERT_GE(pages.size(), 3u) << g_cups->ErrorLog().toStdString();
    for (size_t i = 0; i < pages.size(); ++i) {
        const QString text = [&] {
            QStringList words;
            for (const TPdfWord& w : pages[i].Words)
                words << w.Text;
            return words.join(' ');
        }();
        EXPECT_TRUE(text.startsWith(QStringLiteral("Tarvena Tarvena 2.0"))) << i;
        EXPECT_TRUE(text.contains(QStringLiteral("Rezultat traženja pojma: ugovor"))) << i;
        EXPECT_TRUE(text.contains(QStringLiteral("Broj pronađenih pojmova: 150"))) << i;
        EXPECT_TRUE(text.contains(QStringLiteral("Stranica %1").arg(i + 1))) << i;
    }
    // The footer's top at 276.4 mm on the printed sheet too, within a pixel
    // of the printer's resolution, whatever its unprintable margins.
    const TPdfWord* label = pages[0].Find(QStringLiteral("Rezultat"));
    ASSERT_TRUE(label);
    EXPECT_NEAR(label->YMin, MmToPt(276.4 + 1.59), 72.0 / 300);
    EXPECT_NEAR(label->XMin, MmToPt(10), 72.0 / 300);

    // The spooler's record: the document's name, A4, one job of that many pages.
    const QStringList log = g_cups->PageLog().split(QChar(u'\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(log.size(), 1) << g_cups->PageLog().toStdString();
    const QStringList fields = log[0].split(QChar(u'|'));
    ASSERT_EQ(fields.size(), 6);
    EXPECT_EQ(fields[2], QStringLiteral("Rezultat pretrage"));
    EXPECT_EQ(fields[3], QStringLiteral("A4"));
    EXPECT_EQ(fields[4], QStringLiteral("one-sided")); // the printer's mode has duplex off: left alone
    EXPECT_EQ(fields[5].split(QChar(u' ')).value(1).toInt(), int(pages.size())) << fields[5].toStdString();
}

TEST_F(SpoolerTest, OnAPrinterSetUpForTwoSidedPrintingTheReportIsBoundOnTheShortEdge)
{
    // A second printer whose mode has two-sided printing on, long-edge as
    // set up, made the default for this test.
    const char* const duplexPrinter = "TarvenaDuplex";
    const QString output = g_cups->Root + QStringLiteral("/out/duplex.pdf");
    g_cups->Tool("lpadmin", {"-p", duplexPrinter, "-E", "-v",
                             ("file://" + output).toLocal8Bit(), "-P", kPpd, "-o", "PageSize=A4", "-o",
                             "Duplex=DuplexNoTumble"});
    setenv("PRINTER", duplexPrinter, 1);
    setenv("LPDEST", duplexPrinter, 1);
    struct TRestore {
        ~TRestore()
        {
            setenv("PRINTER", kPrinter, 1);
            setenv("LPDEST", kPrinter, 1);
        }
    } restore;
    ASSERT_TRUE(TReportPrinter().Duplex()) << g_cups->Tool("lpoptions", {"-p", duplexPrinter, "-l"}).toStdString();

    TQRRezultatPretrage report;
    report.PrintResult(QStringLiteral("ugovor"), 60, LongResultDocument(60));
    ASSERT_TRUE(g_cups->WaitIdle()) << g_cups->ErrorLog().toStdString();
    QString sides;
    for (const QString& line : g_cups->PageLog().split(QChar(u'\n'), Qt::SkipEmptyParts))
        if (line.startsWith(QLatin1String(duplexPrinter) + QLatin1Char('|')))
            sides = line.split(QChar(u'|')).value(4);
    EXPECT_EQ(sides, QStringLiteral("two-sided-short-edge")) << g_cups->PageLog().toStdString();
}

TEST_F(SpoolerTest, CancelDuringTheRunQueuesNothing)
{
    ASSERT_TRUE(g_cups->WaitIdle());
    const QString before = g_cups->Tool("lpstat", {"-W", "all", "-o"});
    QFile::remove(g_cups->Output);

    TQRRezultatPretrage report;
    bool clicked = false;
    PressCancelInTheNextRun(report, clicked);
    report.PrintResult(QStringLiteral("ugovor"), 300, LongResultDocument(300));
    ASSERT_TRUE(clicked);
    EXPECT_FALSE(report.Busy());
    ASSERT_TRUE(g_cups->WaitIdle());
    QThread::msleep(300);
    EXPECT_EQ(g_cups->Tool("lpstat", {"-W", "all", "-o"}), before) << "no job was queued";
    EXPECT_FALSE(QFile::exists(g_cups->Output));
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    TPrivateCups cups;
    g_cups = &cups;
    g_cupsUp = cups.Start();
    // The program finds the spooler and its default printer as any CUPS
    // client does; these reach Qt before it first asks for printers.
    setenv("CUPS_SERVER", QFile::encodeName(cups.Socket).constData(), 1);
    setenv("PRINTER", kPrinter, 1);
    setenv("LPDEST", kPrinter, 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int result = 0;
    {
        QApplication app(argc, argv);
        result = RUN_ALL_TESTS();
    }
    cups.Stop();
    return result;
}
