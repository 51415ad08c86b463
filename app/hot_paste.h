// Hot-key registration and hot-paste delivery: render a text, put it on the clipboard,
// inject Ctrl+V.
#pragma once
#include <cstdint>

#include "app/desktop.h"
#include "model/quit_record.h"
#include "model/text_buffer.h"
#include "script/interpreter.h"

namespace kalverin {

constexpr uint8_t kVkControl = 17;
constexpr uint8_t kVkV = 86;
constexpr uint32_t kKeyEventKeyUp = 2;  // KEYEVENTF_KEYUP

// The platform's RegisterHotKey modifiers.
constexpr unsigned kModAlt = 1, kModControl = 2, kModShift = 4;

constexpr const char* kCannotOpenClipboardText = "Cannot open clipboard!";
constexpr const char* kOutOfMemoryText = "Out Of Memory!";

// RegisterHotKey modifiers for stored modifier bits; the extended-key bit and the high
// byte are dropped.
unsigned platformModifiers(uint16_t storedModifiers);

// The hot-keys this run has registered. A new combination for an id replaces the
// earlier one: the platform would otherwise keep both registered under that id.
class HotKeyRegistrations {
public:
    // Registers the combination of entry id - 1 of the record for ids 1 to 5 (others are
    // ignored). Returns whether the platform accepted it; a refusal is not reported further.
    bool registerHotKey(SystemHotKeys& hotKeys, const QuitRecord& record, int id);
    bool isRegistered(int id) const;

private:
    bool registered_[kHotKeyCount] = {};
};

// renderScript in the program; tests may put a stand-in here.
using RenderFunction = void (*)(const char* source, TextBuffer& out, ScriptContext& context);

// What a delivery works on, all owned by the caller.
struct Delivery {
    ClipboardAndKeys& clipboard;
    MainView& view;  // the message boxes of a failed delivery
    const QuitRecord& record;
    TextBuffer& renderBuffer;  // kRenderMax characters; holds the delivered text afterwards
    ScriptContext& script;
    RenderFunction render;
};

enum class DeliveryResult {
    delivered,      // the text is on the clipboard
    clipboardBusy,  // "Cannot open clipboard!" was shown
    outOfMemory,    // "Out Of Memory!" was shown; the clipboard is left empty
    refused,        // the clipboard would not take the text; it is left empty
    ignored,        // not a text index / hot-key id
};

// Renders text `index` (0 to 4) with a line break into renderBuffer and puts it on the
// clipboard as plain text. A rendering too long for the buffer is cut so that the line
// break still fits.
DeliveryResult deliverText(const Delivery& delivery, int index);

// The hot-key message for id 1 to 5: deliverText(id - 1), then Ctrl+V whatever came of it.
DeliveryResult hotPaste(const Delivery& delivery, int id);

}  // namespace kalverin
