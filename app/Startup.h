#pragma once
// The program's start-up, as a function the entry calls and tests drive:
// title, the two data-file checks, the splash, the main window with its
// loading, the hidden report form, the end of the splash and the event loop.
#include <QString>

#include <functional>

class QApplication;
class TfVokabar;

struct StartupHooks {
    // Shows the missing-file dialog; empty: the real modal box.
    std::function<void(const QString& text)> missingFile;
    // Runs the event loop once the forms exist and the splash is gone, and
    // returns when the program is to end; empty: show the main window and
    // run the application's loop until the main window closes.
    std::function<void(TfVokabar& window)> run;
};

// The two missing-file messages.
QString MissingFileMessage(const QString& fileName);

// Every outcome ends with exit code 0: refused, or run until closed.
int RunVokabar(QApplication& app, const StartupHooks& hooks = {});
