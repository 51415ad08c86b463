// Win32 pieces of the application that dialogs and services reach.
#pragma once
#include <windows.h>

#include <string>

namespace kalverin {

HWND mainWindow();          // recorded when the main window initialises; null before
HFONT scriptFont();         // "Courier New" 9 points
HFONT userNameFont();       // "Arial" 14 points
HFONT statisticsFont();     // "Times New Roman" 10 points
HICON programIcon();        // icon resource 128
std::string programName();  // base name of the executable, for message box captions

}  // namespace kalverin
