#include "SearchSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <optional>

namespace searchsettings {
namespace {

const QString kIgnoreDiacritics = QStringLiteral("search/ignoreDiacritics");
const QString kWholeWords = QStringLiteral("search/wholeWords");
const QString kLegalOnly = QStringLiteral("search/legalOnly");
const QString kBestFirst = QStringLiteral("search/bestFirst");
const QString kAllForms = QStringLiteral("search/allForms");
const QString kHistory = QStringLiteral("search/history");
const QString kDirection = QStringLiteral("search/direction");

// The options as this instance last read or wrote them: only what differs
// from them is written, so another instance's later change of another
// option stays.
std::optional<SearchOptions> known;
std::optional<bool> knownCroatianEnglish;

// Why the file must be left alone; empty when it is a regular file of sane
// size or does not exist yet. stat() follows a link, so a link to /dev/null
// counts as the device it names, and a FIFO is never opened (opening one
// waits for a writer).
QString Unusable(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return errno == ENOENT ? QString() : QStringLiteral("nije dostupna");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("nije obična datoteka");
    if (st.st_size >= FileLimit)
        return QStringLiteral("je prevelika");
    return {};
}

// QSettings reads "@Variant(...)" and "@DateTime(...)" values through a
// binary reader that takes lengths from the text: a few damaged bytes in a
// small file ask for gigabytes (found by fuzzing). The program never writes
// such values, so lines holding them are damage, and are dropped from the
// file before QSettings reads it.
void DropBinaryValues(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.read(FileLimit);
    file.close();
    const auto binary = [](const QByteArray& line) {
        return line.contains("@Variant(") || line.contains("@DateTime(");
    };
    if (!binary(bytes))
        return;
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeIf(binary);
    const QByteArray kept = lines.join('\n');
    QSaveFile repaired(path);
    if (repaired.open(QIODevice::WriteOnly) && repaired.write(kept) == kept.size())
        repaired.commit();
}

// The settings, or nothing when the file must not be touched. An explicit
// path: QSettings' own search would also read the organisation's and the
// system's files, which nobody checked.
std::unique_ptr<QSettings> Open()
{
    const QString path = FilePath();
    if (!Unusable(path).isEmpty())
        return nullptr;
    DropBinaryValues(path);
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

// Only a value written as a boolean counts: a damaged "yes" or "1x" is off.
bool Flag(const QSettings& settings, const QString& key)
{
    const QVariant value = settings.value(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    return value.typeId() == QMetaType::QString && value.toString() == QLatin1String("true");
}

QStringList History(const QSettings& settings)
{
    const QVariant value = settings.value(kHistory);
    QStringList terms;
    if (value.typeId() == QMetaType::QStringList || value.typeId() == QMetaType::QString)
        terms = value.toStringList();
    terms.removeIf([](const QString& term) { return term.isEmpty() || term.size() > HistoryTermLimit; });
    return terms.mid(qMax<qsizetype>(0, terms.size() - HistoryLimit));
}

void WriteIfChanged(QSettings& settings, const QString& key, bool value, std::optional<bool> before)
{
    if (before != value)
        settings.setValue(key, value);
}

} // namespace

QString FilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Tarvena/Tarvena.conf");
}

QString Problem()
{
    const QString path = FilePath();
    const QString why = Unusable(path);
    if (why.isEmpty())
        return {};
    return QStringLiteral("Postavke se ne spremaju: %1 %2.").arg(QDir::toNativeSeparators(path), why);
}

SearchOptions LoadOptions()
{
    SearchOptions options;
    const std::unique_ptr<QSettings> settings = Open();
    if (settings && settings->status() == QSettings::NoError) {
        options.ignoreDiacritics = Flag(*settings, kIgnoreDiacritics);
        options.wholeWords = Flag(*settings, kWholeWords);
        options.legalOnly = Flag(*settings, kLegalOnly);
        options.allForms = Flag(*settings, kAllForms);
        options.bestFirst = Flag(*settings, kBestFirst);
    }
    known = options;
    return options;
}

QStringList LoadHistory()
{
    const std::unique_ptr<QSettings> settings = Open();
    if (!settings || settings->status() != QSettings::NoError)
        return {};
    return History(*settings);
}

void SaveOptions(const SearchOptions& options)
{
    std::unique_ptr<QSettings> settings = Open();
    if (!settings)
        return;
    const auto before = [](bool SearchOptions::*flag) {
        return known ? std::optional<bool>((*known).*flag) : std::nullopt;
    };
    WriteIfChanged(*settings, kIgnoreDiacritics, options.ignoreDiacritics, before(&SearchOptions::ignoreDiacritics));
    WriteIfChanged(*settings, kWholeWords, options.wholeWords, before(&SearchOptions::wholeWords));
    WriteIfChanged(*settings, kLegalOnly, options.legalOnly, before(&SearchOptions::legalOnly));
    WriteIfChanged(*settings, kAllForms, options.allForms, before(&SearchOptions::allForms));
    WriteIfChanged(*settings, kBestFirst, options.bestFirst, before(&SearchOptions::bestFirst));
    known = options;
}

void SaveHistory(const QStringList& terms)
{
    std::unique_ptr<QSettings> settings = Open();
    if (settings)
        settings->setValue(kHistory, terms.mid(qMax<qsizetype>(0, terms.size() - HistoryLimit)));
}

void AppendHistory(const QString& term)
{
    std::unique_ptr<QSettings> settings = Open();
    if (!settings || term.isEmpty() || term.size() > HistoryTermLimit)
        return;
    // A damaged file is not made worse: its history is not rebuilt from it.
    if (settings->status() != QSettings::NoError)
        return;
    QStringList terms = History(*settings);
    terms << term;
    settings->setValue(kHistory, terms.mid(qMax<qsizetype>(0, terms.size() - HistoryLimit)));
}

bool LoadCroatianEnglish()
{
    const std::unique_ptr<QSettings> settings = Open();
    knownCroatianEnglish = settings && settings->status() == QSettings::NoError
        && settings->value(kDirection).toString() == QLatin1String("hr-en");
    return *knownCroatianEnglish;
}

void SaveCroatianEnglish(bool croatianEnglish)
{
    std::unique_ptr<QSettings> settings = Open();
    if (!settings || knownCroatianEnglish == croatianEnglish)
        return;
    settings->setValue(kDirection, croatianEnglish ? QStringLiteral("hr-en") : QStringLiteral("en-hr"));
    knownCroatianEnglish = croatianEnglish;
}

} // namespace searchsettings
