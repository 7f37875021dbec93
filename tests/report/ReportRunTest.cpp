// A report run as the user meets it: the progress window, Cancel, a second
// print during a run, and a machine with no printer.
#include "ResultRtf.h"

#include "ReportPrinter.h"
#include "ReportUnits.h"
#include "ReportProgressForm.h"
#include "ureport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

bool AnyProgressWindowVisible()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<TReportProgressForm*>(w) && w->isVisible())
            return true;
    return false;
}

TEST(ReportRun, ProgressWindowShowsDuringTheRunAndCloses)
{
    QTemporaryDir dir;
    TQRRezultatPretrage report;
    const QString file = dir.filePath(QStringLiteral("a.pdf"));
    bool seen = false;
    QTimer::singleShot(0, [&] {
        TReportProgressForm* form = report.ProgressForm();
        ASSERT_TRUE(form);
        seen = true;
        EXPECT_TRUE(report.Busy());
        EXPECT_TRUE(form->isVisible());
        EXPECT_FALSE(form->isModal());
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Printing progress"));
        EXPECT_EQ(form->size(), QSize(147, 84));
        EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_EQ(form->ProgressBar->value(), 0);
        EXPECT_TRUE(form->Info->text().isEmpty());
        EXPECT_EQ(form->CancelButton->text(), QStringLiteral("Cancel"));
        EXPECT_EQ(form->CancelButton->geometry(), QRect(36, 52, 75, 25));
    });
    ASSERT_TRUE(report.PrintResultToPdf(QStringLiteral("ugovor"), 40, LongResultDocument(40), file));
    EXPECT_TRUE(seen) << "events are served while the pages are made";
    EXPECT_FALSE(report.Busy());
    EXPECT_FALSE(report.ProgressForm());
    EXPECT_FALSE(AnyProgressWindowVisible());
    EXPECT_TRUE(QFile::exists(file));
}

TEST(ReportRun, SecondPrintDuringARunStartsNothingAndCancelAbortsQuietly)
{
    QTemporaryDir dir;
    TQRRezultatPretrage report;
    const QString file = dir.filePath(QStringLiteral("first.pdf"));
    const QString second = dir.filePath(QStringLiteral("second.pdf"));
    bool secondStarted = true;
    QTimer::singleShot(0, [&] {
        secondStarted = report.PrintResultToPdf(QStringLiteral("drugi"), 1, ResultDocument({"\\par x"}), second);
        // A command from the window during the run is refused the same way,
        // and changes nothing of the run in progress.
        report.PrintResult(QStringLiteral("treći"), 2, QByteArray());
        EXPECT_EQ(report.lKljuc.Caption(), QStringLiteral("Rezultat traženja pojma: ugovor"));
        QTest::mouseClick(report.ProgressForm()->CancelButton, Qt::LeftButton);
    });
    // Cancel is no error: the run returns normally, with nothing printed.
    ASSERT_TRUE(report.PrintResultToPdf(QStringLiteral("ugovor"), 200, LongResultDocument(200), file));
    EXPECT_FALSE(secondStarted);
    EXPECT_FALSE(QFile::exists(second));
    EXPECT_FALSE(QFile::exists(file)) << "the aborted document is discarded";
    EXPECT_FALSE(report.Busy());
    EXPECT_FALSE(AnyProgressWindowVisible());

    // The next print runs as usual.
    EXPECT_TRUE(report.PrintResultToPdf(QStringLiteral("ugovor"), 1, ResultDocument({"\\par x"}), file));
    EXPECT_TRUE(QFile::exists(file));
}

TEST(ReportRun, WithoutAPrinterThePrintCommandDoesNothingVisible)
{
    ASSERT_FALSE(TReportPrinter().PrinterAvailable()) << "this test needs a machine with no printer";
    TQRRezultatPretrage report;
    bool windowSeen = false;
    QTimer::singleShot(0, [&] { windowSeen = AnyProgressWindowVisible(); });
    QElapsedTimer clock;
    clock.start();
    report.PrintResult(QStringLiteral("pravo"), 3, ResultDocument({"\\par x"}));
    EXPECT_LT(clock.elapsed(), 2000);
    QCoreApplication::processEvents();
    EXPECT_FALSE(windowSeen);
    EXPECT_FALSE(report.Busy());
    EXPECT_FALSE(report.isVisible());
}

