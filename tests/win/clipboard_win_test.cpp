#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "app/desktop_win.h"
#include "app/hot_paste.h"
#include "tests/support/clipboard_win.h"
#include "tests/support/tray_icons_win.h"
#include "tests/support/us_currency.h"

namespace kalverin {
namespace {

// A hidden top-level window of the given class, destroyed with the object.
class TestWindow {
public:
    explicit TestWindow(const char* className = "STATIC", HWND parent = nullptr, DWORD style = 0)
        : window_(CreateWindowExA(0, className, "",
                                  style | (parent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW), 0, 0, 300,
                                  200, parent, nullptr, GetModuleHandleA(nullptr), nullptr)) {}
    ~TestWindow() {
        if (window_) DestroyWindow(window_);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND get() const { return window_; }

private:
    HWND window_;
};

TEST(Win32Clipboard, SetTextPutsExactlyTheTextOnTheClipboard) {
    TestWindow window;
    ASSERT_TRUE(window.get());
    Win32Desktop desktop(window.get(), nullptr, nullptr, "kalverin");
    const std::string texts[] = {"sig\r\n", "\r\n",
                                 "caf\xe9 \xa3"
                                 "5\r\n",
                                 std::string(kRenderMax - 2, 'x') + "\r\n"};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text.size());
        ASSERT_TRUE(desktop.openClipboard());
        desktop.emptyClipboard();
        EXPECT_EQ(desktop.setClipboardText(text), ClipboardSet::ok);
        desktop.closeClipboard();
        EXPECT_EQ(clipboardText(), text);
        EXPECT_EQ(GetClipboardOwner(), window.get());
        // Programs that read Unicode get the text as converted from the ANSI code page.
        std::wstring wide(text.size() + 1, L'\0');
        wide.resize(static_cast<size_t>(
            MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size())) - 1));
        EXPECT_TRUE(clipboardWideText() == wide);
    }
}

TEST(Win32Clipboard, OpenFailsWhileAnotherWindowHoldsIt) {
    TestWindow window;
    Win32Desktop desktop(window.get(), nullptr, nullptr, "kalverin");
    {
        ClipboardHolder holder;
        ASSERT_TRUE(holder.held());
        EXPECT_FALSE(desktop.openClipboard());
    }
    ASSERT_TRUE(desktop.openClipboard());
    desktop.closeClipboard();
}

void plainRender(const char* source, TextBuffer& out, ScriptContext&) {
    out.append(source);
}

struct DeliveryFixture {
    QuitRecord record;
    QuitStatistics stats;
    InterpreterState state;
    UsCurrencyFormat currency;
    ScriptContext script{stats, record, state, currency};
    TextBuffer renderBuffer{kRenderMax};
};

TEST(Win32Clipboard, CopySigLeavesTextAndLineBreak) {
    TestWindow window;
    Win32Desktop desktop(window.get(), nullptr, nullptr, "kalverin");
    DeliveryFixture f;
    f.record.hotPasteTexts[0] = "Smoke free";
    Delivery delivery{desktop, desktop, f.record, f.renderBuffer, f.script, plainRender};
    EXPECT_EQ(deliverText(delivery, 0), DeliveryResult::delivered);
    EXPECT_EQ(clipboardText(), "Smoke free\r\n");
}

// Pumps this thread's messages until `done` or about five seconds have passed.
template <typename Done>
bool pumpUntil(Done done) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > 5000) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

