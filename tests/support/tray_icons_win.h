// The notification area of Wine's desktop, as a program sees it from outside: Wine's taskbar
// window holds the icons side by side from its right end, and a mouse message on an icon
// reaches the icon's owner with the callback message and icon id of its record. Windows'
// taskbar (Explorer's) lays its icons out otherwise and keeps most in an overflow area, so a
// case that works the icons this way skips there (KALVERIN_SKIP_UNLESS_WINE).
#pragma once
#include <windows.h>

#include "tests/support/wine_win.h"

namespace kalverin {

constexpr const char* kNeedsWineNotificationArea =
    "works the icons of Wine's notification area (its taskbar lays them out from its right end); "
    "Windows' taskbar does not";

// The taskbar window and the middle of its first icon (the only one while the desktop holds
// no other), in the window's client coordinates; a null window when there is no taskbar.
struct TrayIconSpot {
    HWND tray = nullptr;
    POINT point{};
};

inline TrayIconSpot firstTrayIcon() {
    TrayIconSpot spot;
    spot.tray = FindWindowA("Shell_TrayWnd", nullptr);
    RECT client{};
    if (!spot.tray || !GetClientRect(spot.tray, &client)) return TrayIconSpot{};
    const int iconWidth = GetSystemMetrics(SM_CXSMICON) + 4;  // the icon and its border
    spot.point = {client.right - iconWidth / 2, client.bottom / 2};
    return spot;
}

inline bool doubleClickFirstTrayIcon() {
    TrayIconSpot spot = firstTrayIcon();
    return spot.tray &&
           PostMessageA(spot.tray, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(spot.point.x, spot.point.y));
}

}  // namespace kalverin
