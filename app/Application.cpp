#include "Application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "ErrorGuard.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // The program's locale is Croatian whatever the system's is.
    const QLocale croatian(QLocale::Croatian, QLocale::Croatia);
    auto* translator = new QTranslator(this);
    if (translator->load(croatian, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installTranslator(translator);
        qtTranslated_ = true;
    } else {
        delete translator;
    }
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    errorguard::Run([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
