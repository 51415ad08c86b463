// The main window's message handling: each message goes to its step in main_window.cpp.
#include "app/main_window_win.h"

#include <ctime>
#include <string>

#include "app/application_win.h"
#include "app/desktop_win.h"
#include "app/main_window.h"
#include "app/tray.h"
#include "dialogs/dialog_support_win.h"
#include "dialogs/about_dialogs_win.h"
#include "dialogs/quit_details_win.h"
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

// The main window's steps over the application, with the desktop of this window.
class Session {
public:
    Session(HWND window, Application& app)
        : desktop_(window, app.icon.get(), programName(), app.userNameFont.get(), app.statisticsFont.get()),
          main_{desktop_, app.shared, app.settings, app.service, app.hotKeys, app.window, kTickControls} {}
    MainWindow& main() { return main_; }

private:
    Win32Desktop desktop_;
    MainWindow main_;
};

// What the quit details dialog saves and registers through.
class QuitDetailsSteps : public QuitDetailsServices {
public:
    explicit QuitDetailsSteps(MainWindow& main) : main_(main) {}
    void loadSettings(QuitRecord& record) override {
        kalverin::loadSettings(record, main_.settings, currentTime());
    }
    void saveSettings(const QuitRecord& record) override { kalverin::saveSettings(record, main_.settings); }
    void registerHotKey(int id) override {
        main_.hotKeys.registerHotKey(main_.desktop, main_.shared.record, id);
    }

private:
    MainWindow& main_;
};

void showQuitDetailsOver(HWND window, Application& app) {
    Session session(window, app);
    QuitDetailsSteps steps(session.main());
    ScriptContext preview = app.shared.scriptContext();
    QuitDetailsData data{app.shared.record, steps, {app.shared.record, preview, app.scriptFont.get()}};
    showQuitDetails(window, data);
}

BOOL handleSysCommand(MainWindow& main, WPARAM command) {
    switch (command & 0xFFF0) {
        case kAboutCommand:
            showAboutOnce(main);
            return TRUE;
        case kCopySigCommand:
            onCopySig(main);
            return TRUE;
        case SC_RESTORE:
            // The taskbar button asks this way: a person's restore, never refused.
            main.state.restoreGuard.onUserRestore();
            return FALSE;
        default:
            return FALSE;
    }
}

BOOL handleCommand(HWND window, Application& app, WORD id) {
    switch (id) {
        case IDOK:
            sendToTaskbar(Session(window, app).main());
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

BOOL handleQueryOpen(HWND window, Application& app) {
    SetWindowLongPtrA(window, DWLP_MSGRESULT, app.window.restoreGuard.allowsRestore());
    return TRUE;
}

INT_PTR CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        startUp(Session(window, *applicationOf(window)).main(), currentTime());
        return TRUE;
    }
    Application* app = applicationOf(window);
    if (!app) return FALSE;  // messages before WM_INITDIALOG
    switch (message) {
        case WM_TIMER:
            onTick(Session(window, *app).main(), currentTime());
            return TRUE;
        case WM_QUERYOPEN:
            return handleQueryOpen(window, *app);
        case WM_HOTKEY:
            onHotKey(Session(window, *app).main(), static_cast<int>(wParam));
            return FALSE;
        case WM_SYSCOMMAND:
            return handleSysCommand(Session(window, *app).main(), wParam);
        case WM_COMMAND:
            return handleCommand(window, *app, LOWORD(wParam));
        case WM_NOTIFY:
            return answerToolTip(lParam, toolTipFor);
        case WM_DESTROY:
            shutDown(Session(window, *app).main());
            return FALSE;
        case kTrayCallbackMessage:
            onTrayMessage(Session(window, *app).main(), static_cast<unsigned>(lParam));
            return FALSE;
        default:
            if (message == app->taskbarCreated && message != 0)
                onTaskbarRestart(Session(window, *app).main());
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
