#include "HelpAccess.h"

#include "HelpViewer.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

namespace {

QPointer<THelpViewer>& Viewer()
{
    static QPointer<THelpViewer> viewer;
    return viewer;
}

} // namespace

QString HelpFilePathFor(const QString& executablePath)
{
    const qsizetype slash = executablePath.lastIndexOf(u'/');
    return executablePath.left(slash + 1) + QStringLiteral(u"Pomo\u0107.hlp");
}

QString HelpFilePath()
{
    // applicationFilePath() follows the link to the running image, so the
    // working directory plays no part.
    return HelpFilePathFor(QCoreApplication::applicationFilePath());
}

void ShowHelpContents(const QString& helpFile, QWidget* owner)
{
    QPointer<THelpViewer>& viewer = Viewer();
    if (!viewer) {
        // A window of its own, as a help viewer is: it may lie behind the
        // main window, never keeps the program running, and goes with the
        // window that asked for it.
        viewer = new THelpViewer;
        viewer->setAttribute(Qt::WA_QuitOnClose, false);
        if (owner) {
            QObject::connect(owner, &QObject::destroyed, viewer, &QObject::deleteLater);
            viewer->move(owner->geometry().topLeft() + QPoint(60, 60));
        }
    }
    viewer->ShowContents(helpFile);
    // Opened again, it comes to the front, not where it lay.
    viewer->raise();
    viewer->activateWindow();
}

THelpViewer* CurrentHelpViewer()
{
    return Viewer();
}
