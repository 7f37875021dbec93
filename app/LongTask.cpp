#include "LongTask.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>

#include <memory>

namespace longtask {

namespace {
bool running = false;
constexpr int kSteps = 1000;   // the progress bar's resolution
} // namespace

bool Run(QWidget* parent, const QString& label, const Step& step)
{
    if (running)
        return false;
    running = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<QProgressDialog> dialog;
    bool done = false;
    bool cancelled = false;
    try {
        for (;;) {
            double progress = 0;
            if (step(progress)) {
                done = true;
                break;
            }
            if (!dialog && clock.elapsed() >= kProgressAfterMs) {
                dialog = std::make_unique<QProgressDialog>(label, QStringLiteral("Odustani"), 0, kSteps, parent);
                dialog->setObjectName(QStringLiteral("LongTaskProgress"));
                dialog->setWindowTitle(QApplication::applicationName());
                dialog->setWindowModality(Qt::WindowModal);
                dialog->setMinimumDuration(0);
                dialog->setAutoReset(false);
                dialog->setAutoClose(false);
                dialog->show();
                // The progress window takes clicks; the pointer is no longer
                // "wait" over it.
                QApplication::changeOverrideCursor(Qt::BusyCursor);
            }
            if (dialog) {
                dialog->setValue(int(progress * kSteps));
                QCoreApplication::processEvents();
                if (dialog->wasCanceled()) {
                    cancelled = true;
                    break;
                }
            } else {
                // Painting goes on; input waits its turn, as it would had
                // this been done in one go.
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            }
        }
    } catch (...) {
        QApplication::restoreOverrideCursor();
        running = false;
        throw;
    }
    QApplication::restoreOverrideCursor();
    running = false;
    return done && !cancelled;
}

} // namespace longtask
