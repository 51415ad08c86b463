// Hot-paste, "Copy Sig To Clipboard" and the taskbar icon of the real program: keys are
// injected from this process (Wine hands them to the program's hot-keys) while an edit
// control of this process has the focus.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <vector>

#include "app/main_window.h"
#include "resources/resource.h"
#include "tests/e2e/harness.h"
#include "tests/support/clipboard_win.h"
#include "tests/support/tray_icons_win.h"

namespace e2e {
namespace {

using kalverin::ClipboardHolder;
using kalverin::clipboardText;
using kalverin::setClipboardText;

constexpr const char* kInitialCaption = "Kalverin v2.60";
constexpr UINT kTrayCallback = 102;

std::string primaryText(const std::string& text) {
    return storedText(text, 1020);
}
std::string secondaryText(const std::string& text) {
    return storedText(text, 500);
}

// A message box of the program showing `text`.
HWND findMessageBox(const KalverinProcess& process, const std::string& text) {
    for (HWND window : process.topLevelWindows()) {
        char cls[16] = "";
        GetClassNameA(window, cls, sizeof cls);
        if (std::string(cls) != "#32770") continue;
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (windowText(child) == text) return window;
    }
    return nullptr;
}

void clickButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Ticks a check box of the quit details dialog and saves the dialog.
bool saveQuitDetailsWithSecondary(const KalverinProcess& process, HWND main, bool enabled) {
    clickButton(main, IDC_CHANGE_QUIT_DETAILS);
    HWND dialog = process.waitForWindow("Kalverin - Settings");
    if (!dialog) return false;
    SendMessageA(GetDlgItem(dialog, IDC_QD_ENABLE_SECONDARY), BM_SETCHECK,
                 enabled ? BST_CHECKED : BST_UNCHECKED, 0);
    clickButton(dialog, IDOK);
    return waitUntil([&] { return !IsWindow(dialog); });
}

class HotPaste : public ::testing::Test {
protected:
    // Starts the program with these keys in section "User 1" (a first run that is over).
    HWND start(std::vector<std::pair<std::string, std::string>> keys) {
        appData.writeSettings(settingsText("User 1", keys));
        kalverin = std::make_unique<KalverinProcess>(appData);
        HWND main = kalverin->waitUntilMinimised();
        EXPECT_TRUE(target.focus());
        return main;
    }

    // Closes the program as a user would and sees it end, this thread answering messages
    // meanwhile so that nothing the program sends our windows on its way out has to wait.
    void TearDown() override {
        if (!kalverin || !kalverin->running()) return;
        if (HWND main = kalverin->mainWindow()) PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(waitUntil([&] { return !kalverin->running(); }));
    }

