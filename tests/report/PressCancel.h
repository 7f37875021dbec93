#pragma once
// Cancel pressed as a user would: in the progress window, as soon as the run
// that is about to start has shown it.
#include "ReportProgressForm.h"
#include "ureport.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

// Arms the press for the next run of report; pressed tells afterwards
// whether the window was there to press.
inline void PressCancelInTheNextRun(TQRRezultatPretrage& report, bool& pressed)
{
    pressed = false;
    QTimer::singleShot(0, [&report, &pressed] {
        if (TReportProgressForm* form = report.ProgressForm()) {
            QTest::mouseClick(form->CancelButton, Qt::LeftButton);
            pressed = true;
        }
    });
}
