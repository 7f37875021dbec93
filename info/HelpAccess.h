// The help command: the help file beside the running executable, shown in
// the program's help window.
#pragma once

#include <QString>

class QWidget;
class THelpViewer;

// The directory of the running executable (not the working directory)
// followed by "Pomoć.hlp".
QString HelpFilePath();
// The same for a given executable path: everything up to and including its
// last "/" followed by "Pomoć.hlp".
QString HelpFilePathFor(const QString& executablePath);

// Shows the contents of the help file in the one help window of the program,
// without modality; the window says so itself when the file cannot be shown.
void ShowHelpContents(const QString& helpFile, QWidget* owner);

// The help window, once the help command has made it; null before.
THelpViewer* CurrentHelpViewer();
