#include "Dialogs.h"

#include <QApplication>
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

} // namespace

Presenter SetPresenter(Presenter presenter)
{
    Presenter previous = std::move(CurrentPresenter());
    CurrentPresenter() = std::move(presenter);
    return previous;
}

void ShowMessageBox(const Message& message)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    if (message.kind != Kind::InputError)
        icon = QMessageBox::Critical;
    // The texts carry Windows line ends; a label wants only the line feed.
    QString text = message.text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(icon, message.caption, text, QMessageBox::NoButton, QApplication::activeWindow());
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

} // namespace dialogs
