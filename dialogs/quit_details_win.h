// The quit details dialog, template 102; it opens the editor and the secondary dialog.
#pragma once
#include <windows.h>

#include "dialogs/hot_paste_editor_win.h"
#include "dialogs/quit_details.h"
#include "model/quit_record.h"

namespace kalverin {

// What the dialog works on, and the editor it opens.
struct QuitDetailsData {
    QuitRecord& record;
    QuitDetailsServices& services;
    HotPasteEditorData editor;
};

// True when saved.
bool showQuitDetails(HWND owner, QuitDetailsData& data);

}  // namespace kalverin
