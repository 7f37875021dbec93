#include "ReportProgressForm.h"

#include "ReportPrinter.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

TReportProgressForm::TReportProgressForm(TReportPrinter* job, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint
                          | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_job(job)
{
    setObjectName(QStringLiteral("ReportProgressForm"));
    setWindowTitle(QStringLiteral("Printing progress"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setFixedSize(147, 84);
    setModal(false);

    ProgressBar = new QProgressBar(this);
    ProgressBar->setGeometry(10, 10, width() - 20, 15);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    ProgressBar->setAccessibleName(QStringLiteral("Napredak ispisa"));

    Info = new QLabel(this);
    Info->setObjectName(QStringLiteral("Info"));
    Info->setGeometry(0, 28, 145, 13);
    Info->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(36, 52, 75, 25);
    CancelButton->setAccessibleDescription(QStringLiteral("Prekida ispis"));
    connect(CancelButton, &QPushButton::clicked, this, &TReportProgressForm::CancelButtonClick);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    if (m_job)
        m_job->SetClient(this);
}

void TReportProgressForm::CancelButtonClick()
{
    if (m_job)
        m_job->Cancel();
}

void TReportProgressForm::reject()
{
    CancelButtonClick();
}

void TReportProgressForm::customEvent(QEvent* event)
{
    if (event->type() != kReportProgressEvent || !m_job)
        return; // page-count announcements are not shown
    const int percent = m_job->Progress();
    if (percent % 5 != 0)
        return;
    ProgressBar->setValue(percent);
    Info->setText(QString::number(percent) + QStringLiteral("%  Completed"));
    QCoreApplication::processEvents();
}
