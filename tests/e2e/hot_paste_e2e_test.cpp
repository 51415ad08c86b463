// Hot-paste, "Copy Sig To Clipboard" and the taskbar icon of the real program: keys are
// injected from this process (Wine hands them to the program's hot-keys) while an edit
// control of this process has the focus.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/e2e/harness.h"
#include "tests/support/tray_icons_win.h"

namespace e2e {
namespace {

constexpr const char* kInitialCaption = "Kalverin v2.60";
constexpr int kHotKeyControl = 1062;
constexpr int kQuitDetailsButton = 1029;
constexpr int kEnableSecondaryBox = 1041;
constexpr int kEditSecondaryButton = 1011;
constexpr int kSecondaryKey1 = 1079;
constexpr UINT kTrayCallback = 102;
constexpr WPARAM kCopySigCommand = 32;

std::string primaryText(const std::string& text) {
    return storedText(text, 1020);
}
std::string secondaryText(const std::string& text) {
    return storedText(text, 500);
}

// Presses a combination and holds it until `delivered()` says the program's paste arrived,
// then lets go, as a person does. The program injects Ctrl down, V, Ctrl up as soon as the
// key goes down, from its own process: letting go of our Ctrl at once could land between
// its Ctrl down and its V, and the edit would then receive a plain "v".
bool press(
    std::initializer_list<BYTE> modifiers, BYTE vk,
    const std::function<bool()>& delivered = [] { return true; }) {
    for (BYTE m : modifiers) keybd_event(m, 0, 0, 0);
    keybd_event(vk, 0, 0, 0);
    bool ok = delivered();
    keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
    for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m)
        keybd_event(*m, 0, KEYEVENTF_KEYUP, 0);
    return ok;
}

bool setClipboardText(HWND owner, const std::string& text) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    bool ok = false;
    if (block) {
        std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
        GlobalUnlock(block);
        ok = SetClipboardData(CF_TEXT, block) != nullptr;
        if (!ok) GlobalFree(block);
    }
    CloseClipboard();
    return ok;
}

// A window of this process with a multi-line edit that receives the pastes.
class TargetEdit {
public:
    TargetEdit()
        : frame_(CreateWindowExA(0, "STATIC", "paste target", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr)),
          edit_(CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0,
                                400, 300, frame_, nullptr, GetModuleHandleA(nullptr), nullptr)) {}
    ~TargetEdit() { DestroyWindow(frame_); }
    TargetEdit(const TargetEdit&) = delete;
    TargetEdit& operator=(const TargetEdit&) = delete;

    HWND frame() const { return frame_; }
    // Brings the edit to the keyboard focus (a dialog of the program may have taken it).
    bool focus() const {
        ShowWindow(frame_, SW_SHOWNORMAL);
        SetForegroundWindow(frame_);
        SetFocus(edit_);
        return waitUntil([&] { return GetFocus() == edit_; }, 5000);
    }
    std::string text() const { return windowText(edit_); }
    bool hasFocus() const { return GetFocus() == edit_; }
    bool waitForText(const std::string& expected) const {
        return waitUntil([&] { return text() == expected; }, 5000);
    }
    void clear() const { SetWindowTextA(edit_, ""); }

private:
    HWND frame_;
    HWND edit_;
};

// Holds the clipboard open from another thread, with `content` put on it first.
class ClipboardHolder {
public:
    explicit ClipboardHolder(const std::string& content)
        : thread_([this, content] {
              HWND window =
                  CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
              bool opened = OpenClipboard(window) != FALSE;
              if (opened) {
                  EmptyClipboard();
                  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, content.size() + 1);
                  std::memcpy(GlobalLock(block), content.c_str(), content.size() + 1);
                  GlobalUnlock(block);
                  SetClipboardData(CF_TEXT, block);
              }
              std::unique_lock<std::mutex> lock(mutex_);
              held_ = opened;
              ready_ = true;
              changed_.notify_all();
              // Pump while holding: a thread that owns windows must answer messages sent to them.
              while (!changed_.wait_for(lock, std::chrono::milliseconds(10), [this] { return releasing_; })) {
                  lock.unlock();
                  MSG msg;
                  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
                  lock.lock();
              }
              if (opened) CloseClipboard();
              lock.unlock();
              DestroyWindow(window);
          }) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return ready_; });
    }
    ~ClipboardHolder() { release(); }
    bool held() const { return held_; }
    void release() {
        if (!thread_.joinable()) return;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            releasing_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool ready_ = false, held_ = false, releasing_ = false;
    std::thread thread_;
};

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
    clickButton(main, kQuitDetailsButton);
    HWND dialog = process.waitForWindow("Kalverin - Settings");
    if (!dialog) return false;
    SendMessageA(GetDlgItem(dialog, kEnableSecondaryBox), BM_SETCHECK, enabled ? BST_CHECKED : BST_UNCHECKED,
                 0);
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

TEST_F(HotPaste, EmptyTextPastesJustALineBreak) {
    ASSERT_TRUE(start({{"Text", primaryText("")}}));
    EXPECT_TRUE(press({VK_CONTROL}, VK_OEM_PLUS, [&] { return target.waitForText("\r\n"); }))
        << target.text();
}

