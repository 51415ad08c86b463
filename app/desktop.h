// The desktop services the hot-paste, tray and tick sequences use, behind one small seam:
// the Win32 desktop in the program, a recording fake in the tests.
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
    virtual bool registerHotKey(int id, unsigned modifiers, uint8_t vk) = 0;
    virtual void unregisterHotKey(int id) = 0;

    // The main window's notification icon: the flags say which of callback, icon and tip
    // the platform takes; the implementation fills in the rest of the record.
    virtual void notifyIcon(TrayAction action, unsigned flags, const std::string& tip) = 0;

    // Main window state.
    virtual bool isVisible() = 0;  // shown normally or minimised as a taskbar button
    virtual bool isMinimised() = 0;
    virtual void minimise() = 0;
    virtual void hide() = 0;
    virtual void showMinimised() = 0;

    // A message box with one OK button, owned by the main window, captioned with the
    // program's name.
    virtual void messageBox(const char* text) = 0;
    virtual void beep() = 0;
};

}  // namespace kalverin
