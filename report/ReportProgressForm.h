// The small modeless window shown while a report prints: a progress bar, a
// line of text and a Cancel button that cancels the job.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class TReportPrinter;

class TReportProgressForm : public QDialog {
    Q_OBJECT
public:
    explicit TReportProgressForm(TReportPrinter* job, QWidget* parent = nullptr);

    QProgressBar* ProgressBar;
    QLabel* Info;
    QPushButton* CancelButton;

    void CancelButtonClick();
    // Escape and the close box cancel the job too; the window itself stays
    // until the run is over.
    void reject() override;

protected:
    void customEvent(QEvent* event) override;

private:
    TReportPrinter* m_job;
};
