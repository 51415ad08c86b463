#include "dialogs/hot_paste_editor.h"

#include "resources/resource.h"

namespace kalverin {

const char* const kTextWillBeCutMessage =
    "Your Hot-Paste text is longer than 1019 characters.\n\n"
    "Only its first 1019 characters are kept in the settings file; the whole text is used "
    "until the settings are next opened or Kalverin closes.";

void renderPreview(const std::string& fieldText, EditorPreview& preview, ScriptContext& context) {
    preview.source.clear();
    preview.source.append(fieldText);
    preview.output.clear();
    renderScript(preview.source.c_str(), preview.output, context);
}

bool storeEditorText(const std::string& fieldText, QuitRecord& record) {
    record.hotPasteTexts[0] = fieldText.substr(0, kEditorTextMax);
    return record.hotPasteTexts[0].size() > kPrimaryTextKept;
}

const char* editorTip(int controlId) {
    switch (controlId) {
        case 1:
            return "Save Hot-Paste text and return to Kalverin";
        case IDC_ED_CANCEL:
            return "Return to Kalverin, do not save Hot-Paste text";
        case IDC_ED_PREVIEW:
            return "Shows how your Hot-Paste text will look";
        case IDC_ED_REAL_TIME:
            return "Set this option to update the Hot-Paste preview text once a second";
        case IDC_ED_TEXT:
            return "Your Hot-Paste text should be entered here";
    }
    return nullptr;
}

}  // namespace kalverin
