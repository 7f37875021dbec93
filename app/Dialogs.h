#pragma once
// The program's modal message boxes: the input-error box, the exception
// report, the missing-file dialog of the start-up, the question put when no
// printer is installed, the failure of a save, and the save dialog for PDF.
//
// The boxes go through one replaceable presenter, the question and the save
// dialog through replaceable answerers, so tests can record what would be
// shown, and answer it, instead of blocking on a modal window.
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
    NoPrinter,        // information icon, "Spremi kao PDF…" and "Odustani"
    SaveFailed,       // warning icon, one OK button
    ClearHistory,     // question icon, "Obriši" and "Odustani"
};

struct Message {
    Kind kind;
    QString caption;
    QString text;     // as the program words it, "\r\n" line ends included
};

using Presenter = std::function<void(const Message&)>;
// Answers a question: true for its first button.
using Answerer = std::function<bool(const Message&)>;
// Answers the save dialog: the path chosen, empty when cancelled.
using FileNameAnswerer = std::function<QString(const QString& suggestedPath)>;

// Replaces the presenter (an empty one restores the real boxes) and returns
// the previous one.
Presenter SetPresenter(Presenter presenter);

// The real modal box for a message; what the default presenter does.
void ShowMessageBox(const Message& message);

Answerer SetAnswerer(Answerer answerer);
FileNameAnswerer SetFileNameAnswerer(FileNameAnswerer answerer);

void ShowInputError(const QString& text);
void ShowMissingFile(const QString& text);
// The report of an error that escaped an event handler: the message with a
// full stop appended when its last character sorts after ".".
void ShowExceptionReport(const QString& message);
QString WithFullStop(const QString& message);

// No printer is installed: offers to save the report as PDF instead; true
// when the user takes the offer.
bool AskSaveAsPdfWithoutPrinter();
void ShowSaveFailed(const QString& text);
// Before the search history is cleared: true when the user confirms.
bool AskClearHistory();
inline const QString kClearHistoryText = QStringLiteral("Obrisati sve prethodno tražene pojmove s popisa?");
// The standard save dialog for a PDF file, opened at suggestedPath; the path
// chosen (ending in ".pdf"), or empty when the user cancels.
QString AskPdfFileName(QWidget* parent, const QString& suggestedPath);

inline const QString kNoPrinterText = QStringLiteral(
    "Na računalu nije instaliran nijedan pisač.\r\nŽelite li rezultat pretrage spremiti kao PDF datoteku?");

} // namespace dialogs
