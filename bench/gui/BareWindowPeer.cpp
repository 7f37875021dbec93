// The start-up benchmark's peer: a bare Qt Widgets program that shows one
// empty main window, under the same name as the program's, so the probe
// times it the same way. What Qt itself costs to start on this machine.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setObjectName(QStringLiteral("fVokabar"));
    window.resize(700, 500);
    window.show();
    return app.exec();
}
