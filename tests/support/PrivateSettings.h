#pragma once
// The program keeps its search options and history in the user's settings
// (QSettings, an INI file under XDG_CONFIG_HOME). Tests and benchmarks, and
// the programs they start, keep theirs in a temporary folder of their own
// while this object lives: they neither read the user's nor leave any behind.
#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

class PrivateSettings {
public:
    // The unpacked dictionary the program and the lookup keep between runs
    // (DictionaryCache.h) goes there too.
    PrivateSettings()
    {
        qputenv("XDG_CONFIG_HOME", dir_.path().toLocal8Bit());
        qputenv("XDG_CACHE_HOME", dir_.filePath(QStringLiteral("cache")).toLocal8Bit());
    }
    // Forgets what the program saved so far.
    void Clear() const { QDir(dir_.filePath(QStringLiteral("Tarvena"))).removeRecursively(); }

private:
    QTemporaryDir dir_;
};
