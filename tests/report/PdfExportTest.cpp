// Saving the report as a PDF file: the same pages a print makes, written
// whole or not at all, and an existing file kept until a new one is complete.
#include "PdfPages.h"
#include "PressCancel.h"
#include "ResultRtf.h"

#include "PdfExport.h"
#include "ReportProgressForm.h"
#include "ureport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>

namespace {

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(PdfExport, WritesThePagesAPrintMakesAndNothingBesideThem)
{
    QTemporaryDir dir;
    TQRRezultatPretrage report;
    const QByteArray rtf = LongResultDocument(120);
    const QString printed = dir.filePath(QStringLiteral("printed/as-printed.pdf"));
    QDir(dir.path()).mkdir(QStringLiteral("printed"));
    ASSERT_TRUE(report.PrintResultToPdf(QStringLiteral("ugovor"), 120, rtf, printed));

    // Over an existing file, as after the save dialog's confirmation.
    const QString target = dir.filePath(QStringLiteral("Rezultat pretrage - ugovor.pdf"));
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    const TPdfSaveResult saved = SaveResultAsPdf(report, QStringLiteral("ugovor"), 120, rtf, target);
    ASSERT_EQ(saved.Outcome, TPdfSaveResult::TOutcome::Saved) << saved.Message.toStdString();

    const QStringList pages = ReadPdfPageTexts(target);
    ASSERT_GE(pages.size(), 3);
    EXPECT_EQ(pages, ReadPdfPageTexts(printed));
    for (int i = 0; i < pages.size(); ++i) {
        EXPECT_TRUE(pages[i].contains(QStringLiteral("Rezultat traženja pojma: ugovor"))) << i;
        EXPECT_TRUE(pages[i].contains(QStringLiteral("Broj pronađenih pojmova: 120"))) << i;
        EXPECT_TRUE(pages[i].contains(QStringLiteral("Stranica %1").arg(i + 1))) << i;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Rezultat pretrage - ugovor.pdf")});
    EXPECT_EQ(QFile(target).permissions() & QFileDevice::ReadOwner, QFileDevice::ReadOwner);
}

TEST(PdfExport, AFailedSaveSaysWhyAndLeavesNoFile)
{
    QTemporaryDir dir;
    const struct {
        QString target;
        QString reason;
    } cases[] = {
        {dir.filePath(QStringLiteral("no such folder/x.pdf")),
         QStringLiteral("Mapa \"%1\" ne postoji.").arg(dir.filePath(QStringLiteral("no such folder")))},
        // A folder where no file can be made, even by the administrator.
        {QStringLiteral("/proc/tarvena-test.pdf"), QStringLiteral("U mapu \"/proc\" ne mogu se spremati datoteke.")},
        {dir.path(), QStringLiteral("Pod tim imenom već postoji mapa.")},
        // A FIFO (or a device) is never replaced by the file.
        {dir.filePath(QStringLiteral("fifo.pdf")), QStringLiteral("Pod tim imenom već postoji nešto što nije datoteka.")},
    };
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo.pdf"))).constData(), 0600), 0);
    TQRRezultatPretrage report;
    for (const auto& c : cases) {
        const TPdfSaveResult result =
            SaveResultAsPdf(report, QStringLiteral("pravo"), 1, ResultDocument({"\\par x"}), c.target);
        EXPECT_EQ(result.Outcome, TPdfSaveResult::TOutcome::Failed) << c.target.toStdString();
        const QString name = QFileInfo(c.target).fileName();
        EXPECT_TRUE(result.Message.startsWith(QStringLiteral("Datoteka \"%1\" nije spremljena.\r\n").arg(name)))
            << result.Message.toStdString();
        EXPECT_TRUE(result.Message.endsWith(c.reason)) << result.Message.toStdString();
        EXPECT_FALSE(QFileInfo(c.target).isFile()) << c.target.toStdString();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::System | QDir::Hidden), QStringList{QStringLiteral("fifo.pdf")});
    EXPECT_FALSE(report.Busy());
}

TEST(PdfExport, CancelInTheProgressWindowWritesNothingAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("kept.pdf"));
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("earlier result") == 14);
    old.close();

    TQRRezultatPretrage report;
    bool clicked = false;
    PressCancelInTheNextRun(report, clicked);
    const TPdfSaveResult result =
        SaveResultAsPdf(report, QStringLiteral("ugovor"), 300, LongResultDocument(300), target);
    ASSERT_TRUE(clicked);
    EXPECT_EQ(result.Outcome, TPdfSaveResult::TOutcome::Cancelled);
    EXPECT_EQ(Contents(target), QByteArray("earlier result"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("kept.pdf")});

    // The next save runs as usual.
    EXPECT_EQ(SaveResultAsPdf(report, QStringLiteral("ugovor"), 1, ResultDocument({"\\par x"}), target).Outcome,
              TPdfSaveResult::TOutcome::Saved);
    EXPECT_TRUE(Contents(target).startsWith("%PDF-"));
}

