#include "SearchSettings.h"

#include <QSettings>

namespace searchsettings {
namespace {

const QString kIgnoreDiacritics = QStringLiteral("search/ignoreDiacritics");
const QString kWholeWords = QStringLiteral("search/wholeWords");
const QString kLegalOnly = QStringLiteral("search/legalOnly");
const QString kBestFirst = QStringLiteral("search/bestFirst");
const QString kAllForms = QStringLiteral("search/allForms");
const QString kHistory = QStringLiteral("search/history");
const QString kDirection = QStringLiteral("search/direction");

// The program's own organisation and application names, whatever the
// application object is called (its name is the program's title).
QSettings Open()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tarvena"),
                     QStringLiteral("Tarvena"));
}

// Only a value written as a boolean counts: a damaged "yes" or "1x" is off.
bool Flag(const QSettings& settings, const QString& key)
{
    const QVariant value = settings.value(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    return value.typeId() == QMetaType::QString && value.toString() == QLatin1String("true");
}

} // namespace

SearchOptions LoadOptions()
{
    const QSettings settings = Open();
    SearchOptions options;
    if (settings.status() != QSettings::NoError)
        return options;
    options.ignoreDiacritics = Flag(settings, kIgnoreDiacritics);
    options.wholeWords = Flag(settings, kWholeWords);
    options.legalOnly = Flag(settings, kLegalOnly);
    options.bestFirst = Flag(settings, kBestFirst);
    options.allForms = Flag(settings, kAllForms);
    return options;
}

QStringList LoadHistory()
{
    const QSettings settings = Open();
    if (settings.status() != QSettings::NoError)
        return {};
    const QVariant value = settings.value(kHistory);
    QStringList terms;
    if (value.typeId() == QMetaType::QStringList || value.typeId() == QMetaType::QString)
        terms = value.toStringList();
    terms.removeAll(QString());
    return terms.mid(qMax<qsizetype>(0, terms.size() - HistoryLimit));
}

void SaveOptions(const SearchOptions& options)
{
    QSettings settings = Open();
    settings.setValue(kIgnoreDiacritics, options.ignoreDiacritics);
    settings.setValue(kWholeWords, options.wholeWords);
    settings.setValue(kLegalOnly, options.legalOnly);
    settings.setValue(kBestFirst, options.bestFirst);
    settings.setValue(kAllForms, options.allForms);
}

void SaveHistory(const QStringList& terms)
{
    QSettings settings = Open();
    settings.setValue(kHistory, terms.mid(qMax<qsizetype>(0, terms.size() - HistoryLimit)));
}

bool LoadCroatianEnglish()
{
    const QSettings settings = Open();
    return settings.status() == QSettings::NoError
        && settings.value(kDirection).toString() == QLatin1String("hr-en");
}

void SaveCroatianEnglish(bool croatianEnglish)
{
    QSettings settings = Open();
    settings.setValue(kDirection, croatianEnglish ? QStringLiteral("hr-en") : QStringLiteral("en-hr"));
}

} // namespace searchsettings
