#pragma once
// The program's modal message boxes: the input-error box, the exception
// report and the missing-file dialog of the start-up.
//
// All of them go through one replaceable presenter, so tests can record what
// would be shown instead of blocking on a modal box.
#include <QString>

#include <functional>

class QWidget;

namespace dialogs {

// The application title: the caption of the exception report.
inline const QString kApplicationTitle = QStringLiteral("Tarvena ver. 2.0");
inline const QString kInputErrorCaption = QStringLiteral("Greška unosa");
inline const QString kMissingFileCaption = QStringLiteral("Error");

enum class Kind {
    InputError,       // no icon, one OK button
    ExceptionReport,  // error icon, one OK button
    MissingFile,      // stop icon, one "OK" button
};

struct Message {
    Kind kind;
    QString caption;
    QString text;     // as the program words it, "\r\n" line ends included
};

using Presenter = std::function<void(const Message&)>;

// Replaces the presenter (an empty one restores the real boxes) and returns
// the previous one.
Presenter SetPresenter(Presenter presenter);

// The real modal box for a message; what the default presenter does.
void ShowMessageBox(const Message& message);

void ShowInputError(const QString& text);
void ShowMissingFile(const QString& text);
// The report of an error that escaped an event handler: the message with a
// full stop appended when its last character sorts after ".".
void ShowExceptionReport(const QString& message);
QString WithFullStop(const QString& message);

} // namespace dialogs
