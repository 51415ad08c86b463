// The Win32 desktop of a window: clipboard, keys, hot-keys, the notification icon, window
// state and, for the main window, its controls, timer and dialogs.
#pragma once
#include <windows.h>

#include <string>

#include "app/desktop.h"

namespace kalverin {

// The main window's timers: the once-a-second tick, and the watch on a held hot-key.
constexpr UINT kTickTimer = 1, kKeyWatchTimer = 2;

class Win32Desktop final : public Desktop {
public:
    // `window` owns the clipboard, hot-keys, icon and message boxes; `largeIcon` is the
    // window's big icon, `smallIcon` its title bar's and the notification area's; `caption`
    // titles message boxes; the fonts go to the main window's user name and statistics.
    Win32Desktop(HWND window, HICON largeIcon, HICON smallIcon, std::string caption,
                 HFONT userNameFont = nullptr, HFONT statisticsFont = nullptr);

    bool openClipboard() override;
    void emptyClipboard() override;
    ClipboardSet setClipboardText(const std::string& text) override;
    void closeClipboard() override;
    bool keyIsDown(uint8_t vk) override;
    void sendKeys(const KeyStroke* keys, size_t count) override;
    void pause(unsigned milliseconds) override;
    bool claimHotKey(int id, unsigned modifiers, uint8_t vk) override;
    void releaseHotKey(int id) override;
    bool notifyIcon(TrayAction action, unsigned flags, const std::string& tip) override;
    bool isVisible() override;
    bool isMinimised() override;
    void minimise() override;
    void hide() override;
    void showMinimised() override;
    bool isEnabled() override;
    void setControlText(int id, const std::string& text) override;
    void setCaption(const std::string& caption) override;
    void showHotKeyCombination(uint16_t combination) override;
    uint16_t hotKeyCombination() override;
    void startTickTimer() override;
    void watchKeyRelease(bool on) override;
    void decorateWindow() override;
    void showWelcome() override;
    void showAbout() override;
    void postChangeQuitDetails() override;
    void messageBox(const char* text) override;
    void beep() override;

private:
    HWND window_;
    HICON largeIcon_;
    HICON smallIcon_;
    std::string caption_;
    HFONT userNameFont_;
    HFONT statisticsFont_;
};

}  // namespace kalverin
