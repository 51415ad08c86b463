#include "app/tray.h"

namespace kalverin {

void trayToggle(Desktop& desktop, QuitRecord& record, const SaveRecord& save) {
    if (desktop.isVisible()) {
        // Minimised first so that the window comes back as a taskbar button, never at
        // normal size.
        if (!desktop.isMinimised()) desktop.minimise();
        desktop.hide();
        record.showOnTaskbar = 0;
    } else {
        desktop.showMinimised();
        record.showOnTaskbar = 1;
    }
    if (save) save(record);
}

bool onTrayCallback(Desktop& desktop, QuitRecord& record, unsigned mouseMessage, const SaveRecord& save) {
    if (mouseMessage != kLeftDoubleClick) return false;
    trayToggle(desktop, record, save);
    return true;
}

void onTaskbarCreated(Desktop& desktop, const std::string& tipText) {
    setTrayIcon(desktop, TrayAction::add, tipText);
}

}  // namespace kalverin
