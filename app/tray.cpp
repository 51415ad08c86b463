#include "app/tray.h"

namespace kalverin {

void trayToggle(MainView& window, QuitRecord& record, const SaveRecord& save) {
    if (window.isVisible()) {
        // Minimised first so that the window comes back as a taskbar button, never at
        // normal size.
        if (!window.isMinimised()) window.minimise();
        window.hide();
        record.showOnTaskbar = 0;
    } else {
        window.showMinimised();
        record.showOnTaskbar = 1;
    }
    if (save) save(record);
}

bool onTrayCallback(MainView& window, QuitRecord& record, unsigned mouseMessage, const SaveRecord& save) {
    if (mouseMessage != kLeftDoubleClick) return false;
    trayToggle(window, record, save);
    return true;
}

bool onTaskbarCreated(TrayIcon& tray, KeptTrayIcon& kept, const std::string& tipText) {
    kept.shown = false;
    return keepTrayIcon(tray, kept, tipText);
}

}  // namespace kalverin
