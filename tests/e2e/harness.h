// End-to-end harness: starts the real kalverin.exe under Wine with its own settings folder,
// finds its windows, drives them as a user would and reads its settings file.
#pragma once
#include <windows.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

constexpr DWORD kDeadlineMs = 15000;

// Polls `condition` every 20 ms until it holds or the deadline passes.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kDeadlineMs);

// A Windows path for a path given by the test environment (Unix paths map to drive Z:).
std::string windowsPath(const std::string& path);
std::string environment(const char* name);

// A fresh folder that stands in for %APPDATA%; removed with its contents at the end.
class AppDataFolder {
public:
    AppDataFolder();
    ~AppDataFolder();
    AppDataFolder(const AppDataFolder&) = delete;
    AppDataFolder& operator=(const AppDataFolder&) = delete;
    const std::string& path() const { return path_; }
    std::string settingsPath() const { return path_ + "\\Kalverin\\kalverin.ini"; }
    void writeSettings(const std::string& text) const;
    std::string readSettings() const;
    bool settingsExist() const;

private:
    std::string path_;
};

// A key of the settings file as the program's own reader finds it now; "<missing>" when absent.
std::string storedSetting(const AppDataFolder& appData, const std::string& section, const std::string& key);
inline std::string userSetting(const AppDataFolder& appData, const std::string& key) {
    return storedSetting(appData, "User 1", key);
}

// The settings-file value of a text kept in a fixed area of `size` bytes.
std::string storedText(const std::string& text, size_t size);

// The example habit of the statistics cases: Ann Example quit 20 a day at 4.50 for 20 on
// 2001-01-15 09:30:00 UTC (kExampleQuit). Those cases run with the clock frozen at
// 2002-03-27 14:45:12 UTC (kExampleNow); kFutureQuit lies the same span ahead of it.
constexpr const char* kExampleQuit = "979551000";
constexpr const char* kExampleNow = "1017240312";
constexpr const char* kFutureQuit = "1055102424";
using Keys = std::vector<std::pair<std::string, std::string>>;
Keys exampleHabit(const char* start = kExampleQuit);

// A settings text for a user whose first run is over, so no welcome dialog shows.
std::string settingsText(const std::string& section,
                         const std::vector<std::pair<std::string, std::string>>& keys, int build = 151);

class KalverinProcess {
public:
    // Starts kalverin.exe with `arguments` as its command line and `appData` as %APPDATA%,
    // and `extraEnvironment` (UTF-8; an empty value leaves the name out, APPDATA too).
    KalverinProcess(const AppDataFolder& appData, const std::string& arguments = "",
                    const std::vector<std::pair<std::string, std::string>>& extraEnvironment = {});
    ~KalverinProcess();  // a process still running is closed, then killed
    KalverinProcess(const KalverinProcess&) = delete;
    KalverinProcess& operator=(const KalverinProcess&) = delete;

    bool started() const { return process_ != nullptr; }
    DWORD id() const { return processId_; }
    HANDLE handle() const { return process_; }

    // A visible top-level window of this process with exactly this caption.
    HWND findWindow(const std::string& caption) const;
    HWND waitForWindow(const std::string& caption, DWORD timeoutMs = kDeadlineMs) const;
    // The main window (the dialog holding the primary hot-key control), visible or hidden.
    HWND mainWindow() const;
    HWND waitForMainWindow(DWORD timeoutMs = kDeadlineMs) const;
    // Waits for the main window to finish its start-up: minimised on the taskbar.
    HWND waitUntilMinimised(DWORD timeoutMs = kDeadlineMs) const;
    std::vector<HWND> topLevelWindows() const;

    // Closes like a user: Esc in the main window.
    void pressEscape(HWND window) const;
    bool waitForExit(DWORD timeoutMs = kDeadlineMs) const;
    bool running() const;
    DWORD exitCode() const;

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

// Text of a control or window.
std::string windowText(HWND window);
// The program's message that a save failed, as shown (UTF-8), with its box; null when none shows.
HWND findSaveFailure(const KalverinProcess& process, std::string& text);
// Stores the record as the main window's OK button does; false when a message box held the
// window (the program told of a failed save) past a few seconds.
bool storesWithoutAMessage(HWND main);
std::string controlText(HWND dialog, int id);

// Presses a combination and holds it until `delivered()` says the program's paste arrived,
// then lets go. The program finds our Ctrl down and injects V alone, from its own process:
// letting go of our Ctrl at once could land before its V, and the edit would then receive a
// plain "v". A held Shift makes it wait about a second before it pastes.
bool press(
    std::initializer_list<BYTE> modifiers, BYTE vk,
    const std::function<bool()>& delivered = [] { return true; });

// One key event from this process, as the keyboard sends it.
void key(BYTE vk, bool up = false);

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

// Rests the mouse on `control` and returns the text of the program's tip that shows: once it
// reads `expected`, else the last one seen when the deadline passes (empty: none showed).
std::string tipShownOn(const KalverinProcess& process, HWND control, const std::string& expected);

// Rests the mouse on the first icon of Wine's notification area (tests/support/tray_icons_win.h)
// and returns the text of its tip: once `wanted` accepts it, else the last one seen when the
// deadline passes.
std::string trayTipShown(const std::function<bool(const std::string&)>& wanted,
                         DWORD timeoutMs = kDeadlineMs);

// Moves the mouse to the middle of the screen and waits until the notification area shows
// no tip.
bool moveMouseAwayFromTheTray();

// Press Enter on the welcome dialog when it shows, then cancel the quit details dialog that
// follows after `lingerMs`; returns false when either did not appear in time.
bool getPastFirstRun(const KalverinProcess& process, DWORD lingerMs = 0);

}  // namespace e2e
