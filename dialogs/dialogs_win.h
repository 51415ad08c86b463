// Entry points of the modal dialogs. Each is handed what it works on and changes nothing
// else; none knows the application.
#pragma once
#include <windows.h>

#include "dialogs/quit_details.h"
#include "dialogs/secondary_hot_keys.h"
#include "model/quit_record.h"
#include "script/interpreter.h"

namespace kalverin {

// What the hot-paste editor works on: the record whose primary text Save replaces, what the
// preview renders with and the font of its two text boxes.
struct HotPasteEditorData {
    QuitRecord& record;
    ScriptContext& preview;
    HFONT scriptFont;
};

// What the quit details dialog works on, and the editor it opens.
struct QuitDetailsData {
    QuitRecord& record;
    QuitDetailsServices& services;
    HotPasteEditorData editor;
};

void showWelcome(HWND owner);  // template 136
void showAbout(HWND owner);    // template 100
void showPreview(HWND owner);  // template 149
// Template 102; opens the editor and the secondary dialog. True when saved.
bool showQuitDetails(HWND owner, QuitDetailsData& data);
// Template 133, from the quit details dialog. True when saved.
bool showHotPasteEditor(HWND owner, HotPasteEditorData& data);
// Template 144, from the quit details dialog: the form in, the edited form back when saved.
bool showSecondaryHotKeys(HWND owner, SecondaryHotKeysForm& form);

}  // namespace kalverin
