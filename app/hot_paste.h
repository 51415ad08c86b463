// Hot-key registration and hot-paste delivery: render a text, put it on the clipboard,
// inject Ctrl+V.
#pragma once
#include <cstdint>

#include "app/desktop.h"
#include "model/quit_record.h"
#include "model/text_buffer.h"
#include "script/interpreter.h"

namespace kalverin {

// The platform's virtual keys a paste looks at: Ctrl (either), V, and each Shift, Alt and
// Windows key on its own side.
constexpr uint8_t kVkControl = 17;
constexpr uint8_t kVkV = 86;
constexpr uint8_t kVkLeftShift = 0xA0, kVkRightShift = 0xA1, kVkLeftAlt = 0xA4, kVkRightAlt = 0xA5;
constexpr uint8_t kVkLeftWindows = 0x5B, kVkRightWindows = 0x5C;

// The platform's RegisterHotKey modifiers; kModNoRepeat keeps a held combination from
// repeating.
constexpr unsigned kModAlt = 1, kModControl = 2, kModShift = 4, kModNoRepeat = 0x4000;

// A busy clipboard is tried again, and a paste waits for the person to let go of the
// combination's other modifiers, in steps of kPauseStep for about a second each.
constexpr unsigned kPauseStep = 50;
constexpr int kPauseSteps = 20;

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
    // ignored), without auto-repeat. Returns whether the platform accepted it; a refusal is
    // not reported further.
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
// break still fits. A clipboard another program holds is tried again for about a second.
DeliveryResult deliverText(const Delivery& delivery, int index);

// The hot-key message for id 1 to 5: deliverText(id - 1), then, once the text is on the
// clipboard, Ctrl+V (see pasteKeys). A failed delivery injects nothing: Ctrl+V would paste
// whatever the clipboard held before.
DeliveryResult hotPaste(const Delivery& delivery, int id);

// Ctrl+V as one input, into whichever window has the focus. The person's Shift, Alt and
// Windows keys would turn it into another command, so it waits (about a second at most) for
// them to be let go, and lifts any still held in the input itself. A Ctrl already held is
// left down: released behind the person's back, their next press of the combination would
// type its key instead of pasting.
void pasteKeys(ClipboardAndKeys& keys);

// Holding a combination down repeats its key; each repeat is one paste only where the platform
// honours kModNoRepeat. The guard takes a hot-key as held from its first message until its key
// is seen up, and admits no other message of it meanwhile.
class RepeatGuard {
public:
    // Whether a hot-key message for `id` is a new press; if so, it is held from now on.
    bool admit(int id);
    // Checked on a short timer while a key is held: true once the held key is up and the
    // timer may stop.
    bool released(ClipboardAndKeys& keys, const QuitRecord& record);

private:
    int held_ = 0;
};

}  // namespace kalverin
