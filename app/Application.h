#pragma once
// The application object. Every handler of the program runs under the error
// guard already; this is the last line behind it, so that an error escaping
// any event (a paint, a timer, a widget of another part) is reported the
// same way instead of crossing Qt's event loop.
#include <QApplication>

class QTranslator;

class TApplication : public QApplication {
public:
    // The program speaks Croatian: Qt's own dialogs (the save dialog, its
    // overwrite question, the standard buttons) too, from Qt's Croatian
    // translations (Debian qt6-translations-l10n, qtbase_hr.qm). Without the
    // file they stay English, as before.
    TApplication(int& argc, char** argv);
    // True when Qt's Croatian translations were found and loaded.
    bool QtTranslated() const { return qtTranslated_; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    bool qtTranslated_ = false;
};
