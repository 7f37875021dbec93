#include "PdfExport.h"

#include "ureport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
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

// Creates an empty, unique file beside target with the permissions a new
// file of the user's would get; its path, or empty with errno set.
QString CreateTemporaryBeside(const QString& target)
{
    const QFileInfo info(target);
    QByteArray pattern = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName()
                                           + QStringLiteral(".XXXXXX.part"));
    const int fd = mkstemps(pattern.data(), 5);
    if (fd < 0)
        return QString();
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    return QFile::decodeName(pattern);
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
        else if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0)
            result = Failure(target, Reason(errno, folder));
        else
            return {TPdfSaveResult::TOutcome::Saved, QString()};
    } catch (const std::exception& e) {
        result = Failure(target, QStringLiteral("Zapisivanje nije uspjelo (%1).").arg(QString::fromLocal8Bit(e.what())));
    }
    QFile::remove(temporary);
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
