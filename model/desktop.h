// The desktop services the tick, the main window, hot-paste and the tray icon use, behind
// one small seam: the Win32 desktop in the program, a recording fake in the tests.
#pragma once
#include <cstdint>
#include <string>

namespace kalverin {

// What became of handing a text to the open clipboard.
enum class ClipboardSet {
    ok,           // the clipboard holds (and owns) the text
    outOfMemory,  // no memory block for it; the clipboard is left as it was
    refused,      // the platform would not take the block (it was freed again)
};

// The platform's notification-icon actions, with their platform codes.
enum class TrayAction : unsigned { add = 0, modify = 1, remove = 2 };

// Which fields of the notification-icon record the platform takes.
constexpr unsigned kTrayFlagMessage = 1, kTrayFlagIcon = 2, kTrayFlagTip = 4;
constexpr size_t kTrayTipMax = 63;  // characters; the record's tip field is 64 bytes

class Desktop {
public:
    virtual ~Desktop() = default;

    // Clipboard: opened with the main window as its owner, held open only inside a delivery.
    virtual bool openClipboard() = 0;
    virtual void emptyClipboard() = 0;
    // Copies the text with its terminator into a fresh block and hands it over as CF_TEXT.
    virtual ClipboardSet setClipboardText(const std::string& text) = 0;
    virtual void closeClipboard() = 0;

    // One synthetic keyboard event: scan code 0, extra information 0.
    virtual void keyEvent(uint8_t vk, uint32_t flags) = 0;

    // System-wide hot-keys of the main window; modifiers in the platform's MOD_* form.
    virtual bool claimHotKey(int id, unsigned modifiers, uint8_t vk) = 0;
    virtual void releaseHotKey(int id) = 0;

    // The main window's notification icon: the flags say which of callback, icon and tip
    // the platform takes; the implementation fills in the rest of the record.
    virtual void notifyIcon(TrayAction action, unsigned flags, const std::string& tip) = 0;

    // Main window state.
    virtual bool isVisible() = 0;  // shown normally or minimised as a taskbar button
    virtual bool isMinimised() = 0;
    virtual void minimise() = 0;
    virtual void hide() = 0;
    virtual void showMinimised() = 0;
    // False while a modal dialog over the main window runs its own loop.
    virtual bool isEnabled() = 0;

    // The main window's controls and caption.
    virtual void setControlText(int id, const std::string& text) = 0;
    virtual void setCaption(const std::string& caption) = 0;
    // The primary key-combination control: virtual key in the low byte, modifier bits
    // (1 Shift, 2 Ctrl, 4 Alt, 8 extended) in the high byte.
    virtual void showHotKeyCombination(uint16_t combination) = 0;
    virtual uint16_t hotKeyCombination() = 0;
    // (Re)starts the one-second tick timer of the main window.
    virtual void startTickTimer() = 0;
    // The main window's system menu items, fonts, icons and tool-tips.
    virtual void decorateWindow() = 0;
    // Modal dialogs over the main window.
    virtual void showWelcome() = 0;
    virtual void showAbout() = 0;
    // Queues "&Change Quit Details", handled once the window's own loop runs.
    virtual void postChangeQuitDetails() = 0;

    // A message box with one OK button, owned by the main window, captioned with the
    // program's name.
    virtual void messageBox(const char* text) = 0;
    virtual void beep() = 0;  // the exclamation sound
};

// Flags of each action: add gives callback, icon and tip; modify the tip; delete nothing.
unsigned trayFlags(TrayAction action);

// Shell_NotifyIconA with the tip cut to kTrayTipMax characters. The result is not looked at.
void setTrayIcon(Desktop& desktop, TrayAction action, const std::string& tipText);

}  // namespace kalverin
