// The main window's notification-area icon as the tick and the shell drive it: a small seam,
// the shell's icon in the program, a recording fake in the tests.
#pragma once
#include <string>

namespace kalverin {

// The platform's notification-icon actions, with their platform codes.
enum class TrayAction : unsigned { add = 0, modify = 1, remove = 2 };

// Which fields of the notification-icon record the platform takes.
constexpr unsigned kTrayFlagMessage = 1, kTrayFlagIcon = 2, kTrayFlagTip = 4;
constexpr size_t kTrayTipMax = 63;  // characters; the record's tip field is 64 bytes

class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    // The flags say which of callback, icon and tip the platform takes; the implementation
    // fills in the rest of the record. Returns whether the shell took the request.
    virtual bool notifyIcon(TrayAction action, unsigned flags, const std::string& tip) = 0;
};

// Flags of each action: add gives callback, icon and tip; modify the tip; delete nothing.
unsigned trayFlags(TrayAction action);

// The notification-icon request with the tip cut to kTrayTipMax characters; returns the
// shell's answer.
bool setTrayIcon(TrayIcon& tray, TrayAction action, const std::string& tipText);

// What the shell holds of the icon: whether it holds it at all, and the tip it last took.
struct KeptTrayIcon {
    bool shown = false;
    std::string tip;
};

// Has the shell show `tipText` in the icon. An unchanged tip is not sent again. Without an
// icon (the notification area may not exist yet at logon, or a new one has lost it) or when a
// modify fails, the icon is added; an add refused because the icon is there after all shows
// in a modify that works. Returns whether the shell holds the icon; one that does not is tried
// again at the next call.
bool keepTrayIcon(TrayIcon& tray, KeptTrayIcon& kept, const std::string& tipText);

}  // namespace kalverin
