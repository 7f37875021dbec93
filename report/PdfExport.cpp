#include "PdfExport.h"

#include "ureport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iterator>
#include <pthread.h>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// Why a file could not be made or renamed in folder, as a sentence.
QString Reason(int error, const QString& folder)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("Nemate dopuštenje za pisanje u mapu %1.").arg(Quoted(folder));
    case EROFS:
        return QStringLiteral("Mapa %1 je samo za čitanje.").arg(Quoted(folder));
    case ENOENT:
    case ENOTDIR:
        // A folder that is there but takes no files (a system folder) says so too.
        if (QFileInfo(folder).isDir())
            return QStringLiteral("U mapu %1 ne mogu se spremati datoteke.").arg(Quoted(folder));
        return QStringLiteral("Mapa %1 ne postoji.").arg(Quoted(folder));
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Na disku nema dovoljno mjesta.");
    default:
        return QStringLiteral("Zapisivanje nije uspjelo (pogreška sustava %1).").arg(error);
    }
}

TPdfSaveResult Failure(const QString& target, const QString& reason)
{
    return {TPdfSaveResult::TOutcome::Failed,
            QStringLiteral("Datoteka %1 nije spremljena.\r\n%2").arg(Quoted(QFileInfo(target).fileName()), reason)};
}

// A PDF writer that ran out of room leaves a file cut short: a whole one
// begins with its header and ends with its end-of-file marker.
bool IsWholePdf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 16)
        return false;
    if (!file.read(5).startsWith("%PDF-"))
        return false;
    file.seek(file.size() - 16);
    return file.read(16).contains("%%EOF");
}

// Bytes of the target's name kept in the temporary name: recognisable, and
// far below the file system's 255 whatever the target's length.
constexpr int kNameBytesKept = 32;

// The temporary file of a run, for the signal handler; empty when none.
char gPendingPath[4096];

const int kTerminatingSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction gPrevious[3];

// A signal that ends the program removes the half-written PDF first, then
// does what it would have done.
extern "C" void RemovePendingAndGoOn(int signal)
{
    if (gPendingPath[0])
        unlink(gPendingPath);
    for (size_t i = 0; i < std::size(kTerminatingSignals); ++i) {
        if (kTerminatingSignals[i] != signal)
            continue;
        sigaction(signal, &gPrevious[i], nullptr);
        if (gPrevious[i].sa_handler != SIG_DFL && gPrevious[i].sa_handler != SIG_IGN
            && !(gPrevious[i].sa_flags & SA_SIGINFO)) {
            gPrevious[i].sa_handler(signal);
            return;
        }
    }
    raise(signal);
}

void CatchTerminatingSignals()
{
    static bool caught = false;
    if (caught)
        return;
    caught = true;
    struct sigaction action {};
    action.sa_handler = RemovePendingAndGoOn;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < std::size(kTerminatingSignals); ++i)
        sigaction(kTerminatingSignals[i], &action, &gPrevious[i]);
}

// Holds the terminating signals back while the pending path changes.
class SignalsHeld {
public:
    SignalsHeld()
    {
        sigset_t set;
        sigemptyset(&set);
        for (const int signal : kTerminatingSignals)
            sigaddset(&set, signal);
        pthread_sigmask(SIG_BLOCK, &set, &previous_);
    }
    ~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

private:
    sigset_t previous_;
};

// The first bytes of a file name, never cut inside a UTF-8 sequence.
QByteArray ShortName(QByteArray name)
{
    if (name.size() <= kNameBytesKept)
        return name;
    int cut = kNameBytesKept;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    return name.left(cut);
}

// Creates an empty, unique file beside target (".NAME.XXXXXX.part", NAME
// cut short) with the permission bits of the file it will replace, or those
// a new file of the user's would get; its path, or empty with errno set.
// While it exists, a terminating signal removes it.
QString CreateTemporaryBeside(const QString& target)
{
    const QFileInfo info(target);
    QByteArray pattern = QFile::encodeName(info.absolutePath()) + "/." + ShortName(QFile::encodeName(info.fileName()))
        + ".XXXXXX.part";
    if (pattern.size() >= int(sizeof gPendingPath)) {
        errno = ENAMETOOLONG;
        return QString();
    }
    CatchTerminatingSignals();
    SignalsHeld held;
    const int fd = mkstemps(pattern.data(), 5);
    if (fd < 0)
        return QString();
    struct stat old {};
    mode_t mode;
    if (stat(QFile::encodeName(target).constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    fchmod(fd, mode);
    close(fd);
    memcpy(gPendingPath, pattern.constData(), size_t(pattern.size()) + 1);
    return QFile::decodeName(pattern);
}

// Removes the temporary file (when still there) and forgets it.
void RemoveTemporary(const QString& temporary)
{
    SignalsHeld held;
    QFile::remove(temporary);
    gPendingPath[0] = 0;
}

// Puts the finished file in the target's place; false with errno set.
bool Rename(const QString& temporary, const QString& target)
{
    SignalsHeld held;
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0)
        return false;
    gPendingPath[0] = 0;
    return true;
}

} // namespace

TPdfSaveResult SaveResultAsPdf(TQRRezultatPretrage& report, const QString& searchTerm, int hitCount,
                               const QByteArray& resultRtf, const QString& target, const QString& hitNote)
{
    if (report.Busy())
        return {TPdfSaveResult::TOutcome::Busy, QString()};
    const QString folder = QDir::toNativeSeparators(QFileInfo(target).absolutePath());
    if (QFileInfo(target).isDir())
        return Failure(target, QStringLiteral("Pod tim imenom već postoji mapa."));
    // A device or FIFO chosen by mistake is never replaced by a file.
    struct stat existing {};
    if (stat(QFile::encodeName(target).constData(), &existing) == 0 && !S_ISREG(existing.st_mode))
        return Failure(target, QStringLiteral("Pod tim imenom već postoji nešto što nije datoteka."));

    const QString temporary = CreateTemporaryBeside(target);
    if (temporary.isEmpty())
        return Failure(target, Reason(errno, folder));

    TPdfSaveResult result;
    try {
        if (!report.PrintResultToPdf(searchTerm, hitCount, resultRtf, temporary, QMarginsF(), hitNote))
            result = {TPdfSaveResult::TOutcome::Busy, QString()};
        else if (report.LastRunCancelled())
            result = {TPdfSaveResult::TOutcome::Cancelled, QString()};
        else if (!IsWholePdf(temporary))
            result = Failure(target, QStringLiteral("Zapis nije dovršen; na disku možda nema dovoljno mjesta."));
        else if (!Rename(temporary, target))
            result = Failure(target, Reason(errno, folder));
        else
            return {TPdfSaveResult::TOutcome::Saved, QString()};
    } catch (const std::exception& e) {
        result = Failure(target, QStringLiteral("Zapisivanje nije uspjelo (%1).").arg(QString::fromLocal8Bit(e.what())));
    }
    RemoveTemporary(temporary);
    return result;
}

QString SuggestedPdfFileName(const QString& searchTerm)
{
    QString term = searchTerm.trimmed();
    for (QChar& c : term)
        if (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    if (term.isEmpty())
        return QStringLiteral("Rezultat pretrage.pdf");
    return QStringLiteral("Rezultat pretrage - %1.pdf").arg(term);
}