std::string windowText(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

TEST(Win32HotPaste, CtrlVPastesIntoTheFocusedEdit) {
    TestWindow frame;
    TestWindow edit("EDIT", frame.get(), ES_MULTILINE | ES_AUTOVSCROLL);
    ASSERT_TRUE(edit.get());
    ShowWindow(frame.get(), SW_SHOW);
    SetForegroundWindow(frame.get());
    SetFocus(edit.get());
    ASSERT_TRUE(pumpUntil([&] { return GetFocus() == edit.get(); }));

    Win32Desktop desktop(frame.get(), nullptr, nullptr, "kalverin");
    DeliveryFixture f;
    f.record.hotPasteTexts[2] = "Second text";
    Delivery delivery{desktop, desktop, f.record, f.renderBuffer, f.script, plainRender};
    EXPECT_EQ(hotPaste(delivery, 3), DeliveryResult::delivered);
    EXPECT_TRUE(pumpUntil([&] { return windowText(edit.get()) == "Second text\r\n"; }))
        << windowText(edit.get());
}

std::vector<std::pair<WPARAM, LPARAM>> trayCallbacks;

LRESULT CALLBACK trayOwner(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == 102) trayCallbacks.emplace_back(wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

// The icon record goes to the real notification area: a double-click on the icon it holds
// comes back as message 102 for icon 128. Wine's notification area only.
TEST(Win32Tray, TheNotificationAreaCallsBackWithTheRecordsMessageAndId) {
    KALVERIN_SKIP_UNLESS_WINE(kNeedsWineNotificationArea);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = trayOwner;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KalverinTrayOwner";
    RegisterClassA(&windowClass);
    TestWindow owner("KalverinTrayOwner");
    HICON icon = LoadIconA(nullptr, IDI_APPLICATION);
    Win32Desktop desktop(owner.get(), icon, icon, "tray");
    desktop.notifyIcon(TrayAction::add, 7, "");
    ASSERT_TRUE(doubleClickFirstTrayIcon()) << "no notification area";
    ASSERT_TRUE(pumpUntil([] { return !trayCallbacks.empty(); }));
    EXPECT_EQ(trayCallbacks.front(), (std::pair<WPARAM, LPARAM>{128, WM_LBUTTONDBLCLK}));
    desktop.notifyIcon(TrayAction::remove, 0, "");
}

// The case above skips on Windows, so telling Wine from Windows must be right both ways:
// tools/wine-run, which runs the tests under Wine, always names the prefix; Windows has none.
TEST(TestHost, TellsWineFromWindows) {
    char prefix[2];
    const bool wine = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix) > 0;
    ASSERT_EQ(runningUnderWine(), wine);
    if (wine) {
        EXPECT_STRNE(wineVersion(), "");
    }
}

// Wine itself replaces a registration made again under the same id; Windows keeps both,
// which is what releasing first guards against. Either way only the new one may remain.
TEST(Win32HotKeys, NewCombinationFreesTheEarlierOne) {
    TestWindow ours, other;
    Win32Desktop desktop(ours.get(), nullptr, nullptr, "kalverin");
    QuitRecord record;
    HotKeyRegistrations registrations;
    // Combinations nobody else on the test desktop uses: Ctrl+Alt+Shift+F20 / F21.
    record.hotKeyVk[1] = VK_F20;
    record.hotKeyModifiers[1] = kStoredShift | kStoredControl | kStoredAlt;
    ASSERT_TRUE(registrations.registerHotKey(desktop, record, 2));
    EXPECT_FALSE(RegisterHotKey(other.get(), 7, MOD_SHIFT | MOD_CONTROL | MOD_ALT, VK_F20)) << "taken by us";

    record.hotKeyVk[1] = VK_F21;
    ASSERT_TRUE(registrations.registerHotKey(desktop, record, 2));
    EXPECT_TRUE(RegisterHotKey(other.get(), 7, MOD_SHIFT | MOD_CONTROL | MOD_ALT, VK_F20)) << "released";
    EXPECT_FALSE(RegisterHotKey(other.get(), 8, MOD_SHIFT | MOD_CONTROL | MOD_ALT, VK_F21));
    // Every "Send To Taskbar" registers the same combination again: that must still hold.
    EXPECT_TRUE(registrations.registerHotKey(desktop, record, 2));
    EXPECT_FALSE(RegisterHotKey(other.get(), 8, MOD_SHIFT | MOD_CONTROL | MOD_ALT, VK_F21));
    UnregisterHotKey(other.get(), 7);
    UnregisterHotKey(ours.get(), 2);
}

}  // namespace
}  // namespace kalverin
