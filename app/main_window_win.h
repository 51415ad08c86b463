// The main window: dialog 131, run modally for the whole life of the process.
#pragma once
#include <windows.h>

namespace kalverin {

class Application;

// Runs the main window over `app` until it closes (Esc, the close box, Alt+F4).
INT_PTR runMainWindow(Application& app);

}  // namespace kalverin
