// The print path end to end through a real spooler: a private CUPS of the
// test's own, with one PDF-writing printer as the default, gets the report
// from PrintResult exactly as the window's print command sends it.
//
// The spooler listens on a socket in a temporary folder and is stopped by its
// process id; it dies with the test process should that end early. Where it
// cannot start, the tests are skipped.
#include "PdfPages.h"
#include "ResultRtf.h"

#include "ReportProgressForm.h"
#include "ureport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kPrinter = "TarvenaTest";
const char* const kPpd = "/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd";

class TPrivateCups {
public:
    bool Start()
    {
        char pattern[] = "/tmp/tarvena-cups-XXXXXX";
        if (!mkdtemp(pattern))
            return Fail("no temporary folder");
        Root = QString::fromLocal8Bit(pattern);
        // The spooler's filters and backends run as another user: they must
        // reach the folder and write the printer's output.
        chmod(pattern, 0755);
        for (const char* sub : {"cache", "spool", "state", "tmp", "out"})
            QDir(Root).mkdir(QString::fromLatin1(sub));
        chmod(QFile::encodeName(Root + QStringLiteral("/out")).constData(), 0777);
        chmod(QFile::encodeName(Root + QStringLiteral("/tmp")).constData(), 01777);
        Socket = Root + QStringLiteral("/cups.sock");
        Output = Root + QStringLiteral("/out/report.pdf");

        if (!QFileInfo(QStringLiteral("/usr/sbin/cupsd")).isExecutable() || !QFileInfo::exists(QString::fromLatin1(kPpd)))
            return Fail("cupsd or the Generic-PDF driver of cups-filters is not installed");
        if (!Write(QStringLiteral("cupsd.conf"),
                   QStringLiteral("Listen %1\nLogLevel warn\nBrowsing Off\nWebInterface No\nDefaultAuthType None\n"
                                  "PageLogFormat %p|%j|%{job-name}|%{media}|%{sides}|%P %C\n"
                                  "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                  "<Policy default>\n  <Limit All>\n    Order deny,allow\n    Allow all\n  </Limit>\n"
                                  "</Policy>\n")
                       .arg(Socket))
            || !Write(QStringLiteral("cups-files.conf"),
                      QStringLiteral("FileDevice Yes\nServerRoot %1\nStateDir %1/state\nCacheDir %1/cache\n"
                                     "RequestRoot %1/spool\nTempDir %1/tmp\nErrorLog %1/error_log\n"
                                     "AccessLog %1/access_log\nPageLog %1/page_log\n"
                                     "ServerBin /usr/lib/cups\nDataDir /usr/share/cups\n")
                          .arg(Root)))
            return Fail("cannot write the spooler's configuration");

        Daemon.setProgram(QStringLiteral("/usr/sbin/cupsd"));
        Daemon.setArguments({QStringLiteral("-f"), QStringLiteral("-c"), Root + QStringLiteral("/cupsd.conf"),
                             QStringLiteral("-s"), Root + QStringLiteral("/cups-files.conf")});
        Daemon.setProcessChannelMode(QProcess::MergedChannels);
        Daemon.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        Daemon.start();
        if (!Daemon.waitForStarted(5000))
            return Fail("cupsd does not start");

        QElapsedTimer clock;
        clock.start();
        while (!(QFileInfo::exists(Socket) && Tool("lpstat", {"-r"}).contains(QStringLiteral("is running")))) {
            if (Daemon.state() == QProcess::NotRunning || clock.elapsed() > 15000)
                return Fail("cupsd did not come up: " + QString::fromLocal8Bit(Daemon.readAll()) + ErrorLog());
            QThread::msleep(100);
        }
        Tool("lpadmin", {"-p", kPrinter, "-E", "-v", ("file://" + Output).toLocal8Bit(), "-P", kPpd, "-o",
                         "PageSize=A4"});
        Tool("lpadmin", {"-d", kPrinter});
        if (!Tool("lpstat", {"-d"}).contains(QString::fromLatin1(kPrinter)))
            return Fail("the test printer could not be set up: " + ErrorLog());
        return true;
    }

    void Stop()
    {
        if (Daemon.state() != QProcess::NotRunning) {
            Daemon.terminate(); // SIGTERM to its own pid
            if (!Daemon.waitForFinished(10000)) {
                Daemon.kill();
                Daemon.waitForFinished(5000);
            }
        }
        if (!Root.isEmpty())
            QDir(Root).removeRecursively();
    }

    // Runs a CUPS client tool against this spooler; its output.
    QString Tool(const char* name, const QList<QByteArray>& arguments)
    {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CUPS_SERVER"), Socket);
        tool.setProcessEnvironment(env);
        QStringList args;
        for (const QByteArray& a : arguments)
            args << QString::fromLocal8Bit(a);
        tool.setProcessChannelMode(QProcess::MergedChannels);
        tool.start(QString::fromLatin1(name), args);
        if (!tool.waitForFinished(15000)) {
            tool.kill();
            tool.waitForFinished();
        }
        return QString::fromLocal8Bit(tool.readAll());
    }

    // Waits until the spooler has no job left to do.
    bool WaitIdle(int timeoutMs = 60000)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            if (Tool("lpstat", {"-W", "not-completed", "-o"}).trimmed().isEmpty())
                return true;
            QThread::msleep(200);
        }
        return false;
    }

    QString ErrorLog() const { return Read(QStringLiteral("error_log")); }
    QString PageLog() const { return Read(QStringLiteral("page_log")); }

    QString Root;
    QString Socket;
    QString Output;
    QString Failure;
    QProcess Daemon;

private:
    bool Fail(const QString& why)
    {
        Failure = why;
        return false;
    }
    bool Write(const QString& name, const QString& text)
    {
        QFile file(Root + QLatin1Char('/') + name);
        return file.open(QIODevice::WriteOnly) && file.write(text.toLocal8Bit()) == text.toLocal8Bit().size();
    }
    QString Read(const QString& name) const
    {
        QFile file(Root + QLatin1Char('/') + name);
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
    }
};

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
    EXPECT_EQ(fields[5].split(QChar(u' ')).value(1).toInt(), int(pages.size())) << fields[5].toStdString();
}

TEST_F(SpoolerTest, CancelDuringTheRunQueuesNothing)
{
    ASSERT_TRUE(g_cups->WaitIdle());
    const QString before = g_cups->Tool("lpstat", {"-W", "all", "-o"});
    QFile::remove(g_cups->Output);

    TQRRezultatPretrage report;
    bool clicked = false;
    QTimer::singleShot(0, [&] {
        if (TReportProgressForm* form = report.ProgressForm()) {
            QTest::mouseClick(form->CancelButton, Qt::LeftButton);
            clicked = true;
        }
    });
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