    AppDataFolder appData;
    std::unique_ptr<KalverinProcess> kalverin;
    TargetEdit target;
};

TEST_F(HotPaste, DefaultCombinationPastesThePrimaryTextAndALineBreak) {
    ASSERT_TRUE(start({{"Name", "Ann"}, {"Text", primaryText("{+N} has stopped smoking.")}}));
    EXPECT_TRUE(press({VK_CONTROL}, VK_OEM_PLUS, [&] {
        return target.waitForText("Ann has stopped smoking.\r\n");
    })) << target.text();
    EXPECT_EQ(clipboardText(), "Ann has stopped smoking.\r\n");
}

// Keys as a person's hands send them: the combination's modifiers are still down when the
// hot-key arrives, and let go some time later; presses come a tenth of a second apart at the
// fastest. (Wine keeps a process's view of the keyboard for 50 ms: a press sooner after the
// program last looked would find it looking at the old keys.)
constexpr DWORD kBetweenPresses = 100;

TEST_F(HotPaste, ModifiersHeldAsAPersonHoldsThem) {
    // Ctrl+Alt+P for the primary text, Ctrl+F9 for the second.
    ASSERT_TRUE(start({{"Text", primaryText("sig")},
                       {"hkv", "80"},
                       {"hmod", "6"},
                       {"mirc", "1"},
                       {"Text1", secondaryText("two")}}));
    // Alt still down would make Ctrl+V Ctrl+Alt+V: the paste waits until it is let go.
    key(VK_CONTROL), key(VK_MENU), key('P'), key('P', true);
    Sleep(300);
    EXPECT_EQ(target.text(), "");
    key(VK_MENU, true), key(VK_CONTROL, true);
    EXPECT_TRUE(target.waitForText("sig\r\n")) << target.text();
    target.clear();
    Sleep(kBetweenPresses);

    // With Ctrl held, each press of Ctrl+F9 pastes: the paste leaves the person's Ctrl down.
    const std::string two = "two\r\n";
    key(VK_CONTROL), key(VK_F9), key(VK_F9, true);
    EXPECT_TRUE(target.waitForText(two)) << target.text();
    Sleep(kBetweenPresses);
    key(VK_F9), key(VK_F9, true);
    EXPECT_TRUE(target.waitForText(two + two)) << target.text();
    Sleep(kBetweenPresses);

    // Held down, the key repeats without a key-up: one paste. The next press pastes again,
    // and nothing else arrives in between.
    for (int repeat = 0; repeat < 6; ++repeat) key(VK_F9), Sleep(30);
    key(VK_F9, true);
    Sleep(200);
    key(VK_F9), key(VK_F9, true);
    EXPECT_TRUE(target.waitForText(two + two + two + two)) << target.text();
    key(VK_CONTROL, true);
    Sleep(300);
    EXPECT_EQ(target.text(), two + two + two + two);
}

TEST_F(HotPaste, EmptyTextPastesJustALineBreak) {
    ASSERT_TRUE(start({{"Text", primaryText("")}}));
    EXPECT_TRUE(press({VK_CONTROL}, VK_OEM_PLUS, [&] { return target.waitForText("\r\n"); }))
        << target.text();
}

TEST_F(HotPaste, CombinationFromTheControlTakesOverOnSendToTaskbar) {
    HWND main = start({{"Text", primaryText("sig")}});
    ASSERT_TRUE(main);
    SendMessageA(GetDlgItem(main, IDC_PRIMARY_HOT_KEY), HKM_SETHOTKEY, MAKEWORD(VK_F5, HOTKEYF_SHIFT), 0);
    // Sent, not posted: it returns once the window has saved and registered the new
    // combination, so the key pressed below cannot come before the registration.
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(main, IDOK)));
    EXPECT_TRUE(waitUntil([&] {
        return userSetting(appData, "hkv") == "116" && userSetting(appData, "hmod") == "1";
    })) << userSetting(appData, "hkv")
        << " " << userSetting(appData, "hmod");
    ASSERT_TRUE(target.focus());

    ASSERT_TRUE(press({VK_SHIFT}, VK_F5, [&] { return target.waitForText("sig\r\n"); })) << target.text();
    // The old combination was released: pressed between two Shift+F5, it adds nothing.
    press({VK_CONTROL}, VK_OEM_PLUS);
    EXPECT_TRUE(press({VK_SHIFT}, VK_F5, [&] { return target.waitForText("sig\r\nsig\r\n"); }))
        << target.text();
}

