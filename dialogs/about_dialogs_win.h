// The About, welcome and preview dialogs: templates shown as they are, closed with OK.
#pragma once
#include <windows.h>

namespace kalverin {

void showWelcome(HWND owner);  // template 136
void showAbout(HWND owner);    // template 100
void showPreview(HWND owner);  // template 149

}  // namespace kalverin
