// The window tests drive the real widgets on Qt's offscreen platform.
#include "Application.h"
#include "PrivateSettings.h"

#include <gtest/gtest.h>

namespace {

// Every test starts without the search options and history an earlier one
// left behind.
class FreshSettings : public ::testing::EmptyTestEventListener {
public:
    explicit FreshSettings(const PrivateSettings& settings) : settings_(settings) {}
    void OnTestStart(const ::testing::TestInfo&) override { settings_.Clear(); }

private:
    const PrivateSettings& settings_;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const PrivateSettings settings;
    TApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshSettings(settings));
    return RUN_ALL_TESTS();
}