TEST_F(HotPaste, SecondaryHotKeysWorkOnceEnabledAndUntilTheEnd) {
    HWND main = start({{"Text", primaryText("one")}, {"Text1", secondaryText("two")}, {"mirc", "0"}});
    ASSERT_TRUE(main);
    // Hot-key messages are handled in order: the primary's paste shows that Ctrl+F9 did nothing.
    press({VK_CONTROL}, VK_F9);
    ASSERT_TRUE(press({VK_CONTROL}, VK_OEM_PLUS, [&] { return target.waitForText("one\r\n"); }))
        << target.text();

    ASSERT_TRUE(saveQuitDetailsWithSecondary(*kalverin, main, true));
    EXPECT_EQ(userSetting(appData, "mirc"), "1");
    ASSERT_TRUE(target.focus());
    ASSERT_TRUE(press({VK_CONTROL}, VK_F9, [&] { return target.waitForText("one\r\ntwo\r\n"); }))
        << target.text();

    // Switched off again, Ctrl+F9 keeps pasting until the program ends.
    ASSERT_TRUE(saveQuitDetailsWithSecondary(*kalverin, main, false));
    EXPECT_EQ(userSetting(appData, "mirc"), "0");
    ASSERT_TRUE(target.focus());
    EXPECT_TRUE(press({VK_CONTROL}, VK_F9, [&] { return target.waitForText("one\r\ntwo\r\ntwo\r\n"); }))
        << target.text();

    // Enabled in the file, they are registered at start-up.
    PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(waitUntil([&] { return !kalverin->running(); }));
    target.clear();
    main = start({{"Text", primaryText("one")}, {"Text1", secondaryText("two")}, {"mirc", "1"}});
    ASSERT_TRUE(main);
    ASSERT_TRUE(press({VK_CONTROL}, VK_F9, [&] { return target.waitForText("two\r\n"); })) << target.text();

    // The secondary dialog registers nothing: a combination saved there, with the quit details
    // then cancelled, does nothing, and the old one goes on pasting.
    clickButton(main, IDC_CHANGE_QUIT_DETAILS);
    HWND details = kalverin->waitForWindow("Kalverin - Settings");
    ASSERT_TRUE(details);
    clickButton(details, IDC_QD_EDIT_SECONDARY);
    HWND secondary = kalverin->waitForWindow("Secondary Hot-key Text");
    ASSERT_TRUE(secondary);
    SendDlgItemMessageA(secondary, IDC_SEC_KEY1, HKM_SETHOTKEY, MAKEWORD(VK_F5, HOTKEYF_SHIFT), 0);
    clickButton(secondary, IDOK);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(secondary); }));
    clickButton(details, IDCANCEL);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(details); }));
    EXPECT_EQ(userSetting(appData, "hkv1"), "120");
    ASSERT_TRUE(target.focus());
    press({VK_SHIFT}, VK_F5);
    EXPECT_TRUE(press({VK_CONTROL}, VK_OEM_PLUS, [&] { return target.waitForText("two\r\none\r\n"); }))
        << target.text();
    EXPECT_TRUE(press({VK_CONTROL}, VK_F9, [&] { return target.waitForText("two\r\none\r\ntwo\r\n"); }))
        << target.text();
}

TEST_F(HotPaste, CopySigFillsTheClipboardAndPastesNothing) {
    HWND main = start({{"Name", "Ann"}, {"Text", primaryText("{+N} quit")}});
    ASSERT_TRUE(main);
    ASSERT_TRUE(setClipboardText(target.frame(), "old"));
    PostMessageA(main, WM_SYSCOMMAND, kalverin::kCopySigCommand, 0);
    ASSERT_TRUE(waitUntil([] { return clipboardText() == "Ann quit\r\n"; })) << clipboardText();
    // A key typed after the command arrives after any keys the command could have injected.
    EXPECT_TRUE(press({}, 'X', [&] { return target.waitForText("x"); })) << target.text();
}

TEST_F(HotPaste, BusyClipboardIsWaitedForThenReported) {
    ASSERT_TRUE(start({{"Text", primaryText("new")}}));
    // Held for a moment, as clipboard managers do after each change: the paste goes through.
    {
        ClipboardHolder holder("old");
        ASSERT_TRUE(holder.held());
        key(VK_CONTROL), key(VK_OEM_PLUS), key(VK_OEM_PLUS, true);
        Sleep(300);
    }
    EXPECT_TRUE(target.waitForText("new\r\n")) << target.text();
    key(VK_CONTROL, true);
    EXPECT_FALSE(findMessageBox(*kalverin, "Cannot open clipboard!"));

    // Held throughout: the box, and no Ctrl+V, which would paste the old content.
    ClipboardHolder holder("old");
    ASSERT_TRUE(holder.held());
    HWND box = nullptr;
    ASSERT_TRUE(press({VK_CONTROL}, VK_OEM_PLUS, [&] {
        return waitUntil(
            [&] { return (box = findMessageBox(*kalverin, "Cannot open clipboard!")) != nullptr; });
    }));
    EXPECT_EQ(windowText(box), "kalverin");
    holder.release();
    clickButton(box, IDOK);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(box); }));
    EXPECT_EQ(clipboardText(), "old");
    ASSERT_TRUE(target.focus());
    EXPECT_TRUE(press({}, 'X', [&] { return target.waitForText("new\r\nx"); })) << target.text();
}

