#include "Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace dialogs {
namespace {

Presenter& CurrentPresenter()
{
    static Presenter presenter;
    return presenter;
}

void Present(const Message& message)
{
    // A copy: the presenter may replace itself while it runs.
    const Presenter presenter = CurrentPresenter();
    if (presenter)
        presenter(message);
    else
        ShowMessageBox(message);
}

Answerer& CurrentAnswerer()
{
    static Answerer answerer;
    return answerer;
}

FileNameAnswerer& CurrentFileNameAnswerer()
{
    static FileNameAnswerer answerer;
    return answerer;
}

QString LabelText(const QString& text)
{
    // The texts carry Windows line ends; a label wants only the line feed.
    QString label = text;
    label.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return label;
}

} // namespace

Answerer SetAnswerer(Answerer answerer)
{
    Answerer previous = std::move(CurrentAnswerer());
    CurrentAnswerer() = std::move(answerer);
    return previous;
}

FileNameAnswerer SetFileNameAnswerer(FileNameAnswerer answerer)
{
    FileNameAnswerer previous = std::move(CurrentFileNameAnswerer());
    CurrentFileNameAnswerer() = std::move(answerer);
    return previous;
}

Presenter SetPresenter(Presenter presenter)
{
    Presenter previous = std::move(CurrentPresenter());
    CurrentPresenter() = std::move(presenter);
    return previous;
}

void ShowMessageBox(const Message& message)
{
    QMessageBox::Icon icon = QMessageBox::Critical;
    if (message.kind == Kind::InputError)
        icon = QMessageBox::NoIcon;
    else if (message.kind == Kind::SaveFailed)
        icon = QMessageBox::Warning;
    QMessageBox box(icon, message.caption, LabelText(message.text), QMessageBox::NoButton, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void ShowInputError(const QString& text)
{
    Present({Kind::InputError, kInputErrorCaption, text});
}

void ShowMissingFile(const QString& text)
{
    Present({Kind::MissingFile, kMissingFileCaption, text});
}

QString WithFullStop(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void ShowExceptionReport(const QString& message)
{
    Present({Kind::ExceptionReport, kApplicationTitle, WithFullStop(message)});
}

bool AskSaveAsPdfWithoutPrinter()
{
    const Message message{Kind::NoPrinter, kApplicationTitle, kNoPrinterText};
    const Answerer answerer = CurrentAnswerer();
    if (answerer)
        return answerer(message);
    QMessageBox box(QMessageBox::Information, message.caption, LabelText(message.text), QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    QPushButton* save = box.addButton(QStringLiteral("Spremi kao PDF…"), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Odustani"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    return box.clickedButton() == save;
}

bool AskClearHistory()
{
    const Message message{Kind::ClearHistory, kApplicationTitle, kClearHistoryText};
    const Answerer answerer = CurrentAnswerer();
    if (answerer)
        return answerer(message);
    QMessageBox box(QMessageBox::Question, message.caption, message.text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    QPushButton* clear = box.addButton(QStringLiteral("Obriši"), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Odustani"), QMessageBox::RejectRole);
    // Nothing is lost by Enter alone.
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    return box.clickedButton() == clear;
}

void ShowSaveFailed(const QString& text)
{
    Present({Kind::SaveFailed, kApplicationTitle, text});
}

QString AskPdfFileName(QWidget* parent, const QString& suggestedPath)
{
    const FileNameAnswerer answerer = CurrentFileNameAnswerer();
    if (answerer)
        return answerer(suggestedPath);
    QFileDialog dialog(parent, QStringLiteral("Spremi kao PDF"), suggestedPath, QStringLiteral("PDF (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(suggestedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

} // namespace dialogs
