// The notification-area icon of the main window and its double-click toggle.
#pragma once
#include <functional>
#include <string>

#include "app/desktop.h"
#include "model/quit_record.h"

namespace kalverin {

constexpr unsigned kTrayIconId = 128;
constexpr unsigned kTrayCallbackMessage = 102;
constexpr unsigned kLeftDoubleClick = 515;  // WM_LBUTTONDBLCLK

// Stores the quit record; saveSettings with the run's settings file in the program.
using SaveRecord = std::function<void(const QuitRecord&)>;

// Hides a visible main window (minimising it first) or shows a hidden one minimised, sets
// showOnTaskbar to match and stores the record.
void trayToggle(MainView& window, QuitRecord& record, const SaveRecord& save);

// The icon's callback message: only a left double-click toggles. Returns whether it did.
bool onTrayCallback(MainView& window, QuitRecord& record, unsigned mouseMessage, const SaveRecord& save);

// A restarted shell (or the first one, at logon) has a fresh notification area without our
// icon: add it again with the current tip. Returns whether the shell took it; if not, the
// next tick tries again.
bool onTaskbarCreated(TrayIcon& tray, KeptTrayIcon& kept, const std::string& tipText);

}  // namespace kalverin
