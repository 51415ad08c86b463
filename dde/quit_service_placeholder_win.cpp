// Placeholder until the DDE service lands; the DDE work replaces this file.
#include "dde/quit_service_win.h"

namespace kalverin {
bool startQuitService(AppState&) { return false; }
void stopQuitService() {}
}  // namespace kalverin
