// Starting and closing the real program: the first run, the user's section, side-by-side
// users, and the record saved on the way out.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <sstream>
#include <string>
#include <vector>

#include "model/quit_record.h"
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

    auto sections = parseIni(appData.readSettings());
    const IniSection* user = findSection(sections, "User 1");
    const IniSection* program = findSection(sections, "Kalverin");
    ASSERT_NE(user, nullptr);
    ASSERT_NE(program, nullptr);
    ASSERT_NE(program->find("Build"), nullptr);
    EXPECT_EQ(*program->find("Build"), "151");

    // Every key in its order with its default value; "*" stands for the quit start, checked below.
    std::istringstream defaults(
        "hkv=187\nhmod=2\nhkv1=120\nhmod1=2\nhkv2=121\nhmod2=2\nhkv3=122\nhmod3=2\nhkv4=123\n"
        "hmod4=2\nmirc=0\nStart=*\nspd=0\ncph=0\ncptu=0\ncpp=20\nwns=1\nwc=1\nws=1\nls=1\n"
        "sotb=4294967295\nName=User 1");
    std::vector<std::string> expected;
    for (std::string line; std::getline(defaults, line);) expected.push_back(line);
    expected.push_back("Text=" + storedText(kalverin::kDefaultPrimaryText, 1020));
    for (int i = 1; i <= 4; ++i) expected.push_back("Text" + std::to_string(i) + "=" + storedText("", 500));
    ASSERT_EQ(user->keys.size(), expected.size());
    for (size_t i = 0; i < user->keys.size(); ++i) {
        const size_t equals = expected[i].find('=');
        const std::string key = expected[i].substr(0, equals), value = expected[i].substr(equals + 1);
        EXPECT_EQ(user->keys[i].first, key) << "key " << i;
        if (value == "*") continue;
        EXPECT_EQ(user->keys[i].second, value) << key;
    }
    long start = std::atol(user->find("Start")->c_str());
    EXPECT_GE(start, before - 1);
    EXPECT_LE(start, after + 1);
}

TEST(StartUp, NoWelcomeOnceThisBuildHasRun) {
    AppDataFolder appData;
    appData.writeSettings(settingsText("User 1", {{"Name", "Ann"}, {"Start", "1000000000"}}, 150));
    KalverinProcess kalverin(appData);
    ASSERT_TRUE(kalverin.waitUntilMinimised());
    EXPECT_EQ(kalverin.findWindow("Welcome To Kalverin"), nullptr);
    EXPECT_EQ(kalverin.findWindow("Kalverin - Settings"), nullptr);
    auto sections = parseIni(appData.readSettings());
    ASSERT_NE(findSection(sections, "Kalverin"), nullptr);
    EXPECT_EQ(*findSection(sections, "Kalverin")->find("Build"), "150");
}

TEST(StartUp, CommandLineSelectsTheUsersSection) {
    AppDataFolder appData;
    appData.writeSettings(settingsText("Someone Else", {{"Name", "Other"}}));
    KalverinProcess kalverin(appData, "User 2");
    ASSERT_TRUE(kalverin.waitUntilMinimised());
    auto sections = parseIni(appData.readSettings());
    const IniSection* user = findSection(sections, "User 2");
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(*user->find("Name"), "User 2");
    ASSERT_NE(findSection(sections, "Someone Else"), nullptr);
    EXPECT_EQ(*findSection(sections, "Someone Else")->find("Name"), "Other");
    EXPECT_EQ(findSection(sections, "User 1"), nullptr);
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

    auto sections = parseIni(appData.readSettings());
    ASSERT_NE(findSection(sections, "Ann"), nullptr);
    ASSERT_NE(findSection(sections, "Bob"), nullptr);
    EXPECT_EQ(*findSection(sections, "Ann")->find("Name"), "Ann Smith");
    EXPECT_EQ(*findSection(sections, "Ann")->find("spd"), "20");
    EXPECT_EQ(*findSection(sections, "Bob")->find("Name"), "Bob Jones");
    EXPECT_EQ(*findSection(sections, "Bob")->find("spd"), "5");
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
    auto sections = parseIni(appData.readSettings());
    const IniSection* user = findSection(sections, "User 1");
    ASSERT_NE(user, nullptr);
    ASSERT_NE(user->find("spd"), nullptr);
    EXPECT_EQ(*user->find("spd"), "12");
    EXPECT_EQ(user->keys.size(), 27u);
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
