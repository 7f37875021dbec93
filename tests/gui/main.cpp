// The window tests drive the real widgets on Qt's offscreen platform.
#include "Application.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Every test starts without the search options and history an earlier one
// left behind.
class FreshSettings : public ::testing::EmptyTestEventListener {
public:
    explicit FreshSettings(QString dir) : dir_(std::move(dir)) {}
    void OnTestStart(const ::testing::TestInfo&) override { QDir(dir_).removeRecursively(); }

private:
    QString dir_;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window keeps its search options and history in the user's
    // settings: the tests, and the programs they start, keep theirs in a
    // directory of their own.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    TApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(
        new FreshSettings(settings.filePath(QStringLiteral("Tarvena"))));
    return RUN_ALL_TESTS();
}
