// The desktop services the main window, hot-paste and the tray toggle use, one small seam
// each: the Win32 desktop of the main window in the program, a recording fake in the tests.
// The tick's own seams (StatusView, TrayIcon) live with the model.
#pragma once
#include <cstdint>
#include <string>

#include "model/status_view.h"
#include "model/tray_icon.h"

namespace kalverin {

// What became of handing a text to the open clipboard.
enum class ClipboardSet {
    ok,           // the clipboard holds (and owns) the text
    outOfMemory,  // no memory block for it; the clipboard is left as it was
    refused,      // the platform would not take the block (it was freed again)
};

// The clipboard and synthetic keys of a hot-paste.
class ClipboardAndKeys {
public:
    virtual ~ClipboardAndKeys() = default;
    // Opened with the main window as its owner, held open only inside a delivery.
    virtual bool openClipboard() = 0;
    virtual void emptyClipboard() = 0;
    // Copies the text with its terminator into a fresh block and hands it over as CF_TEXT.
    virtual ClipboardSet setClipboardText(const std::string& text) = 0;
    virtual void closeClipboard() = 0;
    // One synthetic keyboard event: scan code 0, extra information 0.
    virtual void keyEvent(uint8_t vk, uint32_t flags) = 0;
};

// System-wide hot-keys of the main window; modifiers in the platform's MOD_* form.
class SystemHotKeys {
public:
    virtual ~SystemHotKeys() = default;
    virtual bool claimHotKey(int id, unsigned modifiers, uint8_t vk) = 0;
    virtual void releaseHotKey(int id) = 0;
};

// The main window as the shell's steps see it: its state, controls, timer, dialogs and
// message boxes, beside what the tick writes.
class MainView : public StatusView {
public:
    virtual bool isVisible() = 0;  // shown normally or minimised as a taskbar button
    virtual bool isMinimised() = 0;
    virtual void minimise() = 0;
    virtual void hide() = 0;
    virtual void showMinimised() = 0;
    // False while a modal dialog over the main window runs its own loop.
    virtual bool isEnabled() = 0;
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
};

// Every service of the main window's desktop, as the window's steps hand them on; each step
// takes only the seams it uses.
class Desktop : public ClipboardAndKeys, public SystemHotKeys, public TrayIcon, public MainView {};

}  // namespace kalverin
