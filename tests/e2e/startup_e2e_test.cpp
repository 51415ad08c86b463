// Starting and closing the real program: the first run, the user's section, side-by-side
// users, and the record saved on the way out.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "model/quit_record.h"
#include "model/settings.h"
#include "tests/e2e/harness.h"

namespace e2e {
namespace {

TEST(StartUp, FirstRunShowsTheWelcomeAndWritesEveryKeyWithItsDefault) {
    AppDataFolder appData;
    long before = static_cast<long>(std::time(nullptr));
    KalverinProcess kalverin(appData);
    ASSERT_TRUE(kalverin.started());
    // A person takes a while over the quit details: several ticks pass before they close, and
    // the window still ends up minimised.
    ASSERT_TRUE(getPastFirstRun(kalverin, 2500));
    ASSERT_TRUE(kalverin.waitUntilMinimised());
    long after = static_cast<long>(std::time(nullptr));

    EXPECT_EQ(storedSetting(appData, "Kalverin", "Build"), "151");
    const std::string start = userSetting(appData, "Start");

    // Every key in its order with its default value, and no other: the whole section.
    std::string expected =
        "[User 1]\r\nhkv=187\r\nhmod=2\r\nhkv1=120\r\nhmod1=2\r\nhkv2=121\r\nhmod2=2\r\nhkv3=122\r\n"
        "hmod3=2\r\nhkv4=123\r\nhmod4=2\r\nmirc=0\r\nStart=" +
        start +
        "\r\nspd=0\r\ncph=0\r\ncptu=0\r\ncpp=20\r\nwns=1\r\nwc=1\r\nws=1\r\nls=1\r\n"
        "sotb=4294967295\r\nName=User 1\r\nText=" +
        storedText(kalverin::kDefaultPrimaryText, 1020) + "\r\n";
    for (int i = 1; i <= 4; ++i) expected += "Text" + std::to_string(i) + "=" + storedText("", 500) + "\r\n";
    const std::string text = appData.readSettings();
    const size_t at = text.find("[User 1]\r\n"), end = at + expected.size();
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(text.substr(at, expected.size()), expected);
    EXPECT_TRUE(end == text.size() || text[end] == '[') << "a key after the last";
    long quitStart = std::atol(start.c_str());
    EXPECT_GE(quitStart, before - 1);
    EXPECT_LE(quitStart, after + 1);
}

TEST(StartUp, NoWelcomeOnceThisBuildHasRun) {
    AppDataFolder appData;
    appData.writeSettings(settingsText("User 1", {{"Name", "Ann"}, {"Start", "1000000000"}}, 150));
    KalverinProcess kalverin(appData);
    ASSERT_TRUE(kalverin.waitUntilMinimised());
    EXPECT_EQ(kalverin.findWindow("Welcome To Kalverin"), nullptr);
    EXPECT_EQ(kalverin.findWindow("Kalverin - Settings"), nullptr);
    EXPECT_EQ(storedSetting(appData, "Kalverin", "Build"), "150");
}

TEST(StartUp, CommandLineSelectsTheUsersSection) {
    AppDataFolder appData;
    appData.writeSettings(settingsText("Someone Else", {{"Name", "Other"}}));
    KalverinProcess kalverin(appData, "User 2");
    ASSERT_TRUE(kalverin.waitUntilMinimised());
    EXPECT_EQ(storedSetting(appData, "User 2", "Name"), "User 2");
    EXPECT_EQ(storedSetting(appData, "Someone Else", "Name"), "Other");
    EXPECT_EQ(appData.readSettings().find("[User 1]"), std::string::npos);
}

TEST(StartUp, TwoUsersSideBySideKeepTwoSections) {
    AppDataFolder appData;
    appData.writeSettings(settingsText("Ann", {{"Name", "Ann Smith"}, {"spd", "20"}}) +
                          "[Bob]\r\nName=Bob Jones\r\nspd=5\r\n");
    KalverinProcess ann(appData, "Ann");
    ASSERT_TRUE(ann.waitUntilMinimised());
    KalverinProcess bob(appData, "Bob");
    ASSERT_TRUE(bob.waitUntilMinimised());
    EXPECT_TRUE(ann.running());

    bob.pressEscape(bob.mainWindow());
    ASSERT_TRUE(bob.waitForExit());
    ann.pressEscape(ann.mainWindow());
    ASSERT_TRUE(ann.waitForExit());

    EXPECT_EQ(storedSetting(appData, "Ann", "Name"), "Ann Smith");
    EXPECT_EQ(storedSetting(appData, "Ann", "spd"), "20");
    EXPECT_EQ(storedSetting(appData, "Bob", "Name"), "Bob Jones");
    EXPECT_EQ(storedSetting(appData, "Bob", "spd"), "5");
}

TEST(StartUp, EscapeEndsTheProgramAndLeavesTheRecordSaved) {
    AppDataFolder appData;
    appData.writeSettings(settingsText("User 1", {{"Name", "Ann"}, {"spd", "12"}}));
    KalverinProcess kalverin(appData);
    HWND main = kalverin.waitUntilMinimised();
    ASSERT_NE(main, nullptr);
    // Shutdown saves the whole record: a key the file lacked is there afterwards.
    appData.writeSettings(settingsText("User 1", {{"Name", "Ann"}}));
    kalverin.pressEscape(main);
    ASSERT_TRUE(kalverin.waitForExit());
    EXPECT_EQ(kalverin.exitCode(), 0u);
    EXPECT_EQ(userSetting(appData, "spd"), "12");
    for (const kalverin::SettingsKey& key : kalverin::kSettingsKeys) {
        if (key.section != kalverin::SettingsSection::user) continue;
        EXPECT_NE(userSetting(appData, key.name), "<missing>");
    }
}

TEST(StartUp, ABadSectionNameIsRefusedWithoutTouchingTheFile) {
    AppDataFolder appData;
    const std::string original = settingsText("User 1", {{"Name", "Ann"}});
    appData.writeSettings(original);
    KalverinProcess kalverin(appData, "bad]name");
    HWND box = kalverin.waitForWindow("kalverin");
    ASSERT_NE(box, nullptr);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(kalverin.waitForExit());
    EXPECT_EQ(kalverin.exitCode(), 1u);
    EXPECT_EQ(appData.readSettings(), original);
}

}  // namespace
}  // namespace e2e
