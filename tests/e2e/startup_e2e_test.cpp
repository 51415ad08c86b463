// Starting and closing the real program: the first run, the user's section, side-by-side
// users, and the record saved on the way out.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <ctime>
#include <string>

#include "model/profile_disk_win.h"
#include "model/quit_record.h"
#include "model/settings.h"
#include "resources/resource.h"
#include "tests/e2e/harness.h"
#include "tests/support/captured_process_win.h"

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

    // Ann again, as the settings file names her section: the running copy comes forward and
    // the second one leaves without a save that would undo the first one's changes.
    HWND annMain = ann.mainWindow();
    KalverinProcess annAgain(appData, " aNN ");
    ASSERT_TRUE(annAgain.waitForExit());
    EXPECT_EQ(annAgain.exitCode(), 0u);
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(annMain) && !IsIconic(annMain); }));
    EXPECT_TRUE(ann.running());
    // A change after it (Shift+F5 as the hot-key) survives every copy closing.
    SendDlgItemMessageA(annMain, IDC_PRIMARY_HOT_KEY, HKM_SETHOTKEY, MAKEWORD(VK_F5, HOTKEYF_SHIFT), 0);
    ASSERT_TRUE(storesWithoutAMessage(annMain));

    bob.pressEscape(bob.mainWindow());
    ASSERT_TRUE(bob.waitForExit());
    ann.pressEscape(ann.mainWindow());
    ASSERT_TRUE(ann.waitForExit());

    EXPECT_EQ(storedSetting(appData, "Ann", "Name"), "Ann Smith");
    EXPECT_EQ(storedSetting(appData, "Ann", "spd"), "20");
    EXPECT_EQ(storedSetting(appData, "Ann", "hkv"), "116");
    EXPECT_EQ(storedSetting(appData, "Ann", "hmod"), "1");
    EXPECT_EQ(storedSetting(appData, "Bob", "Name"), "Bob Jones");
    EXPECT_EQ(storedSetting(appData, "Bob", "spd"), "5");
}

// Ann's program running, "spd" 12 in its record; the file then loses the key, which only the
// record in memory still holds.
class StartedWithARecord : public ::testing::Test {
protected:
    static const AppDataFolder& written(AppDataFolder& folder) {
        folder.writeSettings(settingsText("User 1", {{"Name", "Ann"}, {"spd", "12"}}));
        return folder;
    }
    void SetUp() override {
        ASSERT_NE(main, nullptr);
        appData.writeSettings(settingsText("User 1", {{"Name", "Ann"}}));
    }

    AppDataFolder appData;
    KalverinProcess kalverin{written(appData)};
    HWND main = kalverin.waitUntilMinimised();
};

