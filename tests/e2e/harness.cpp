#include "tests/e2e/harness.h"

#include "model/ini_file.h"
#include "model/profile_disk_win.h"
#include "resources/resource.h"

#include <commctrl.h>

#include "tests/support/captured_process_win.h"
#include "tests/support/tray_icons_win.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace e2e {

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > timeoutMs) return condition();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(20);
    }
}

std::string environment(const char* name) {
    char buffer[2048];
    DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

std::string windowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string result = "Z:" + path;
    for (char& c : result)
        if (c == '/') c = '\\';
    return result;
}

AppDataFolder::AppDataFolder() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static LONG counter = 0;
    char name[MAX_PATH];
    std::snprintf(name, sizeof name, "%skalverin-e2e-%lu-%ld", temp, GetCurrentProcessId(),
                  InterlockedIncrement(&counter));
    path_ = name;
    CreateDirectoryA(path_.c_str(), nullptr);
}

AppDataFolder::~AppDataFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void AppDataFolder::writeSettings(const std::string& text) const {
    CreateDirectoryA((path_ + "\\Kalverin").c_str(), nullptr);
    std::ofstream out(settingsPath(), std::ios::binary | std::ios::trunc);
    out << text;
}

std::string AppDataFolder::readSettings() const {
    std::ifstream in(settingsPath(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool AppDataFolder::settingsExist() const {
    return GetFileAttributesA(settingsPath().c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string storedSetting(const AppDataFolder& appData, const std::string& section, const std::string& key) {
    kalverin::IniProfileFile file = kalverin::IniProfileFile::inMemory(appData.readSettings());
    return file.readString(section.c_str(), key.c_str(), "<missing>", 65535);
}

std::string storedText(const std::string& text, size_t size) {
    std::string area(size, '\0');
    area.replace(0, text.size() < size ? text.size() : size, text.substr(0, size));
    return kalverin::encodeProfileStruct(area.data(), size);
}

Keys exampleHabit(const char* start) {
    return {{"Name", "Ann Example"}, {"Start", start}, {"spd", "20"}, {"cph", "4"},
            {"cptu", "50"},          {"cpp", "20"}};
}

std::string settingsText(const std::string& section,
                         const std::vector<std::pair<std::string, std::string>>& keys, int build) {
    std::string text = "[" + section + "]\r\n";
    for (const auto& key : keys) text += key.first + "=" + key.second + "\r\n";
    text += "[Kalverin]\r\nBuild=" + std::to_string(build) + "\r\n";
    return text;
}

// The environment of this process with APPDATA (and any extra names) replaced.
static std::wstring wide(const std::string& utf8) {
    return kalverin::wideText(utf8);
}

// This process's environment with `extra` (UTF-8) in place of the same names, and APPDATA the
// test's folder unless `extra` names it; a name given an empty value is left out. Wide, so that
// a value outside the ANSI code page (a profile folder's name) reaches the program whole.
static std::wstring environmentBlock(const std::string& appData,
                                     const std::vector<std::pair<std::string, std::string>>& extra) {
    std::vector<std::pair<std::string, std::string>> replaced = extra;
    bool namesAppData = false;
    for (const auto& r : extra) namesAppData = namesAppData || _stricmp(r.first.c_str(), "APPDATA") == 0;
    if (!namesAppData) replaced.emplace_back("APPDATA", appData);
    std::wstring block;
    wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* p = strings; *p; p += wcslen(p) + 1) {
        std::wstring entry = p;
        bool skip = false;
        for (const auto& r : replaced)
            if (_wcsnicmp(entry.c_str(), wide(r.first + "=").c_str(), r.first.size() + 1) == 0) skip = true;
        if (!skip) block += entry + L'\0';
    }
    FreeEnvironmentStringsW(strings);
    for (const auto& r : replaced)
        if (!r.second.empty()) block += wide(r.first + "=" + r.second) + L'\0';
    block += L'\0';
    return block;
}

KalverinProcess::KalverinProcess(const AppDataFolder& appData, const std::string& arguments,
                                 const std::vector<std::pair<std::string, std::string>>& extraEnvironment) {
    std::string exe = windowsPath(environment("KALVERIN_EXE"));
    if (exe.empty()) exe = "kalverin.exe";
    std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    std::wstring env = environmentBlock(appData.path(), extraEnvironment);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                       &env[0], nullptr, &startup, &info)) {
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        processId_ = info.dwProcessId;
        WaitForInputIdle(process_, 5000);
    }
}

KalverinProcess::~KalverinProcess() {
    if (!process_) return;
    if (running()) {
        if (HWND main = mainWindow()) PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
        // The test's settings folder goes next: the process must have ended, not only be told to.
        if (WaitForSingleObject(process_, 5000) != WAIT_OBJECT_0) kalverin::terminateAndWait(process_, 1);
    }
    CloseHandle(process_);
}

std::vector<HWND> KalverinProcess::topLevelWindows() const {
    struct Search {
        DWORD pid;
        std::vector<HWND> found;
    } search{processId_, {}};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == s->pid) s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND KalverinProcess::findWindow(const std::string& caption) const {
    for (HWND window : topLevelWindows())
        if (IsWindowVisible(window) && windowText(window) == caption) return window;
    return nullptr;
}

HWND KalverinProcess::waitForWindow(const std::string& caption, DWORD timeoutMs) const {
    HWND found = nullptr;
    waitUntil([&] { return (found = findWindow(caption)) != nullptr; }, timeoutMs);
    return found;
}

HWND KalverinProcess::mainWindow() const {
    for (HWND window : topLevelWindows()) {
        HWND hotKey = GetDlgItem(window, IDC_PRIMARY_HOT_KEY);
        char cls[64] = "";
        if (hotKey && GetClassNameA(hotKey, cls, sizeof cls) && _stricmp(cls, "msctls_hotkey32") == 0 &&
            GetDlgItem(window, IDC_ELAPSED))
            return window;
    }
    return nullptr;
}

HWND KalverinProcess::waitForMainWindow(DWORD timeoutMs) const {
    HWND found = nullptr;
    waitUntil([&] { return (found = mainWindow()) != nullptr; }, timeoutMs);
    return found;
}

HWND KalverinProcess::waitUntilMinimised(DWORD timeoutMs) const {
    HWND found = nullptr;
    waitUntil([&] { return (found = mainWindow()) != nullptr && IsIconic(found); }, timeoutMs);
    return found && IsIconic(found) ? found : nullptr;
}

void KalverinProcess::pressEscape(HWND window) const {
    // The modal loop hands keys posted to the dialog to IsDialogMessage, as for a real key.
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(window, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

bool KalverinProcess::waitForExit(DWORD timeoutMs) const {
    return process_ && WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
}

bool KalverinProcess::running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

DWORD KalverinProcess::exitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_, &code);
    return code;
}

std::string windowText(HWND window) {
    char text[1024] = "";
    // WM_GETTEXT works across processes and does not block on a hung window for long.
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        2000, &result);
    return text;
}

std::string controlText(HWND dialog, int id) {
    return windowText(GetDlgItem(dialog, id));
}

bool getPastFirstRun(const KalverinProcess& process, DWORD lingerMs) {
    HWND welcome = process.waitForWindow("Welcome To Kalverin");
    if (!welcome) return false;
    PostMessageA(welcome, WM_COMMAND, IDOK, 0);
    HWND details = process.waitForWindow("Kalverin - Settings");
    if (!details) return false;
    if (lingerMs) Sleep(lingerMs);
    PostMessageA(details, WM_COMMAND, IDCANCEL, 0);
    return waitUntil([&] { return process.findWindow("Kalverin - Settings") == nullptr; });
}

void key(BYTE vk, bool up) {
    keybd_event(vk, 0, up ? KEYEVENTF_KEYUP : 0, 0);
}

bool press(std::initializer_list<BYTE> modifiers, BYTE vk, const std::function<bool()>& delivered) {
    for (BYTE m : modifiers) key(m);
    key(vk);
    bool ok = delivered();
    key(vk, true);
    for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m) key(*m, true);
    return ok;
}

