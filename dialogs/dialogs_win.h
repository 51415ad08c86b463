// Entry points of the modal dialogs, as the main window opens them.
#pragma once
#include <windows.h>

namespace kalverin {

void showWelcome(HWND owner);           // template 136
void showQuitDetails(HWND owner);       // template 102 (opens the editor and the secondary dialog)
void showAbout(HWND owner);             // template 100
void showPreview(HWND owner);           // template 149
void showHotPasteEditor(HWND owner);    // template 133, from the quit details dialog
void showSecondaryHotKeys(HWND owner);  // template 144, from the quit details dialog

}  // namespace kalverin
