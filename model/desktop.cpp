#include "model/desktop.h"

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

void setTrayIcon(Desktop& desktop, TrayAction action, const std::string& tipText) {
    // Every tick comes here: a tip that fits is passed on as it is, not copied.
    if (tipText.size() <= kTrayTipMax)
        desktop.notifyIcon(action, trayFlags(action), tipText);
    else
        desktop.notifyIcon(action, trayFlags(action), tipText.substr(0, kTrayTipMax));
}

}  // namespace kalverin
