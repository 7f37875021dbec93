#pragma once
// A private CUPS spooler of a test's own: it listens on a socket in a
// temporary folder, is stopped by its process id and dies with the test
// process should that end early. With a printer, one PDF-writing printer
// is its default; without, it is a print system with no printer installed.
// Tests point the program at it with CUPS_SERVER before Qt first asks for
// printers.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <csignal>
#include <cstdlib>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

inline const char* const kPrinter = "TarvenaTest";
inline const char* const kPpd = "/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd";

class TPrivateCups {
public:
    bool Start(bool withPrinter = true)
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
        if (!withPrinter)
            return true;
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
