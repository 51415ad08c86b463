// The Win32 desktop, and the hot-paste and tray entry points the main window calls.
#pragma once
#include <windows.h>

#include <string>

#include "app/desktop.h"

namespace kalverin {

class Win32Desktop final : public Desktop {
public:
    // `window` owns the clipboard, hot-keys, icon and message boxes; `icon` is shown in the
    // notification area; `caption` titles message boxes.
    Win32Desktop(HWND window, HICON icon, std::string caption);

    bool openClipboard() override;
    void emptyClipboard() override;
    ClipboardSet setClipboardText(const std::string& text) override;
    void closeClipboard() override;
    void keyEvent(uint8_t vk, uint32_t flags) override;
    bool registerHotKey(int id, unsigned modifiers, uint8_t vk) override;
    void unregisterHotKey(int id) override;
    void notifyIcon(TrayAction action, unsigned flags, const std::string& tip) override;
    bool isVisible() override;
    bool isMinimised() override;
    void minimise() override;
    void hide() override;
    void showMinimised() override;
    void messageBox(const char* text) override;
    void beep() override;

private:
    HWND window_;
    HICON icon_;
    std::string caption_;
};

// The desktop of the main window: mainWindow(), programIcon(), programName().
Win32Desktop mainDesktop();

// Main-window entry points; they work on app().
void hotPaste(int id);                // WM_HOTKEY: hotPaste(static_cast<int>(wParam))
void deliverText(int index);          // system command 32, "Copy Sig To Clipboard": deliverText(0)
void setTrayIcon(TrayAction action);  // add at start-up, modify after each tip, remove at shutdown
void onTrayCallback(LPARAM lParam);   // message 102: toggles on WM_LBUTTONDBLCLK
UINT taskbarCreatedMessage();         // RegisterWindowMessageA("TaskbarCreated")
void onTaskbarCreated();              // that message: adds the icon again with the current tip

}  // namespace kalverin
