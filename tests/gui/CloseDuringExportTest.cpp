// Closing the main window while a PDF export is running (its progress
// window showing) cancels the export, leaves no file behind and ends the
// program's event loop, whether by Ctrl+K or by the window's close button.
#include "GuiTestSupport.h"

#include "ReportProgressForm.h"
#include "Forms.h"
#include "uglavni.h"
#include "ureport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Thousands of hits: the export runs over many pages, long enough to be
// closed in the middle.
constexpr int kEntries = 3000;

TEST(CloseDuringExportTest, ClosingCancelsTheExportAndEndsTheProgram)
{
    WorkingDir dir;
    std::string index, entries;
    for (int i = 0; i < kEntries; ++i) {
        const std::string word = "court " + std::to_string(i);
        index += word + ". " + word + " sud\r\n";
        entries += "\\par {\\b " + word + "} - sud, sudski postupak pred sudom broj " + std::to_string(i) + ".\r\n";
    }
    dir.WriteData(index, entries);
    if (QRRezultatPretrage == nullptr)
        QRRezultatPretrage = new TQRRezultatPretrage;
    DialogRecorder shown;

    const struct {
        const char* how;
        std::function<void(TfVokabar&)> close;
    } ways[] = {
        // The progress window took the focus: the user clicks the main window first.
        {"Ctrl+K",
         [](TfVokabar& w) {
             QApplication::setActiveWindow(&w);
             QTest::keyClick(&w, Qt::Key_K, Qt::ControlModifier);
         }},
        {"the close button", [](TfVokabar& w) { w.close(); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        QTemporaryDir out;
        const QString target = out.filePath(QStringLiteral("rezultat.pdf"));
        const dialogs::FileNameAnswerer previous = dialogs::SetFileNameAnswerer([&](const QString&) { return target; });

        auto window = std::make_unique<TfVokabar>();
        // As the program's start-up wires it.
        QObject::connect(window.get(), &TfVokabar::closed, qApp, &QCoreApplication::quit);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->CBKljuc->lineEdit()->setText(QStringLiteral("court"));
        window->Trai2->trigger();
        window->Oznaisve2->trigger();   // reads the whole result

        bool closed = false, exportReturned = false, timedOut = false;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            TReportProgressForm* progress = QRRezultatPretrage->ProgressForm();
            if (!closed && progress != nullptr && progress->isVisible() && QRRezultatPretrage->Busy()) {
                closed = true;
                way.close(*window);
            }
        });
        closer.start(20);
        QTimer::singleShot(0, [&] {
            window->SpremikaoPDF1->trigger();
            exportReturned = true;
        });
        QTimer::singleShot(60000, [&] {
            timedOut = true;
            QCoreApplication::exit(1);
        });
        QElapsedTimer clock;
        clock.start();
        QCoreApplication::exec();
        closer.stop();

        EXPECT_TRUE(closed) << "the progress window never showed";
        EXPECT_FALSE(timedOut) << "the event loop did not end";
        EXPECT_TRUE(exportReturned);
        EXPECT_FALSE(QRRezultatPretrage->Busy());
        EXPECT_FALSE(window->isVisible());
        EXPECT_FALSE(QFile::exists(target));
        EXPECT_EQ(QDir(out.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
        EXPECT_TRUE(shown.shown.empty());
        dialogs::SetFileNameAnswerer(previous);
    }
}

} // namespace
