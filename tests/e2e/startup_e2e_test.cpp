// Starting and closing the real program: the first run, the user's section, side-by-side
// users, and the record saved on the way out.
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>

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

    const std::vector<std::pair<std::string, std::string>> expected = {
        {"hkv", "187"},
        {"hmod", "2"},
        {"hkv1", "120"},
        {"hmod1", "2"},
        {"hkv2", "121"},
        {"hmod2", "2"},
        {"hkv3", "122"},
        {"hmod3", "2"},
        {"hkv4", "123"},
        {"hmod4", "2"},
        {"mirc", "0"},
        {"Start", "*"},
        {"spd", "0"},
        {"cph", "0"},
        {"cptu", "0"},
        {"cpp", "20"},
        {"wns", "1"},
        {"wc", "1"},
        {"ws", "1"},
        {"ls", "1"},
        {"sotb", "4294967295"},
        {"Name", "User 1"},
        {"Text", storedText(kalverin::kDefaultPrimaryText, 1020)},
        {"Text1", storedText("", 500)},
        {"Text2", storedText("", 500)},
        {"Text3", storedText("", 500)},
        {"Text4", storedText("", 500)},
    };
    ASSERT_EQ(user->keys.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(user->keys[i].first, expected[i].first) << "key " << i;
        if (expected[i].second != "*") {
            EXPECT_EQ(user->keys[i].second, expected[i].second) << expected[i].first;
        }
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