TEST_F(HotPaste, TrayDoubleClickHidesThenShowsMinimised) {
    HWND main = start({{"sotb", "1"}});
    ASSERT_TRUE(main);
    auto doubleClick = [&] { SendMessageA(main, kTrayCallback, 128, WM_LBUTTONDBLCLK); };

    // The icon the notification area holds shows the elapsed time of the caption as its tip,
    // and a double-click on it reaches the program with the callback message it registered.
    // Wine's notification area only; elsewhere the callback message stands in for it.
    auto elapsedOfCaption = [&](const std::string& tip) {
        return !tip.empty() && windowText(main).compare(0, tip.size() + 2, " " + tip + ",") == 0;
    };
    std::string tip;
    if (kalverin::runningUnderWine()) {
        tip = trayTipShown(elapsedOfCaption);
        EXPECT_TRUE(elapsedOfCaption(tip)) << tip << " | " << windowText(main);
        ASSERT_TRUE(kalverin::doubleClickFirstTrayIcon());
    } else {
        doubleClick();
    }
    EXPECT_TRUE(waitUntil([&] { return !IsWindowVisible(main) && userSetting(appData, "sotb") == "0"; }));

    doubleClick();
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_TRUE(IsIconic(main));
    EXPECT_EQ(userSetting(appData, "sotb"), "1");

    // Shown normally, a double-click minimises and hides it.
    ShowWindow(main, SW_RESTORE);
    ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(main) && !IsIconic(main); }));
    doubleClick();
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_TRUE(IsIconic(main));
    EXPECT_EQ(userSetting(appData, "sotb"), "0");

    // Other mouse messages do nothing.
    for (LPARAM mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, WM_MOUSEMOVE})
        SendMessageA(main, kTrayCallback, 128, mouse);
    EXPECT_FALSE(IsWindowVisible(main));

    // No icon of the program stays behind it: no tip shows there any more once the one
    // shown before has gone with the mouse.
    KALVERIN_SKIP_UNLESS_WINE(kalverin::kNeedsWineNotificationArea);
    moveMouseAwayFromTheTray();
    PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(waitUntil([&] { return !kalverin->running(); }));  // answering our messages meanwhile
    tip = trayTipShown([](const std::string& text) { return !text.empty(); }, 3000);
    EXPECT_TRUE(tip.empty()) << tip;
}

// With the clock frozen the statistics of the last tick are known: the rendering uses them.
TEST(ClockHotPaste, PastesTheStatisticsOfTheLastTick) {
    ASSERT_EQ(static_cast<long long>(std::time(nullptr)), std::atoll(kExampleNow))
        << "run with the frozen clock";
    AppDataFolder appData;
    Keys keys = exampleHabit();
    keys.emplace_back("Text", primaryText("{+N}: {+Y}Y {+M}M, {+C} not smoked, {+$}"));
    appData.writeSettings(settingsText("User 1", keys));
    KalverinProcess kalverin(appData);
    HWND main = kalverin.waitUntilMinimised();
    ASSERT_TRUE(main);
    ASSERT_TRUE(waitUntil([&] { return windowText(main) != kInitialCaption; }));
    TargetEdit target;
    ASSERT_TRUE(target.focus());
    EXPECT_TRUE(press({VK_CONTROL}, VK_OEM_PLUS, [&] {
        return target.waitForText("Ann Example: 1Y 2M, 8724 not smoked, $1,962.98\r\n");
    })) << target.text();
}

}  // namespace
}  // namespace e2e
