#include "Application.h"

#include "ErrorGuard.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    errorguard::Run([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
