// The main window's message handling: each message goes to its step in main_window.cpp.
#include "app/main_window_win.h"

#include <ctime>
#include <memory>
#include <string>

#include "app/application_win.h"
#include "app/desktop_win.h"
#include "app/main_window.h"
#include "app/tray.h"
#include "dialogs/dialog_support_win.h"
#include "dialogs/about_dialogs_win.h"
#include "dialogs/quit_details_win.h"
#include "model/local_time.h"
#include "model/settings.h"
#include "resources/resource.h"

namespace kalverin {
namespace {

constexpr TickControls kTickControls{IDC_ELAPSED, IDC_MONEY_SAVED, IDC_NOT_SMOKED, IDC_LIFE_SAVED,
                                     IDC_USER_NAME};

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

const char* toolTipFor(int id) {
    for (const ToolTipText& tip : kToolTips)
        if (tip.id == id) return tip.text;
    return nullptr;
}

// The application the window was handed at creation; null before WM_INITDIALOG.
Application* applicationOf(HWND window) {
    return reinterpret_cast<Application*>(GetWindowLongPtrA(window, DWLP_USER));
}

// What the quit details dialog saves and registers through.
class QuitDetailsSteps : public QuitDetailsServices {
public:
    explicit QuitDetailsSteps(MainWindow& main) : main_(main) {}
    void loadSettings(QuitRecord& record) override {
        kalverin::loadSettings(record, main_.settings, currentTime());
    }
    void saveSettings(const QuitRecord& record) override { storeRecord(main_, record); }
    void registerHotKey(int id) override {
        main_.hotKeys.registerHotKey(main_.desktop, main_.shared.record, id);
    }

private:
    MainWindow& main_;
};

void showQuitDetailsOver(HWND window, Application& app) {
    QuitDetailsSteps steps(*app.mainWindow);
    ScriptContext preview = app.shared.scriptContext();
    QuitDetailsData data{app.shared.record, steps, {app.shared.record, preview, app.scriptFont.get()}};
    showQuitDetails(window, data);
}

// The window's desktop and state are made here, once, and live until WM_NCDESTROY.
INT_PTR onInitDialog(HWND window, LPARAM lParam) {
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    Application& app = *applicationOf(window);
    app.mainWindow = std::make_unique<MainWindow>(
        std::make_unique<Win32Desktop>(window, app.largeIcon.get(), app.smallIcon.get(), programName(),
                                       app.userNameFont.get(), app.statisticsFont.get()),
        app.shared, app.settings, app.service, app.hotKeys, kTickControls);
    // The mark a second start of this section finds the window by.
    if (!app.instanceName.empty()) SetPropA(window, app.instanceName.c_str(), reinterpret_cast<HANDLE>(1));
    startUp(*app.mainWindow, currentTime());
    return TRUE;
}

INT_PTR onTimer(MainWindow& main, WPARAM timer) {
    if (timer == kKeyWatchTimer)
        onKeyWatch(main);
    else
        onTick(main, currentTime());
    return TRUE;
}

INT_PTR onQueryOpen(HWND window, MainWindow& main) {
    SetWindowLongPtrA(window, DWLP_MSGRESULT, main.restoreGuard.allowsRestore());
    return TRUE;
}

INT_PTR onSysCommand(MainWindow& main, WPARAM command) {
    switch (command & 0xFFF0) {
        case kAboutCommand:
            showAboutOnce(main);
            return TRUE;
        case kCopySigCommand:
            onCopySig(main);
            return TRUE;
        case SC_RESTORE:
            // The taskbar button asks this way: a person's restore, never refused.
            main.restoreGuard.onUserRestore();
            return FALSE;
        default:
            return FALSE;
    }
}

// Windows may end the process as soon as the session-end messages are answered, without a
// WM_DESTROY: the record is stored and the icon removed at the first of them, as a close
// would. Later ones (and the WM_DESTROY should it come) store again, which changes nothing.
INT_PTR onQueryEndSession(HWND window, MainWindow& main) {
    storeRecord(main, main.shared.record);
    SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);  // the session may end
    return TRUE;
}

INT_PTR onEndSession(MainWindow& main, WPARAM ending) {
    if (ending) shutDown(main);
    return FALSE;
}

// A second start for the same section asks this window to the front instead of running.
INT_PTR onShowRequest(HWND window, MainWindow& main) {
    main.restoreGuard.onUserRestore();  // as if the person had asked, which they did
    ShowWindow(window, IsIconic(window) || !IsWindowVisible(window) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window);
    return FALSE;
}

INT_PTR onCommand(HWND window, Application& app, WORD id) {
    switch (id) {
        case IDOK:
            sendToTaskbar(*app.mainWindow);
            return TRUE;
        case IDCANCEL:
            // Esc, or a close request from another program (the installer). While a dialog of
            // this window is open the window is disabled: ending it now would only take effect
            // when the person closes that dialog, long after whoever asked has given up.
            if (IsWindowEnabled(window)) EndDialog(window, IDCANCEL);
            return TRUE;
        case IDC_CHANGE_QUIT_DETAILS:
            showQuitDetailsOver(window, app);
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

// The messages the main window's steps answer, one line each; a notice the steps only
// act on falls through to FALSE, so the dialog manager's default handling follows.
INT_PTR dispatch(HWND window, Application& app, UINT message, WPARAM wParam, LPARAM lParam) {
    MainWindow& main = *app.mainWindow;
    // clang-format off
    switch (message) {
        case WM_TIMER: return onTimer(main, wParam);
        case WM_QUERYOPEN: return onQueryOpen(window, main);
        case WM_SYSCOMMAND: return onSysCommand(main, wParam);
        case WM_COMMAND: return onCommand(window, app, LOWORD(wParam));
        case WM_NOTIFY: return answerToolTip(lParam, toolTipFor);
        case WM_HOTKEY: onHotKey(main, static_cast<int>(wParam)); break;
        case kTrayCallbackMessage: onTrayMessage(main, static_cast<unsigned>(lParam)); break;
        // The clock or the zone was changed (travel, a new daylight-saving rule): the next tick
        // reads in the new zone.
        case WM_TIMECHANGE: case WM_SETTINGCHANGE: rereadTimeZone(); break;
        case WM_QUERYENDSESSION: return onQueryEndSession(window, main);
        case WM_ENDSESSION: return onEndSession(main, wParam);
        case WM_DESTROY: shutDown(main); break;
        case WM_NCDESTROY: RemovePropA(window, app.instanceName.c_str()), app.mainWindow.reset(); break;
        default:
            if (message == app.taskbarCreated && message != 0) onTaskbarRestart(main);
            if (message == app.showRequest && message != 0) onShowRequest(window, main);
            break;
    }
    // clang-format on
    return FALSE;
}

// A step that throws (only std::bad_alloc can: the steps build strings) stops here rather
// than unwinding through the dialog manager, which is C and cannot pass it on. A window
// that could not start ends its dialog with -1, which runMainWindow reports; any other
// message counts as not handled and the window runs on (the next tick rewrites its texts).
INT_PTR CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) return onInitDialog(window, lParam);
        Application* app = applicationOf(window);
        if (!app || !app->mainWindow) return FALSE;  // messages before WM_INITDIALOG, after WM_NCDESTROY
        return dispatch(window, *app, message, wParam, lParam);
    } catch (...) {
        if (message == WM_INITDIALOG) EndDialog(window, -1);
        return FALSE;
    }
}

}  // namespace

INT_PTR runMainWindow(Application& app) {
    // Broadcast to top-level windows when the shell (re)creates the taskbar.
    app.taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    return DialogBoxParamA(app.instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, mainWindowProc,
                           reinterpret_cast<LPARAM>(&app));
}

}  // namespace kalverin
