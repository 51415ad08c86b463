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

// One synthetic key event.
struct KeyStroke {
    uint8_t vk;
    bool up;
};

// The clipboard, the keyboard and the wait of a hot-paste.
class ClipboardAndKeys {
public:
    virtual ~ClipboardAndKeys() = default;
    // Opened with the main window as its owner, held open only inside a delivery. Fails while
    // another program holds it.
    virtual bool openClipboard() = 0;
    virtual void emptyClipboard() = 0;
    // Hands the text over as CF_TEXT and, converted from the ANSI code page, as CF_UNICODETEXT.
    virtual ClipboardSet setClipboardText(const std::string& text) = 0;
    virtual void closeClipboard() = 0;
    // Whether the key is down at this moment (the person's keys and synthetic ones alike).
    virtual bool keyIsDown(uint8_t vk) = 0;
    // The events as one uninterrupted input: no key of the person's comes between them.
    virtual void sendKeys(const KeyStroke* keys, size_t count) = 0;
    // Lets `milliseconds` pass with the window answering its messages meanwhile; hot-keys
    // pressed meanwhile wait their turn.
    virtual void pause(unsigned milliseconds) = 0;
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
    // A short timer while a hot-key's key is held after its paste: starts, or stops it.
    virtual void watchKeyRelease(bool on) = 0;
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
