// The hot-paste editor, template 133, opened from the quit details dialog.
#pragma once
#include <windows.h>

#include "model/quit_record.h"
#include "script/interpreter.h"

namespace kalverin {

// What the editor works on: the record whose primary text Save replaces, what the preview
// renders with and the font of its two text boxes.
struct HotPasteEditorData {
    QuitRecord& record;
    ScriptContext& preview;
    HFONT scriptFont;
};

// True when saved.
bool showHotPasteEditor(HWND owner, HotPasteEditorData& data);

}  // namespace kalverin
