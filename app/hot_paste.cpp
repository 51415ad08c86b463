#include "app/hot_paste.h"

#include <iterator>
#include <string_view>

namespace kalverin {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

bool isHotKeyId(int id) {
    return id >= 1 && id <= static_cast<int>(kHotKeyCount);
}

// Clipboard managers and remote-desktop clients hold the clipboard for a moment after each
// change: one failed open is no reason to give up.
bool openWithRetry(ClipboardAndKeys& desktop) {
    for (int attempt = 1;; ++attempt) {
        if (desktop.openClipboard()) return true;
        if (attempt == kPauseSteps) return false;
        desktop.pause(kPauseStep);
    }
}

// Keeps the clipboard open for one delivery and closes it on every way out.
class ClipboardSession {
public:
    explicit ClipboardSession(ClipboardAndKeys& desktop) : desktop_(desktop), open_(openWithRetry(desktop)) {}
    ~ClipboardSession() { close(); }
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;

    bool isOpen() const { return open_; }
    void close() {
        if (open_) desktop_.closeClipboard();
        open_ = false;
    }

private:
    ClipboardAndKeys& desktop_;
    bool open_;
};

// Leaves renderBuffer holding the rendering of `source` and a line break, cutting the
// rendering where the line break would no longer fit.
void renderWithLineBreak(const Delivery& delivery, const std::string& source) {
    TextBuffer& buffer = delivery.renderBuffer;
    buffer.clear();
    delivery.render(source.c_str(), buffer, delivery.script);
    size_t room = buffer.capacity() >= kLineBreak.size() ? buffer.capacity() - kLineBreak.size() : 0;
    if (buffer.size() > room) {
        std::string cut = buffer.str().substr(0, room);
        buffer.clear();
        buffer.append(cut);
    }
    buffer.append(kLineBreak);
}

}  // namespace

unsigned platformModifiers(uint16_t storedModifiers) {
    unsigned platform = 0;
    if (storedModifiers & kStoredShift) platform |= kModShift;
    if (storedModifiers & kStoredControl) platform |= kModControl;
    if (storedModifiers & kStoredAlt) platform |= kModAlt;
    return platform;
}

bool HotKeyRegistrations::registerHotKey(SystemHotKeys& hotKeys, const QuitRecord& record, int id) {
    if (!isHotKeyId(id)) return false;
    size_t entry = static_cast<size_t>(id - 1);
    // Release the combination this id held before: otherwise the platform keeps it beside
    // the new one and both go on pasting.
    if (registered_[entry]) hotKeys.releaseHotKey(id);
    registered_[entry] =
        hotKeys.claimHotKey(id, platformModifiers(record.hotKeyModifiers[entry]) | kModNoRepeat,
                            static_cast<uint8_t>(record.hotKeyVk[entry] & 0xFF));
    return registered_[entry];
}

bool HotKeyRegistrations::isRegistered(int id) const {
    return isHotKeyId(id) && registered_[static_cast<size_t>(id - 1)];
}

DeliveryResult deliverText(const Delivery& delivery, int index) {
    if (index < 0 || index >= static_cast<int>(kHotKeyCount)) return DeliveryResult::ignored;
    renderWithLineBreak(delivery, delivery.record.hotPasteTexts[index]);

    ClipboardAndKeys& desktop = delivery.clipboard;
    ClipboardSession clipboard(desktop);
    if (!clipboard.isOpen()) {
        delivery.view.messageBox(kCannotOpenClipboardText);
        return DeliveryResult::clipboardBusy;
    }
    desktop.emptyClipboard();
    ClipboardSet set = desktop.setClipboardText(delivery.renderBuffer.str());
    // Closed before any message box: the box's own message loop may run another delivery.
    clipboard.close();
    switch (set) {
        case ClipboardSet::ok:
            return DeliveryResult::delivered;
        case ClipboardSet::outOfMemory:
            delivery.view.messageBox(kOutOfMemoryText);
            return DeliveryResult::outOfMemory;
        case ClipboardSet::refused:
            break;
    }
    return DeliveryResult::refused;
}

DeliveryResult hotPaste(const Delivery& delivery, int id) {
    if (!isHotKeyId(id)) return DeliveryResult::ignored;
    DeliveryResult result = deliverText(delivery, id - 1);
    if (result == DeliveryResult::delivered) pasteKeys(delivery.clipboard);
    return result;
}

void pasteKeys(ClipboardAndKeys& keys) {
    static constexpr uint8_t kOtherModifiers[] = {kVkLeftShift, kVkRightShift,  kVkLeftAlt,
                                                  kVkRightAlt,  kVkLeftWindows, kVkRightWindows};
    auto othersHeld = [&keys] {
        for (uint8_t vk : kOtherModifiers)
            if (keys.keyIsDown(vk)) return true;
        return false;
    };
    for (int step = 0; step < kPauseSteps && othersHeld(); ++step) keys.pause(kPauseStep);

    KeyStroke strokes[std::size(kOtherModifiers) + 4];
    size_t count = 0;
    for (uint8_t vk : kOtherModifiers)
        if (keys.keyIsDown(vk)) strokes[count++] = {vk, true};
    // A held Ctrl is pressed again, as the keyboard's own repeat does: the window with the
    // focus may have had the person's press go elsewhere before it had the focus.
    const bool controlHeld = keys.keyIsDown(kVkControl);
    strokes[count++] = {kVkControl, false};
    strokes[count++] = {kVkV, false};
    strokes[count++] = {kVkV, true};
    if (!controlHeld) strokes[count++] = {kVkControl, true};
    keys.sendKeys(strokes, count);
}

bool RepeatGuard::admit(int id) {
    if (id == held_) return false;
    held_ = id;
    return true;
}

bool RepeatGuard::released(ClipboardAndKeys& keys, const QuitRecord& record) {
    if (isHotKeyId(held_) && keys.keyIsDown(static_cast<uint8_t>(record.hotKeyVk[held_ - 1] & 0xFF)))
        return false;
    held_ = 0;
    return true;
}

}  // namespace kalverin
