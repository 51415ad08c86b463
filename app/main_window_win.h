// The main window: dialog 131, run modally for the whole life of the process.
#pragma once
#include <windows.h>

namespace kalverin {

struct AppState;

// Runs the main window until it closes (Esc, the close box, Alt+F4).
INT_PTR runMainWindow(HINSTANCE instance);

// Application internals set up by the start-up.
void setAppState(AppState* state);
void setMainWindow(HWND window);
void createFonts();
void releaseFonts();
void loadProgramIcon(HINSTANCE instance);

}  // namespace kalverin