TEST(ReportPrinterJob, ConvertsTenthsOfAMillimetreToDevicePixels)
{
    QTemporaryDir dir;
    TReportPrinter job(dir.filePath(QStringLiteral("j.pdf")), QMarginsF(), 600);
    job.Start();
    EXPECT_EQ(job.DeviceX(100), 236); // nearest(100 * 600 / 254)
    EXPECT_EQ(job.DeviceY(100), 236);
    EXPECT_EQ(job.SizeX(50), 118);
    EXPECT_EQ(job.PaperWidth(), 2100);
    EXPECT_EQ(job.PaperLength(), 2970);
    job.Abort();

    // A printer that cannot print the outer 12.7 mm: positions move up and
    // left by that much, so they land on the same spot of the sheet.
    TReportPrinter offset(dir.filePath(QStringLiteral("k.pdf")), QMarginsF(12.7, 25.4, 0, 0), 600);
    offset.Start();
    EXPECT_EQ(offset.LeftOffset(), 127);
    EXPECT_EQ(offset.TopOffset(), 254);
    EXPECT_EQ(offset.DeviceX(100), 236 - 300);
    EXPECT_EQ(offset.DeviceY(2764), report::nearest(2764 * 600 / 254.0) - 600);
    offset.Abort();
}

// The window shows the job's progress in steps of 5 % only, and ignores the
// page count; the job posts both, the window reads the job's own value.
TEST(ReportRun, ProgressWindowShowsProgressInStepsOfFive)
{
    QTemporaryDir dir;
    TReportPrinter job(dir.filePath(QStringLiteral("p.pdf")));
    TReportProgressForm form(&job);
    job.SetProgress(35);
    QCoreApplication::sendPostedEvents(&form);
    EXPECT_EQ(form.ProgressBar->value(), 35);
    EXPECT_EQ(form.Info->text(), QStringLiteral("35%  Completed"));
    EXPECT_EQ(form.Info->geometry(), QRect(0, 28, 145, 13));
    EXPECT_TRUE(form.Info->alignment() & Qt::AlignHCenter);

    job.SetProgress(37);
    job.SetPageCount(4);
    QCoreApplication::sendPostedEvents(&form);
    EXPECT_EQ(form.ProgressBar->value(), 35);
    EXPECT_EQ(form.Info->text(), QStringLiteral("35%  Completed"));

    form.CancelButton->click();
    EXPECT_TRUE(job.Cancelled());
}

TEST(ReportPrinterJob, RefusesCallsOutOfOrder)
{
    QTemporaryDir dir;
    TReportPrinter job(dir.filePath(QStringLiteral("j.pdf")));
    EXPECT_THROW(job.NewPage(), EQRError);
    job.Start();
    EXPECT_THROW(job.Start(), EQRError);
    job.NewPage();
    job.End();
    EXPECT_THROW(job.NewPage(), EQRError);
    EXPECT_EQ(job.Status(), TReportPrinter::TStatus::Finished);
    EXPECT_EQ(job.PageCount(), 1);
}

TEST(ReportUnits, RoundsHalvesToEven)
{
    EXPECT_EQ(report::nearest(2764.17), 2764);
    EXPECT_EQ(report::nearest(2.5), 2);
    EXPECT_EQ(report::nearest(3.5), 4);
    EXPECT_EQ(report::nearest(-2.5), -2);
    EXPECT_EQ(report::nearest(-3.5), -4);
    EXPECT_EQ(report::nearest(2558.17), 2558);
    EXPECT_EQ(report::nearest(364.85), 365);
}

} // namespace
