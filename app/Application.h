#pragma once
// The application object. Every handler of the program runs under the error
// guard already; this is the last line behind it, so that an error escaping
// any event (a paint, a timer, a widget of another part) is reported the
// same way instead of crossing Qt's event loop.
#include <QApplication>

class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
