// libFuzzer target for the settings file as the program reads it: the input
// is written as the settings file (XDG_CONFIG_HOME points into a folder of
// the fuzzer's own), then the options and the history are read, a term is
// added and the file read again. Whatever the bytes, the reads must give
// sane values (no empty or overlong history term, at most the limit) and
// nothing may crash or trip a sanitizer.
#include "SearchSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QString SettingsFile()
{
    static QTemporaryDir* dir = [] {
        auto* d = new QTemporaryDir;
        qputenv("XDG_CONFIG_HOME", d->path().toLocal8Bit());
        QDir(d->path()).mkpath(QStringLiteral("Tarvena"));
        return d;
    }();
    return dir->filePath(QStringLiteral("Tarvena/Tarvena.conf"));
}

void CheckHistory(const QStringList& history)
{
    if (history.size() > searchsettings::HistoryLimit)
        std::abort();
    for (const QString& term : history)
        if (term.isEmpty() || term.size() > searchsettings::HistoryTermLimit)
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int argc = 1;
    static char name[] = "settings_fuzzer";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    // Qt's notes on damaged values ("QVariant::load: unknown user type")
    // would fill the log and slow every run.
    static const QtMessageHandler quiet = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    (void)quiet;

    const QString path = SettingsFile();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const SearchOptions options = searchsettings::LoadOptions();
    CheckHistory(searchsettings::LoadHistory());
    SearchOptions changed = options;
    changed.ignoreDiacritics = !changed.ignoreDiacritics;
    // Writing costs a sync of the file; one input in eight takes that path.
    if (size % 8 == 0) {
        searchsettings::SaveOptions(changed);
        searchsettings::AppendHistory(QStringLiteral("court"));
        CheckHistory(searchsettings::LoadHistory());
    }
    QFile::remove(path + QStringLiteral(".lock"));
    return 0;
}