namespace {

void moveMouseTo(POINT screen) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

// Rests the mouse on `spot` until a visible tip window that `isTip` accepts shows a text
// `wanted` accepts; returns that text, or the last one seen.
std::string restMouseFor(POINT spot, const std::function<bool(HWND)>& isTip,
                         const std::function<bool(const std::string&)>& wanted, DWORD timeoutMs) {
    std::string seen;
    bool found = false;
    std::function<bool(HWND)> check = [&](HWND window) {
        char cls[32] = "";
        GetClassNameA(window, cls, sizeof cls);
        if (_stricmp(cls, TOOLTIPS_CLASSA) != 0 || !IsWindowVisible(window) || !isTip(window)) return false;
        seen = windowText(window);
        return found = wanted(seen);
    };
    auto shown = [&] {
        found = false;
        EnumWindows(
            [](HWND window, LPARAM param) -> BOOL {
                return (*reinterpret_cast<std::function<bool(HWND)>*>(param))(window) ? FALSE : TRUE;
            },
            reinterpret_cast<LPARAM>(&check));
        return found;
    };
    // The tip shows once the mouse has rested for its delay; a move it missed is made again,
    // a pixel aside, so that it is a move.
    for (int attempt = 0; attempt < 3; ++attempt) {
        moveMouseTo({spot.x + attempt, spot.y});
        if (waitUntil(shown, timeoutMs / 3)) break;
    }
    return seen;
}

}  // namespace

