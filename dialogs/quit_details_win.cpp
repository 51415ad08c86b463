#include "dialogs/dialogs_win.h"

namespace kalverin {
void showQuitDetails(HWND) {}
}  // namespace kalverin
