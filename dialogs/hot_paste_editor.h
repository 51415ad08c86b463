// The hot-paste editor's logic: what the preview renders and what Save stores.
#pragma once
#include <string>

#include "model/quit_record.h"
#include "model/text_buffer.h"
#include "script/interpreter.h"

namespace kalverin {

constexpr size_t kEditorTextMax = 1023;  // characters taken from the field, for preview and Save
constexpr size_t kEditorPreviewMax = 1023;
// The settings file keeps 1020 bytes of the primary text, its terminating zero among them.
constexpr size_t kPrimaryTextKept = kPrimaryTextStored - 1;

extern const char* const kTextWillBeCutMessage;

// The preview's own buffers, so that rendering never touches the shared renderBuffer.
struct EditorPreview {
    TextBuffer source{kEditorTextMax};
    TextBuffer output{kEditorPreviewMax};
};

// Renders the first 1023 characters of the field into preview.output (emptied first, cut at
// 1023 characters).
void renderPreview(const std::string& fieldText, EditorPreview& preview, ScriptContext& context);

// Stores the first 1023 characters of the field as the primary text. Returns true when the
// stored text is longer than the settings file keeps, so the user can be told.
bool storeEditorText(const std::string& fieldText, QuitRecord& record);

const char* editorTip(int controlId);

}  // namespace kalverin
