// End-to-end harness: starts the real kalverin.exe under Wine with its own settings folder,
// finds its windows, drives them as a user would and reads its settings file.
#pragma once
#include <windows.h>

#include <chrono>
#include <functional>
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

// The sections and keys of an INI text, in file order.
struct IniSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;
    const std::string* find(const std::string& key) const;
};
std::vector<IniSection> parseIni(const std::string& text);
const IniSection* findSection(const std::vector<IniSection>& sections, const std::string& name);

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

// A key of section "User 1" as the settings file holds it now; "<missing>" when absent.
std::string userSetting(const AppDataFolder& appData, const std::string& key);

// The settings-file value of a text kept in a fixed area of `size` bytes.
std::string storedText(const std::string& text, size_t size);

// A settings text for a user whose first run is over, so no welcome dialog shows.
std::string settingsText(const std::string& section,
                         const std::vector<std::pair<std::string, std::string>>& keys, int build = 151);

class KalverinProcess {
public:
    // Starts kalverin.exe with `arguments` as its command line and `appData` as %APPDATA%.
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
    // The main window (the dialog holding the hot-key control 1062), visible or hidden.
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
std::string controlText(HWND dialog, int id);

// The clipboard's CF_TEXT, or "<cannot open>" / "<no text>".
std::string clipboardText();

// Rests the mouse on `control` and returns the text of the program's tip that shows: once it
// reads `expected`, else the last one seen when the deadline passes (empty: none showed).
std::string tipShownOn(const KalverinProcess& process, HWND control, const std::string& expected);

// Rests the mouse on the notification area's first icon and returns the text of its tip:
// once `wanted` accepts it, else the last one seen when the deadline passes.
std::string trayTipShown(const std::function<bool(const std::string&)>& wanted,
                         DWORD timeoutMs = kDeadlineMs);

// Moves the mouse to the middle of the screen and waits until the notification area shows
// no tip.
bool moveMouseAwayFromTheTray();

// Press Enter on the welcome dialog when it shows, then cancel the quit details dialog that
// follows after `lingerMs`; returns false when either did not appear in time.
bool getPastFirstRun(const KalverinProcess& process, DWORD lingerMs = 0);

}  // namespace e2e