// Shutdown saves the whole record: a key the file lacked is there afterwards.
TEST_F(StartedWithARecord, EscapeEndsTheProgramAndLeavesTheRecordSaved) {
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

// A save the system refuses leaves the file byte for byte and is told once, with the file and
// the reason; once the cause is gone the next save stores the change and keeps the other user.
TEST(StartUp, ARefusedSaveLeavesTheFileAndIsToldOnce) {
    const std::string shim = environment("KALVERIN_DISK_FULL_SHIM");
    HANDLE held = INVALID_HANDLE_VALUE;
    struct Cause {
        const char* name;
        std::function<void(const AppDataFolder&)> begin, end;
    };
    const Cause causes[] = {
        {"read-only",
         [](const AppDataFolder& a) {
             SetFileAttributesA(a.settingsPath().c_str(), FILE_ATTRIBUTE_READONLY);
         },
         [](const AppDataFolder& a) { SetFileAttributesA(a.settingsPath().c_str(), FILE_ATTRIBUTE_NORMAL); }},
        {"held open without sharing by another program",
         [&](const AppDataFolder& a) {
             held = CreateFileA(a.settingsPath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
         },
         [&](const AppDataFolder&) { CloseHandle(held); }},
        {"disk full part-way",
         [](const AppDataFolder& a) {
             CloseHandle(CreateFileA((a.path() + "\\disk-full").c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_ALWAYS, 0, nullptr));
         },
         [](const AppDataFolder& a) { DeleteFileA((a.path() + "\\disk-full").c_str()); }},
    };
    for (const Cause& cause : causes) {
        SCOPED_TRACE(cause.name);
        const bool diskFull = std::string(cause.name) == "disk full part-way";
        if (diskFull && shim.empty()) continue;  // no Unix side to fill (Windows itself)
        AppDataFolder appData;
        appData.writeSettings(settingsText("User 1", {{"Name", "Ann"}, {"spd", "12"}}) +
                              "; a note\r\n[Other]\r\nName=Keep me\r\nodd key\r\n");
        // The shim is preloaded into the whole run: only the flag file wakes it.
        KalverinProcess kalverin(appData);
        HWND main = kalverin.waitUntilMinimised();
        ASSERT_NE(main, nullptr);
        const std::string before = appData.readSettings();
        SendDlgItemMessageA(main, IDC_PRIMARY_HOT_KEY, HKM_SETHOTKEY, MAKEWORD(VK_F5, HOTKEYF_SHIFT), 0);

        cause.begin(appData);
        PostMessageA(main, WM_COMMAND, IDOK, 0);
        std::string told;
        HWND box = nullptr;
        ASSERT_TRUE(waitUntil([&] { return (box = findSaveFailure(kalverin, told)) != nullptr; }));
        EXPECT_NE(told.find(" to " + appData.settingsPath() + ": "), std::string::npos) << told;
        EXPECT_NE(
            told.find(". Your figures are kept while Kalverin runs; it will try again at the next save."),
            std::string::npos)
            << told;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(waitUntil([&] { return !IsWindow(box); }));
        EXPECT_TRUE(storesWithoutAMessage(main)) << "told once, not at every save that fails again";
        cause.end(appData);
        EXPECT_EQ(appData.readSettings(), before);
        size_t entries = 0;
        for (const auto& entry : std::filesystem::directory_iterator(appData.path() + "\\Kalverin"))
            (void)entry, ++entries;
        EXPECT_EQ(entries, 1u) << "no temporary file is left";

        ASSERT_TRUE(storesWithoutAMessage(main));
        EXPECT_EQ(userSetting(appData, "hkv"), "116");
        EXPECT_EQ(userSetting(appData, "spd"), "12");
        EXPECT_NE(appData.readSettings().find("; a note\r\n[Other]\r\nName=Keep me\r\nodd key\r\n"),
                  std::string::npos);
        kalverin.pressEscape(main);
        ASSERT_TRUE(kalverin.waitForExit());
    }
}

// Windows may end the process right after the session-end messages: the record is stored
// (a change only in memory among it) and the icon goes before that.
TEST_F(StartedWithARecord, SessionEndStoresTheRecordBeforeTheProcessEnds) {
    SendDlgItemMessageA(main, IDC_PRIMARY_HOT_KEY, HKM_SETHOTKEY, MAKEWORD(VK_F5, HOTKEYF_SHIFT), 0);
    ASSERT_TRUE(storesWithoutAMessage(main));
    appData.writeSettings(settingsText("User 1", {{"Name", "Ann"}}));  // the record lives on in memory
    EXPECT_EQ(SendMessageA(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_EQ(userSetting(appData, "spd"), "12");
    SendMessageA(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    ASSERT_TRUE(kalverin::terminateAndWait(kalverin.handle(), 0));  // as Windows may, at once
    EXPECT_EQ(userSetting(appData, "spd"), "12");
    EXPECT_EQ(userSetting(appData, "hkv"), "116");
}

// A profile folder outside the ANSI code page (Wine names it after USER when it makes the
// prefix) gets the settings file, read and written there, and nothing goes to the Windows
// folder. The prefix here is shared, so the folder comes through APPDATA, as wide text.
TEST(StartUp, AProfileFolderOutsideTheAnsiCodePageHoldsTheFile) {
    const std::string profile = "C:\\users\\\xD0\x96\xD0\xB0\xD0\xBD";  // "Жан" in UTF-8
    const std::wstring settings = kalverin::wideText(profile + "\\AppData\\Roaming\\Kalverin\\kalverin.ini");
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring legacy = std::wstring(windows) + L"\\kalverin.ini";
    const bool legacyBefore = GetFileAttributesW(legacy.c_str()) != INVALID_FILE_ATTRIBUTES;
    AppDataFolder unused;
    for (int run = 0; run < 2; ++run) {
        KalverinProcess kalverin(unused, "", {{"APPDATA", profile + "\\AppData\\Roaming"}});
        if (run == 0) {
            ASSERT_TRUE(getPastFirstRun(kalverin));
        }
        HWND main = kalverin.waitUntilMinimised();
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(kalverin.findWindow("Welcome To Kalverin"), nullptr) << "read back at the second start";
        kalverin.pressEscape(main);
        ASSERT_TRUE(kalverin.waitForExit());
        EXPECT_NE(GetFileAttributesW(settings.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    EXPECT_EQ(GetFileAttributesW(legacy.c_str()) != INVALID_FILE_ATTRIBUTES, legacyBefore);
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(kalverin::wideText(profile)), ignored);
}

}  // namespace
}  // namespace e2e
