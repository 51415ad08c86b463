// Placeholder until the dialogs land; the dialog work replaces this file.
#include "dialogs/dialogs_win.h"

namespace kalverin {
void showWelcome(HWND) {}
void showQuitDetails(HWND) {}
void showAbout(HWND) {}
void showPreview(HWND) {}
}  // namespace kalverin
