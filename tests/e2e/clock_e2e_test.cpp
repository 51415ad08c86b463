// The statistics as the running program shows them, with the wall clock frozen at
// 2002-03-27 14:45:12 UTC (the test runner sets TZ=UTC0 and an en-US locale).
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "resources/resource.h"
#include "tests/e2e/harness.h"

namespace e2e {
namespace {

std::string captionOnceTicked(HWND window, const std::string& notThis) {
    std::string caption;
    waitUntil([&] { return (caption = windowText(window)) != notThis && !caption.empty(); });
    return caption;
}

class ClockStatistics : public ::testing::Test {
protected:
    void SetUp() override {
        // Guard against running these cases on the live clock.
        ASSERT_EQ(static_cast<long long>(std::time(nullptr)), std::atoll(kExampleNow))
            << "run with the frozen clock";
    }
    AppDataFolder appData;
};

TEST_F(ClockStatistics, MinimisedCaptionOfTheFirstExample) {
    appData.writeSettings(settingsText("User 1", exampleHabit(kExampleQuit)));
    KalverinProcess kalverin(appData);
    HWND main = kalverin.waitUntilMinimised();
    ASSERT_NE(main, nullptr);
    const std::string expected =
        " 1Y 2M 1W 5D 5h 15m 12s, 8724 not smoked, a saving of $1,962.98, LS: 4W 2D 7h ";
    ASSERT_EQ(expected.size(), 78u);
    EXPECT_EQ(captionOnceTicked(main, "Kalverin v2.60"), expected);
}

TEST_F(ClockStatistics, ShownNormallyTheControlsCarryTheValues) {
    appData.writeSettings(settingsText("User 1", exampleHabit(kExampleQuit)));
    KalverinProcess kalverin(appData);
    HWND main = kalverin.waitUntilMinimised();
    ASSERT_NE(main, nullptr);
    ShowWindow(main, SW_RESTORE);
    ASSERT_TRUE(waitUntil([&] { return windowText(main) == "Kalverin Version 2"; }));
    ASSERT_TRUE(waitUntil([&] { return controlText(main, IDC_USER_NAME) == "Ann Example"; }));
    EXPECT_EQ(controlText(main, IDC_ELAPSED), "1Y 2M 1W 5D 5h 15m 12s");
    EXPECT_EQ(controlText(main, IDC_MONEY_SAVED), "$1,962.98");
    EXPECT_EQ(controlText(main, IDC_NOT_SMOKED), "8724");
    EXPECT_EQ(controlText(main, IDC_LIFE_SAVED), "4W 2D 7h ");
}

TEST_F(ClockStatistics, AFutureQuitCountsDown) {
    // The example's moments swapped: the quit lies 1 year, 2 months, ... ahead.
    appData.writeSettings(settingsText("User 1", exampleHabit(kFutureQuit)));
    KalverinProcess kalverin(appData);
    HWND main = kalverin.waitUntilMinimised();
    ASSERT_NE(main, nullptr);
    std::string caption = captionOnceTicked(main, "Kalverin v2.60");
    EXPECT_EQ(caption.rfind(" -1Y -2M -1W -5D -5h -15m -12s, 0 not smoked, a saving of $0.00", 0), 0u)
        << caption;
}

TEST_F(ClockStatistics, SecondsAndLifeSavedFollowTheirFlags) {
    auto keys = exampleHabit(kExampleQuit);
    keys.push_back({"ws", "0"});
    keys.push_back({"ls", "0"});
    appData.writeSettings(settingsText("User 1", keys));
    KalverinProcess kalverin(appData);
    HWND main = kalverin.waitUntilMinimised();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(captionOnceTicked(main, "Kalverin v2.60"),
              " 1Y 2M 1W 5D 5h 15m, 8724 not smoked, a saving of $1,962.98");
    // Shown normally, the seconds are back and the life saved stays on its own line.
    ShowWindow(main, SW_RESTORE);
    ASSERT_TRUE(waitUntil([&] { return windowText(main) == "Kalverin Version 2"; }));
    ASSERT_TRUE(waitUntil([&] { return controlText(main, IDC_ELAPSED) == "1Y 2M 1W 5D 5h 15m 12s"; }));
    EXPECT_EQ(controlText(main, IDC_LIFE_SAVED), "4W 2D 7h ");
}

}  // namespace
}  // namespace e2e