std::string tipShownOn(const KalverinProcess& process, HWND control, const std::string& expected) {
    RECT area{};
    GetWindowRect(control, &area);
    const DWORD id = process.id();
    return restMouseFor(
        {(area.left + area.right) / 2, (area.top + area.bottom) / 2},
        [id](HWND tip) {
            DWORD owner = 0;
            GetWindowThreadProcessId(tip, &owner);
            return owner == id;
        },
        [&](const std::string& text) { return text == expected; }, 12000);
}

bool moveMouseAwayFromTheTray() {
    moveMouseTo({GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2});
    const HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
    return waitUntil([&] {
        for (HWND tip = nullptr; (tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) != nullptr;)
            if (GetWindow(tip, GW_OWNER) == tray && IsWindowVisible(tip)) return false;
        return true;
    });
}

std::string trayTipShown(const std::function<bool(const std::string&)>& wanted, DWORD timeoutMs) {
    kalverin::TrayIconSpot icon = kalverin::firstTrayIcon();
    if (!icon.tray) return "<no notification area>";
    ClientToScreen(icon.tray, &icon.point);
    return restMouseFor(
        icon.point, [&](HWND tip) { return GetWindow(tip, GW_OWNER) == icon.tray; }, wanted, timeoutMs);
}

HWND findSaveFailure(const KalverinProcess& process, std::string& text) {
    for (HWND window : process.topLevelWindows()) {
        char cls[16] = "";
        GetClassNameA(window, cls, sizeof cls);
        if (std::string(cls) != "#32770" || !IsWindowVisible(window)) continue;
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t shown[2048] = L"";
            GetWindowTextW(child, shown, 2048);
            text = kalverin::utf8Text(shown);
            if (text.rfind("Kalverin could not save", 0) == 0) return window;
        }
    }
    text.clear();
    return nullptr;
}

bool storesWithoutAMessage(HWND main) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(main, WM_COMMAND, IDOK, 0, SMTO_NORMAL, 3000, &result) != 0;
}

}  // namespace e2e
