// A desktop that records every action in order, with outcomes and window state the test sets.
#pragma once
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/desktop.h"

namespace kalverin {

// The recorded calls; `+` joins two runs of them.
using Calls = std::vector<std::string>;
inline Calls operator+(Calls a, const Calls& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class RecordingDesktop : public Desktop {
public:
    // Outcomes the next calls report: the next `busyOpens` opens fail, as do the next
    // `refusedNotifies` notification-icon requests.
    int busyOpens = 0;
    int refusedNotifies = 0;
    ClipboardSet clipboardSet = ClipboardSet::ok;
    std::set<int> refusedHotKeyIds;
    // Runs while a message box is "on screen", as the box's own message loop would run
    // whatever is queued (another hot-key, a tick).
    std::function<void()> duringMessageBox;

    // The keys down; a paste's own strokes change them as the platform would. Runs at every
    // pause, as the pause's message loop runs whatever comes meanwhile.
    std::set<int> keysDown;
    std::function<void()> duringPause;

    // Window state; the window actions change it as the platform would.
    bool visible = true;
    bool minimised = false;
    bool enabled = true;
    uint16_t hotKeyShown = 0;  // the primary key-combination control

    // One line per action, e.g. "open", "set:text", "keys:17v 86v 86^ 17^", "pause:50",
    // "register:1:2:187" (":repeats" added without kModNoRepeat), "notify:add:message+icon+tip:tip"
    // (" refused" added when refused), "box:Out Of Memory!", "1031:text", "caption:text", "timer",
    // "watch:on". Queries are not recorded.
    std::vector<std::string> calls;
    std::string clipboard;  // what the clipboard holds
    bool clipboardOpen = false;

    bool openClipboard() override;
    void emptyClipboard() override;
    ClipboardSet setClipboardText(const std::string& text) override;
    void closeClipboard() override;
    bool keyIsDown(uint8_t vk) override { return keysDown.count(vk) != 0; }
    void sendKeys(const KeyStroke* keys, size_t count) override;
    void pause(unsigned milliseconds) override;
    bool claimHotKey(int id, unsigned modifiers, uint8_t vk) override;
    void releaseHotKey(int id) override;
    bool notifyIcon(TrayAction action, unsigned flags, const std::string& tip) override;
    bool isVisible() override { return visible; }
    bool isMinimised() override { return minimised; }
    void minimise() override;
    void hide() override;
    void showMinimised() override;
    bool isEnabled() override { return enabled; }
    void setControlText(int id, const std::string& text) override;
    void setCaption(const std::string& caption) override;
    void showHotKeyCombination(uint16_t combination) override;
    uint16_t hotKeyCombination() override { return hotKeyShown; }
    void startTickTimer() override { calls.push_back("timer"); }
    void watchKeyRelease(bool on) override { calls.push_back(on ? "watch:on" : "watch:off"); }
    void decorateWindow() override { calls.push_back("decorate"); }
    void showWelcome() override { calls.push_back("welcome"); }
    void showAbout() override;
    void postChangeQuitDetails() override { calls.push_back("post:quitDetails"); }
    void messageBox(const char* text) override;
    void beep() override;

    // Runs while the About dialog is "on screen", as its own message loop would.
    std::function<void()> duringAbout;
};

}  // namespace kalverin
