// The main window's message handling: start-up steps, the tick, hot-keys, the taskbar icon,
// the system menu, tool-tips and shutdown.
#include "app/main_window_win.h"

#include <commctrl.h>

#include <ctime>
#include <string>

#include "app/app_win.h"
#include "app/application.h"
#include "app/desktop_win.h"
#include "app/hot_keys.h"
#include "app/tray.h"
#include "dde/quit_service_win.h"
#include "dialogs/dialog_support_win.h"
#include "dialogs/dialogs_win.h"
#include "model/settings.h"
#include "model/tick.h"
#include "resources/resource.h"

namespace kalverin {
namespace {

constexpr UINT kTickTimer = 1;
constexpr UINT kTickPeriod = 1000;
constexpr UINT kAboutCommand = 16;
constexpr UINT kCopySigCommand = 32;

UINT gTaskbarCreated = 0;
// The dialog manager shows a modal dialog "normally" the first time its own loop runs empty
// (Wine does so even when the dialog is already visible, minimised), which would undo the
// start-up's minimise. That loop first runs empty just after start-up, or, on a first run,
// only once the quit details opened from it have closed, however many ticks that took. So
// the first restore request is refused until the main window's own loop (no dialog over the
// window) has handled two ticks: it has run empty between them, and a restore the user asks
// for later is never lost.
bool gKeepMinimisedUntilIdle = false;
int gOwnLoopTicks = 0;

TimeValue currentTime() {
    return static_cast<TimeValue>(std::time(nullptr));
}

struct ToolTipText {
    int id;
    const char* text;
};
constexpr ToolTipText kToolTips[] = {
    {IDOK, "Minimize the Kalverin window and show a timer in the task bar"},
    {IDC_CHANGE_QUIT_DETAILS, "Set or alter your quit details"},
    {IDC_ELAPSED, "Shows how well your quit is going"},
    {IDC_MONEY_SAVED, "An estimate of the amount of money you have not spent on cigarettes"},
    {IDC_NOT_SMOKED, "An estimate of how many cigarettes you have not smoked"},
    {IDC_USER_NAME, "The name of the user who's quit information is displayed below"},
    {IDC_PRIMARY_HOT_KEY, "The key combination you will press to hot-paste your quit information"},
    {IDC_CHAT, "Display version information and web site address"},
};

// The tick's window side: what it shows goes straight to the controls and the caption.
class MainWindowView : public TickView {
public:
    explicit MainWindowView(HWND window) : window_(window) {}
    void setTrayTip(const std::string&) override { setTrayIcon(TrayAction::modify); }
    void setControlText(int id, const std::string& text) override {
        SetDlgItemTextA(window_, id, text.c_str());
    }
    void beep() override { MessageBeep(MB_ICONEXCLAMATION); }
    void setCaption(const std::string& caption) override { SetWindowTextA(window_, caption.c_str()); }

private:
    HWND window_;
};

void extendSystemMenu(HWND window) {
    HMENU menu = GetSystemMenu(window, FALSE);
    char text[128];
    if (LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUT_ITEM, text, sizeof text) > 0) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, kAboutCommand, text);
    }
    if (LoadStringA(GetModuleHandleA(nullptr), IDS_COPY_SIG_ITEM, text, sizeof text) > 0) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, kCopySigCommand, text);
    }
}

void setFonts(HWND window) {
    SendDlgItemMessageA(window, IDC_USER_NAME, WM_SETFONT, reinterpret_cast<WPARAM>(userNameFont()), TRUE);
    for (int id : {IDC_MONEY_SAVED, IDC_LIFE_SAVED, IDC_NOT_SMOKED, IDC_ELAPSED})
        SendDlgItemMessageA(window, id, WM_SETFONT, reinterpret_cast<WPARAM>(statisticsFont()), TRUE);
}

const char* toolTipFor(int id) {
    for (const ToolTipText& tip : kToolTips)
        if (tip.id == id) return tip.text;
    return nullptr;
}

void showPrimaryHotKey(HWND window) {
    const QuitRecord& record = app().record;
    WPARAM combination = MAKEWORD(record.hotKeyVk[0] & 0xFF, record.hotKeyModifiers[0] & 0xFF);
    SendDlgItemMessageA(window, IDC_PRIMARY_HOT_KEY, HKM_SETHOTKEY, combination, 0);
}

void sendToTaskbar(HWND window) {
    QuitRecord& record = app().record;
    LRESULT combination = SendDlgItemMessageA(window, IDC_PRIMARY_HOT_KEY, HKM_GETHOTKEY, 0, 0);
    record.hotKeyVk[0] = LOBYTE(LOWORD(combination));
    record.hotKeyModifiers[0] = HIBYTE(LOWORD(combination));
    saveSettings(record, *app().settings);
    registerHotKey(kPrimaryHotKey);
    SetTimer(window, kTickTimer, kTickPeriod, nullptr);
    ShowWindow(window, SW_MINIMIZE);
}

