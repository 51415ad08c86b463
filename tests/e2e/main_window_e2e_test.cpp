// The main window driven as a user would: Enter, Esc, the primary hot-key control, the
// buttons and the system menu's About item, and hiding behind the taskbar icon.
#include <gtest/gtest.h>

#include <memory>

#include "resources/resource.h"
#include "tests/e2e/harness.h"

#include <commctrl.h>

namespace e2e {
namespace {

class MainWindow : public ::testing::Test {
protected:
    HWND start(const std::vector<std::pair<std::string, std::string>>& keys = {{"Name", "Ann"}}) {
        appData.writeSettings(settingsText("User 1", keys));
        kalverin = std::make_unique<KalverinProcess>(appData);
        return kalverin->waitUntilMinimised();
    }
    std::string stored(const char* key) const { return userSetting(appData, key); }
    static void press(HWND window, WPARAM key) {
        PostMessageA(window, WM_KEYDOWN, key, 1);
        PostMessageA(window, WM_KEYUP, key, 0xC0000001);
    }
    AppDataFolder appData;
    std::unique_ptr<KalverinProcess> kalverin;
};

TEST_F(MainWindow, EnterSendsToTaskbarAndStoresTheNewHotKey) {
    HWND main = start();
    ASSERT_NE(main, nullptr);
    ShowWindow(main, SW_RESTORE);
    ASSERT_TRUE(waitUntil([&] { return !IsIconic(main) && windowText(main) == "Kalverin Version 2"; }));
    SendDlgItemMessageA(main, IDC_PRIMARY_HOT_KEY, HKM_SETHOTKEY, MAKEWORD(VK_F5, HOTKEYF_SHIFT), 0);
    press(main, VK_RETURN);
    ASSERT_TRUE(waitUntil([&] { return IsIconic(main) && stored("hkv") == "116"; }));
    EXPECT_EQ(stored("hmod"), "1");
    EXPECT_TRUE(kalverin->running());  // sent to the taskbar, not closed
}

TEST_F(MainWindow, ClosingWithoutSendingKeepsTheStoredHotKey) {
    HWND main = start();
    ASSERT_NE(main, nullptr);
    SendDlgItemMessageA(main, IDC_PRIMARY_HOT_KEY, HKM_SETHOTKEY, MAKEWORD(VK_F5, HOTKEYF_SHIFT), 0);
    kalverin->pressEscape(main);
    ASSERT_TRUE(kalverin->waitForExit());
    EXPECT_EQ(stored("hkv"), "187");
    EXPECT_EQ(stored("hmod"), "2");
}

TEST_F(MainWindow, ButtonsOpenTheirDialogs) {
    HWND main = start();
    ASSERT_NE(main, nullptr);
    const struct {
        int button;
        const char* caption;
    } cases[] = {{IDC_CHAT, "About Kalverin v2.60"},
                 {IDC_PREVIEW, "Kalverin Online - A Preview"},
                 {IDC_CHANGE_QUIT_DETAILS, "Kalverin - Settings"}};
    for (const auto& c : cases) {
        PostMessageA(main, WM_COMMAND, MAKEWPARAM(c.button, BN_CLICKED), 0);
        HWND dialog = kalverin->waitForWindow(c.caption);
        ASSERT_NE(dialog, nullptr) << c.caption;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(waitUntil([&] { return kalverin->findWindow(c.caption) == nullptr; })) << c.caption;
    }
}

TEST_F(MainWindow, AboutFromTheSystemMenuOpensOnce) {
    HWND main = start();
    ASSERT_NE(main, nullptr);
    PostMessageA(main, WM_SYSCOMMAND, 16, 0);
    HWND about = kalverin->waitForWindow("About Kalverin v2.60");
    ASSERT_NE(about, nullptr);
    // A second request while the first box is up is refused; the low four bits do not count.
    PostMessageA(main, WM_SYSCOMMAND, 16 | 3, 0);
    PostMessageA(main, WM_NULL, 0, 0);
    Sleep(300);  // give a wrongly opened second box the chance to appear
    int count = 0;
    for (HWND window : kalverin->topLevelWindows())
        if (IsWindowVisible(window) && windowText(window) == "About Kalverin v2.60") ++count;
    EXPECT_EQ(count, 1);
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(waitUntil([&] { return kalverin->findWindow("About Kalverin v2.60") == nullptr; }));
    PostMessageA(main, WM_SYSCOMMAND, 16, 0);
    HWND again = kalverin->waitForWindow("About Kalverin v2.60");
    ASSERT_NE(again, nullptr);
    PostMessageA(again, WM_COMMAND, IDOK, 0);
}

TEST_F(MainWindow, ALifeInTheIconAloneHidesTheMinimisedWindow) {
    HWND main = start({{"Name", "Ann"}, {"sotb", "0"}});
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(main); }));
    EXPECT_TRUE(IsIconic(main));
    // The caption still carries the statistics for the next time it shows.
    EXPECT_TRUE(waitUntil([&] { return windowText(main).find("not smoked") != std::string::npos; }))
        << windowText(main);
}

}  // namespace
}  // namespace e2e
