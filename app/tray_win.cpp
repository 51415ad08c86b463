// The main window's notification icon.
#include "app/app_win.h"
#include "app/application.h"
#include "app/desktop_win.h"
#include "app/tray.h"
#include "model/settings.h"

namespace kalverin {
namespace {

void storeRecord(const QuitRecord& record) {
    if (app().settings) saveSettings(record, *app().settings);
}

}  // namespace

void setTrayIcon(TrayAction action) {
    Win32Desktop desktop = mainDesktop();
    setTrayIcon(desktop, action, app().stats.tipText);
}

void onTrayCallback(LPARAM lParam) {
    Win32Desktop desktop = mainDesktop();
    onTrayCallback(desktop, app().record, static_cast<unsigned>(lParam), storeRecord);
}

UINT taskbarCreatedMessage() {
    // Broadcast to top-level windows when the shell (re)creates the taskbar.
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

void onTaskbarCreated() {
    Win32Desktop desktop = mainDesktop();
    onTaskbarCreated(desktop, app().stats.tipText);
}

}  // namespace kalverin
