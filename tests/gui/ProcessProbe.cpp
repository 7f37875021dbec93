// A probe preloaded into the real vokabar2 process by the tests and the
// start-up benchmark (LD_PRELOAD). It adds nothing to the program: it
// watches the application's events from outside, reports on stderr what
// the user would see, and plays the user's part:
//
//   PROBE DIALOG icon=<n> caption=<..> buttons=<..> text=<..>   a message box
//                                                               shown, then its
//                                                               button clicked
//   PROBE SPLASH <ms>                  the About window first painted
//   PROBE MAIN <ms> rss=<kB> splash=<0|1> rows=<n>
//                                      the main window (named fVokabar) first
//                                      painted, then closed (built with
//                                      PROBE_ENDS_WITH_CTRL_K: ended with
//                                      Ctrl+K, "Kraj rada", as the user does)
//
// Times are milliseconds since the moment in PROBE_T0_NS (CLOCK_MONOTONIC
// nanoseconds, set by the harness just before it started the process).
#include <QAbstractItemView>
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#ifdef PROBE_ENDS_WITH_CTRL_K
#include <QTest>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

double MillisecondsSinceStart()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long nowNs = static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
    const char* t0 = std::getenv("PROBE_T0_NS");
    const long long startNs = t0 ? std::atoll(t0) : nowNs;
    return double(nowNs - startNs) / 1e6;
}

long ResidentKilobytes()
{
    long kb = -1;
    if (FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status))
            if (std::strncmp(line, "VmRSS:", 6) == 0)
                kb = std::atol(line + 6);
        std::fclose(status);
    }
    return kb;
}

QByteArray OneLine(QString text)
{
    text.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return text.toUtf8();
}

class Probe : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto* box = qobject_cast<QMessageBox*>(watched))
                Answer(box);
        } else if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            QWidget* window = static_cast<QWidget*>(watched)->window();
            if (!splashPainted_ && window->inherits("TAboutBox")) {
                splashPainted_ = true;
                std::fprintf(stderr, "PROBE SPLASH %.2f\n", MillisecondsSinceStart());
            } else if (!mainPainted_ && window->objectName() == QLatin1String("fVokabar")) {
                mainPainted_ = true;
                MainShown(window);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Answer(QMessageBox* box)
    {
        QByteArray buttons;
        for (QAbstractButton* button : box->buttons())
            buttons += (buttons.isEmpty() ? "" : ",") + button->text().toUtf8();
        std::fprintf(stderr, "PROBE DIALOG icon=%d caption=%s buttons=%s text=%s\n", int(box->icon()),
                     OneLine(box->windowTitle()).constData(), buttons.constData(), OneLine(box->text()).constData());
        std::fflush(stderr);
        QTimer::singleShot(0, box, [box] {
            if (!box->buttons().isEmpty())
                box->buttons().first()->click();
        });
    }

    void MainShown(QWidget* window)
    {
        const double ms = MillisecondsSinceStart();
        bool splash = false;
        int rows = -1;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->inherits("TAboutBox") && top->isVisible())
                splash = true;
        if (auto* list = window->findChild<QAbstractItemView*>(QStringLiteral("WordsList")))
            rows = list->model() ? list->model()->rowCount() : -1;
        std::fprintf(stderr, "PROBE MAIN %.2f rss=%ld splash=%d rows=%d\n", ms, ResidentKilobytes(), int(splash), rows);
        std::fflush(stderr);
#ifdef PROBE_ENDS_WITH_CTRL_K
        QTimer::singleShot(0, window, [window] {
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus ? focus : window, Qt::Key_K, Qt::ControlModifier);
        });
#else
        QTimer::singleShot(0, window, [window] { window->close(); });
#endif
    }

    bool splashPainted_ = false;
    bool mainPainted_ = false;
};

void InstallProbe()
{
    qApp->installEventFilter(new Probe(qApp));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallProbe)
