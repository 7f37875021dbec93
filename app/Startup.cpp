#include "Startup.h"

#include "Dialogs.h"
#include "DictionaryCache.h"
#include "DictionaryStore.h"
#include "Forms.h"
#include "icons/ToolIcons.h"
#include "uglavni.h"

#include "uabout.h"
#include "ureport.h"

#include <QApplication>
#include <QFileInfo>

#include <memory>
#include <optional>

QString MissingFileMessage(const QString& fileName)
{
    return DictionaryStore::MissingFileMessage(fileName);
}

namespace {

// The names are relative on purpose: the data files are looked up in the
// working directory, not beside the program.
bool DataFileMissing(const char* name, const StartupHooks& hooks)
{
    if (QFileInfo(QString::fromLatin1(name)).isFile())
        return false;
    const QString text = MissingFileMessage(QString::fromLatin1(name));
    if (hooks.missingFile)
        hooks.missingFile(text);
    else
        dialogs::ShowMissingFile(text);
    return true;
}

} // namespace

int RunVokabar(QApplication& app, const StartupHooks& hooks)
{
    // The title is the caption of the exception report. Only the application
    // name is set: a display name would be appended to every window caption.
    QApplication::setApplicationName(dialogs::kApplicationTitle);
    // Every window and message box of the program carries the emblem, and
    // the desktop finds the program's menu entry (name and icon) under
    // this name.
    QApplication::setWindowIcon(ProgramIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("hr.tarvena.Tarvena"));

    if (DataFileMissing(DictionaryStore::IndexFileName, hooks)
        || DataFileMissing(DictionaryStore::EntryFileName, hooks))
        return 0;

    // The unpacked dictionary of an earlier run, when it fits the files as
    // they are now (DictionaryCache.h). Otherwise both files are read and
    // unpacked on a worker thread from here on, while the splash and the
    // main window are built; the main window's loading takes them over and
    // reports on them in the usual order.
    auto cache = std::make_unique<DictionaryCache>(QString::fromLatin1(DictionaryStore::IndexFileName),
                                                   QString::fromLatin1(DictionaryStore::EntryFileName));
    std::optional<DataFilesInFlight> dataFiles;
    if (!cache->Open())
        dataFiles.emplace(DictionaryStore::IndexFileName, DictionaryStore::EntryFileName);

    if (AboutBox == nullptr)
        AboutBox = new TAboutBox;
    // Painted now: the loading below keeps the thread busy.
    AboutBox->ShowSplash();

    // The constructor loads the dictionary (FormCreate) and reports its own
    // errors; the window opens with whatever loaded.
    fVokabar = new TfVokabar(nullptr, dataFiles ? &*dataFiles : nullptr, std::move(cache));

    if (QRRezultatPretrage == nullptr)
        QRRezultatPretrage = new TQRRezultatPretrage;
    AboutBox->CloseSplash();

    if (hooks.run) {
        hooks.run(*fVokabar);
    } else {
        // Closing the main window ends the program even while other windows
        // of it (the help) are open.
        QObject::connect(fVokabar, &TfVokabar::closed, &app, &QCoreApplication::quit);
        fVokabar->show();
        app.exec();
    }
    return 0;
}
