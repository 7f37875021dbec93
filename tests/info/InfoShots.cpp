// Saves pictures of the splash, the About dialog, the help window and the
// cover art into the folder given as the argument (default: the working
// directory). Run under a virtual X server to see them as a user would.
#include "HelpAccess.h"
#include "CoverArt.h"
#include "HelpViewer.h"
#include "uabout.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    auto save = [&out](QWidget* w, const char* name) {
        w->grab().save(out.filePath(QString::fromLatin1(name)));
    };

    PaintCoverArt().scaled(380, 600, Qt::KeepAspectRatio, Qt::FastTransformation)
        .save(out.filePath(QStringLiteral("cover-2x.png")));

    TAboutBox box;
    box.ShowSplash();
    save(&box, "splash.png");
    // The whole screen as well, to see the splash centred and without a frame.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        screen->grabWindow(0).save(out.filePath(QStringLiteral("screen-splash.png")));
    box.CloseSplash();

    QTimer::singleShot(300, &box, [&] {
        save(&box, "about.png");
        box.OKButton->click();
    });
    box.ShowAbout();

    ShowHelpContents(HelpFilePath(), nullptr);
    THelpViewer* viewer = CurrentHelpViewer();
    QTimer::singleShot(300, viewer, [&] {
        save(viewer, "help.png");
        viewer->Browser()->setSource(QUrl(QStringLiteral("topic:precice")));
        save(viewer, "help-shortcuts.png");
        ShowHelpContents(out.filePath(QStringLiteral("nema/Pomoć.hlp")), nullptr);
        save(viewer, "help-missing.png");
        app.quit();
    });
    return app.exec();
}