// A name near the file system's limit (122 × "ž" and ".pdf", 248 bytes)
// still gets a temporary file, and a replaced file keeps its permission bits.
TEST(PdfExport, LongNamesWorkAndAReplacedFileKeepsItsPermissions)
{
    QTemporaryDir dir;
    TQRRezultatPretrage report;
    const struct {
        QString name;
        QFileDevice::Permissions before;   // none: no file there
    } cases[] = {
        {QString(122, QChar(0x17E)) + QStringLiteral(".pdf"), {}},
        {QString(122, QChar(0x17E)) + QStringLiteral(".pdf"), QFileDevice::ReadOwner | QFileDevice::WriteOwner},
        {QStringLiteral("private.pdf"), QFileDevice::ReadOwner | QFileDevice::WriteOwner},
        {QStringLiteral("shared.pdf"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                           | QFileDevice::ReadOther},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString() + " " + std::to_string(int(c.before)));
        const QString target = dir.filePath(c.name);
        if (c.before) {
            QFile old(target);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
            old.close();
            ASSERT_TRUE(QFile::setPermissions(target, c.before));
        }
        const TPdfSaveResult saved = SaveResultAsPdf(report, QStringLiteral("ugovor"), 1, ResultDocument({"\\par x"}), target);
        EXPECT_EQ(saved.Outcome, TPdfSaveResult::TOutcome::Saved) << saved.Message.toStdString();
        EXPECT_TRUE(Contents(target).startsWith("%PDF-"));
        if (c.before) {
            const QFileDevice::Permissions mask = QFileDevice::ReadOwner | QFileDevice::WriteOwner
                | QFileDevice::ExeOwner | QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
                | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
            EXPECT_EQ(QFile::permissions(target) & mask, c.before);
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);   // no temporary left
}

// SIGTERM, SIGINT or SIGHUP in the middle of a save removes the temporary
// file and leaves the old one: a child process of this test saves a long
// result (RunExportChild) and gets the signal once its ".part" file exists.
TEST(PdfExport, ASignalDuringASaveLeavesNoTemporaryFile)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("rezultat.pdf"));
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TARVENA_PDF_EXPORT_CHILD"), target);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        ASSERT_TRUE(child.waitForStarted());
        const auto temporaries = [&] {
            return QDir(dir.path()).entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden);
        };
        ASSERT_TRUE(QTest::qWaitFor([&] { return !temporaries().isEmpty() || child.state() == QProcess::NotRunning; }, 60000));
        ASSERT_EQ(child.state(), QProcess::Running) << "the save ended before the signal";
        ::kill(pid_t(child.processId()), signal);
        ASSERT_TRUE(child.waitForFinished(30000));
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);   // ended by the signal, as before
        EXPECT_EQ(temporaries(), QStringList());
        EXPECT_EQ(Contents(target), QByteArray("old"));
    }
}

TEST(PdfExport, SuggestedNameCarriesTheTermInAFileNameAnySystemTakes)
{
    const struct {
        const char* term;
        const char* name;
    } cases[] = {
        {"tužitelj", "Rezultat pretrage - tužitelj.pdf"},
        {"  court of appeal ", "Rezultat pretrage - court of appeal.pdf"},
        {"and/or", "Rezultat pretrage - and_or.pdf"},
        {"a:b*c?\"<>|\\", "Rezultat pretrage - a_b_c______.pdf"},
        {"", "Rezultat pretrage.pdf"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SuggestedPdfFileName(QString::fromUtf8(c.term)), QString::fromUtf8(c.name)) << c.term;
}

} // namespace

// The child of ASignalDuringASaveLeavesNoTemporaryFile: saves a result of
// thousands of hits to target.
int RunExportChild(const QString& target)
{
    TQRRezultatPretrage report;
    SaveResultAsPdf(report, QStringLiteral("ugovor"), 5000, LongResultDocument(5000), target);
    return 0;
}
