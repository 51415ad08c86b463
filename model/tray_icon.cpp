#include "model/tray_icon.h"

namespace kalverin {

unsigned trayFlags(TrayAction action) {
    switch (action) {
        case TrayAction::add:
            return kTrayFlagMessage | kTrayFlagIcon | kTrayFlagTip;
        case TrayAction::modify:
            return kTrayFlagTip;
        case TrayAction::remove:
            break;
    }
    return 0;
}

bool setTrayIcon(TrayIcon& tray, TrayAction action, const std::string& tipText) {
    // Every tick comes here: a tip that fits is passed on as it is, not copied.
    if (tipText.size() <= kTrayTipMax) return tray.notifyIcon(action, trayFlags(action), tipText);
    return tray.notifyIcon(action, trayFlags(action), tipText.substr(0, kTrayTipMax));
}

bool keepTrayIcon(TrayIcon& tray, KeptTrayIcon& kept, const std::string& tipText) {
    if (kept.shown && kept.tip == tipText) return true;
    bool shown = kept.shown && setTrayIcon(tray, TrayAction::modify, tipText);
    if (!shown)
        shown = setTrayIcon(tray, TrayAction::add, tipText) || setTrayIcon(tray, TrayAction::modify, tipText);
    kept.shown = shown;
    kept.tip = tipText;
    return shown;
}

}  // namespace kalverin