TEST_F(HotPaste, CombinationFromTheControlTakesOverOnSendToTaskbar) {
    HWND main = start({{"Text", primaryText("sig")}});
    ASSERT_TRUE(main);
    SendMessageA(GetDlgItem(main, kHotKeyControl), HKM_SETHOTKEY, MAKEWORD(VK_F5, HOTKEYF_SHIFT), 0);
    clickButton(main, IDOK);
    // The file is written key by key: both keys are awaited.
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
    clickButton(main, kQuitDetailsButton);
    HWND details = kalverin->waitForWindow("Kalverin - Settings");
    ASSERT_TRUE(details);
    clickButton(details, kEditSecondaryButton);
    HWND secondary = kalverin->waitForWindow("Secondary Hot-key Text");
    ASSERT_TRUE(secondary);
    SendDlgItemMessageA(secondary, kSecondaryKey1, HKM_SETHOTKEY, MAKEWORD(VK_F5, HOTKEYF_SHIFT), 0);
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
    PostMessageA(main, WM_SYSCOMMAND, kCopySigCommand, 0);
    ASSERT_TRUE(waitUntil([] { return clipboardText() == "Ann quit\r\n"; })) << clipboardText();
    // A key typed after the command arrives after any keys the command could have injected.
    EXPECT_TRUE(press({}, 'X', [&] { return target.waitForText("x"); })) << target.text();
}

TEST_F(HotPaste, BusyClipboardShowsTheBoxAndLeavesTheOldContent) {
    ASSERT_TRUE(start({{"Text", primaryText("new")}}));
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
}

TEST_F(HotPaste, TrayDoubleClickHidesThenShowsMinimised) {
    HWND main = start({{"sotb", "1"}});
    ASSERT_TRUE(main);
    auto doubleClick = [&] { SendMessageA(main, kTrayCallback, 128, WM_LBUTTONDBLCLK); };

    // The icon the notification area holds shows the elapsed time of the caption as its tip,
    // and a double-click on it reaches the program with the callback message it registered.
    auto elapsedOfCaption = [&](const std::string& tip) {
        return !tip.empty() && windowText(main).compare(0, tip.size() + 2, " " + tip + ",") == 0;
    };
    std::string tip = trayTipShown(elapsedOfCaption);
    EXPECT_TRUE(elapsedOfCaption(tip)) << tip << " | " << windowText(main);
    ASSERT_TRUE(kalverin::doubleClickFirstTrayIcon());
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
    moveMouseAwayFromTheTray();
    PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(waitUntil([&] { return !kalverin->running(); }));  // answering our messages meanwhile
    tip = trayTipShown([](const std::string& text) { return !text.empty(); }, 3000);
    EXPECT_TRUE(tip.empty()) << tip;
}

double millisecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A measurement more than a test: how long from an injected hot-key until its text can be
// read from the clipboard, beside a plain set-and-read round trip of this process in the
// same run. Each press must still deliver the exact text; the figures are printed and
// recorded, not judged.
TEST_F(HotPaste, LatencyOverFiftyPresses) {
    HWND main = start({{"Name", "Ann"}, {"Text", primaryText("{+N}")}});
    ASSERT_TRUE(main);
    const std::string expected = "Ann\r\n";
    std::vector<double> toClipboard, toPaste, roundTrip;
    for (int i = 0; i < 50; ++i) {
        target.clear();
        // No owner window: emptying the clipboard then sends no message to this thread, which
        // does not pump while it watches. The clipboard is not opened while the program may
        // want it (that would make its delivery fail), and the sequence number is no guide
        // under Wine, whose X11 side bumps it later for our own sets.
        ASSERT_TRUE(setClipboardText(nullptr, "x"));
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        std::string delivered;
        bool pasted = press({VK_CONTROL}, VK_OEM_PLUS, [&] {
            while (GetClipboardOwner() != main || !IsClipboardFormatAvailable(CF_TEXT)) {
                if (millisecondsSince(start) > 5000.0) return false;
                SwitchToThread();
            }
            // Read back as the round trip below does; the program may still hold it open a moment.
            while ((delivered = clipboardText()) == "<cannot open>") {
                if (millisecondsSince(start) > 5000.0) return false;
                SwitchToThread();
            }
            toClipboard.push_back(millisecondsSince(start));
            if (!target.waitForText(expected)) return false;
            toPaste.push_back(millisecondsSince(start));
            return true;
        });
        ASSERT_TRUE(pasted) << "press " << i << ": clipboard " << delivered << ", edit " << target.text()
                            << ", focused " << target.hasFocus();
        ASSERT_EQ(delivered, expected) << "press " << i;

        QueryPerformanceCounter(&start);
        ASSERT_TRUE(setClipboardText(nullptr, expected));
        ASSERT_EQ(clipboardText(), expected);
        roundTrip.push_back(millisecondsSince(start));
    }
    double hot = median(toClipboard), plain = median(roundTrip);
    std::printf(
        "hot-key to text read back from the clipboard: median %.3f ms (min %.3f, max %.3f); to paste in the "
        "edit (20 ms polls): "
        "median %.1f ms; plain set-and-read round trip: median %.3f ms; added: %.3f ms\n",
        hot, *std::min_element(toClipboard.begin(), toClipboard.end()),
        *std::max_element(toClipboard.begin(), toClipboard.end()), median(toPaste), plain, hot - plain);
    RecordProperty("hotKeyToClipboardMedianMicroseconds", static_cast<int>(hot * 1000));
    RecordProperty("roundTripMedianMicroseconds", static_cast<int>(plain * 1000));
}

// With the clock frozen the statistics of the last tick are known: the rendering uses them.
TEST(ClockHotPaste, PastesTheStatisticsOfTheLastTick) {
    ASSERT_EQ(static_cast<long long>(std::time(nullptr)), 1017240312LL) << "run with the frozen clock";
    AppDataFolder appData;
    appData.writeSettings(
        settingsText("User 1", {{"Name", "Ann Example"},
                                {"Start", "979551000"},
                                {"spd", "20"},
                                {"cph", "4"},
                                {"cptu", "50"},
                                {"cpp", "20"},
                                {"Text", primaryText("{+N}: {+Y}Y {+M}M, {+C} not smoked, {+$}")}}));
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
