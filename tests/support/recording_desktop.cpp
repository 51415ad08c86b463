#include "tests/support/recording_desktop.h"

#include "app/hot_paste.h"

#include <utility>

namespace kalverin {

bool RecordingDesktop::openClipboard() {
    clipboardOpen = busyOpens <= 0;
    if (!clipboardOpen) --busyOpens;
    calls.push_back(clipboardOpen ? "open" : "open:failed");
    return clipboardOpen;
}

void RecordingDesktop::emptyClipboard() {
    calls.push_back("empty");
    if (clipboardOpen) clipboard.clear();
}

ClipboardSet RecordingDesktop::setClipboardText(const std::string& text) {
    calls.push_back("set:" + text);
    if (clipboardOpen && clipboardSet == ClipboardSet::ok) clipboard = text;
    return clipboardSet;
}

void RecordingDesktop::closeClipboard() {
    calls.push_back("close");
    clipboardOpen = false;
}

void RecordingDesktop::sendKeys(const KeyStroke* keys, size_t count) {
    std::string line = "keys:";
    for (size_t i = 0; i < count; ++i) {
        line += (i ? " " : "") + std::to_string(keys[i].vk) + (keys[i].up ? "^" : "v");
        if (keys[i].up)
            keysDown.erase(keys[i].vk);
        else
            keysDown.insert(keys[i].vk);
    }
    calls.push_back(line);
}

void RecordingDesktop::pause(unsigned milliseconds) {
    calls.push_back("pause:" + std::to_string(milliseconds));
    if (duringPause) duringPause();
}

bool RecordingDesktop::claimHotKey(int id, unsigned modifiers, uint8_t vk) {
    calls.push_back("register:" + std::to_string(id) + ":" + std::to_string(modifiers & ~kModNoRepeat) + ":" +
                    std::to_string(vk) + (modifiers & kModNoRepeat ? "" : ":repeats"));
    return refusedHotKeyIds.count(id) == 0;
}

void RecordingDesktop::releaseHotKey(int id) {
    calls.push_back("unregister:" + std::to_string(id));
}

bool RecordingDesktop::notifyIcon(TrayAction action, unsigned flags, const std::string& tip) {
    const char* actions[] = {"add", "modify", "remove"};
    std::string named;
    for (auto [flag, name] :
         {std::pair{kTrayFlagMessage, "message"}, {kTrayFlagIcon, "icon"}, {kTrayFlagTip, "tip"}})
        if (flags & flag) named += (named.empty() ? "" : "+") + std::string(name);
    const bool refused = refusedNotifies > 0;
    if (refused) --refusedNotifies;
    calls.push_back("notify:" + std::string(actions[static_cast<unsigned>(action)]) + ":" + named + ":" +
                    tip + (refused ? " refused" : ""));
    return !refused;
}

void RecordingDesktop::minimise() {
    calls.push_back("minimise");
    visible = true;
    minimised = true;
}

void RecordingDesktop::hide() {
    calls.push_back("hide");
    visible = false;
}

void RecordingDesktop::showMinimised() {
    calls.push_back("showMinimised");
    visible = true;
    minimised = true;
}

void RecordingDesktop::setControlText(int id, const std::string& text) {
    calls.push_back(std::to_string(id) + ":" + text);
}

void RecordingDesktop::setCaption(const std::string& caption) {
    calls.push_back("caption:" + caption);
}

void RecordingDesktop::showHotKeyCombination(uint16_t combination) {
    calls.push_back("showHotKey:" + std::to_string(combination >> 8) + ":" +
                    std::to_string(combination & 0xFF));
    hotKeyShown = combination;
}

void RecordingDesktop::showAbout() {
    calls.push_back("about");
    if (duringAbout) {
        auto hook = std::move(duringAbout);
        duringAbout = nullptr;
        hook();
        calls.push_back("about closed");
    }
}

void RecordingDesktop::messageBox(const char* text) {
    calls.push_back(std::string("box:") + text);
    if (duringMessageBox) {
        auto hook = std::move(duringMessageBox);  // once: a nested box does not nest again
        duringMessageBox = nullptr;
        hook();
        calls.push_back("box closed");
    }
}

void RecordingDesktop::beep() {
    calls.push_back("beep");
}

}  // namespace kalverin
