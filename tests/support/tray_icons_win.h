// The icons the notification area holds, as windows of the shell: Wine's shell gives each
// icon a small window of its own, which passes mouse messages on to the icon's owner with
// the callback message and icon id of the record the owner registered.
#pragma once
#include <windows.h>

#include <vector>

namespace kalverin {

inline BOOL CALLBACK collectTrayIcon(HWND window, LPARAM found) {
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpiA(cls, "__wine_tray_icon") == 0)
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

inline std::vector<HWND> trayIconWindows() {
    std::vector<HWND> found;
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            collectTrayIcon(window, param);
            EnumChildWindows(window, collectTrayIcon, param);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace kalverin