BOOL onInitDialog(HWND window) {
    AppState& state = app();
    startQuitService(state);  // the result is not looked at: the program runs on without it
    setMainWindow(window);
    extendSystemMenu(window);
    setFonts(window);
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(programIcon()));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(programIcon()));
    addToolTips(window);
    loadSettings(state.record, *state.settings, currentTime());
    showPrimaryHotKey(window);
    if (state.record.quitStart == 0) state.record.quitStart = currentTime();
    setTrayIcon(TrayAction::add);
    if (state.record.lastBuild < kWelcomeBelowBuild) {
        state.record.lastBuild = kCurrentBuild;
        showWelcome(window);
        saveSettings(state.record, *state.settings);
        // Handled once the modal loop runs, so the quit details open after the start-up.
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_CHANGE_QUIT_DETAILS, BN_CLICKED), 0);
    }
    SetTimer(window, kTickTimer, kTickPeriod, nullptr);
    if (state.record.secondaryHotKeysEnabled)
        for (int id = kPrimaryHotKey + 1; id <= kLastHotKey; ++id) registerHotKey(id);
    sendToTaskbar(window);
    gKeepMinimisedUntilIdle = true;
    gOwnLoopTicks = 0;
    return TRUE;
}

BOOL onQueryOpen(HWND window) {
    BOOL allow = !gKeepMinimisedUntilIdle;
    gKeepMinimisedUntilIdle = false;
    SetWindowLongPtrA(window, DWLP_MSGRESULT, allow);
    return TRUE;
}

void onTick(HWND window) {
    AppState& state = app();
    // A modal dialog over the main window disables it; its ticks come through that dialog's loop.
    if (gKeepMinimisedUntilIdle && IsWindowEnabled(window) && ++gOwnLoopTicks >= 2)
        gKeepMinimisedUntilIdle = false;
    // A minimised window of a user who lives in the icon alone leaves the taskbar; hidden,
    // it still counts as minimised for the rest of the tick.
    if (hidesBeforeTick(state.record, IsIconic(window) != FALSE) && IsWindowVisible(window))
        ShowWindow(window, SW_HIDE);
    MainWindowView view(window);
    tick(state.record, state.stats, currentTime(), IsIconic(window) != FALSE, *state.currency, view);
}

void showAboutOnce(HWND window) {
    AppState& state = app();
    if (state.aboutBoxOpen) return;
    state.aboutBoxOpen = 1;
    showAbout(window);
    state.aboutBoxOpen = 0;
}

BOOL onSysCommand(HWND window, WPARAM command) {
    switch (command & 0xFFF0) {
        case kAboutCommand:
            showAboutOnce(window);
            return TRUE;
        case kCopySigCommand:
            deliverText(0);
            return TRUE;
        default:
            return FALSE;
    }
}

BOOL onCommand(HWND window, WORD id) {
    switch (id) {
        case IDOK:
            sendToTaskbar(window);
            return TRUE;
        case IDCANCEL:
            EndDialog(window, IDCANCEL);
            return TRUE;
        case IDC_CHANGE_QUIT_DETAILS:
            showQuitDetails(window);
            return TRUE;
        case IDC_CHAT:
            showAbout(window);
            return TRUE;
        case IDC_PREVIEW:
            showPreview(window);
            return TRUE;
        default:
            return FALSE;
    }
}

void onDestroy() {
    AppState& state = app();
    saveSettings(state.record, *state.settings);
    stopQuitService();
    setTrayIcon(TrayAction::remove);
}

INT_PTR CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return onInitDialog(window);
        case WM_TIMER:
            onTick(window);
            return TRUE;
        case WM_QUERYOPEN:
            return onQueryOpen(window);
        case WM_HOTKEY:
            hotPaste(static_cast<int>(wParam));
            return FALSE;
        case WM_SYSCOMMAND:
            return onSysCommand(window, wParam);
        case WM_COMMAND:
            return onCommand(window, LOWORD(wParam));
        case WM_NOTIFY:
            return answerToolTip(lParam, toolTipFor);
        case WM_DESTROY:
            onDestroy();
            return FALSE;
        case kTrayCallbackMessage:
            onTrayCallback(lParam);
            return FALSE;
        default:
            if (message == gTaskbarCreated && gTaskbarCreated != 0) onTaskbarCreated();
            return FALSE;
    }
}

}  // namespace

INT_PTR runMainWindow(HINSTANCE instance) {
    gTaskbarCreated = taskbarCreatedMessage();
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, mainWindowProc, 0);
}

}  // namespace kalverin
