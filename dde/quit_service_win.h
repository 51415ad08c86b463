// The DDE service "Kalverin" with its quit items, as the main window starts and stops it.
#pragma once

namespace kalverin {

struct AppState;

// Starts the service and registers the quit items (window initialisation).
bool startQuitService(AppState& state);
// Removes the quit items and stops the service (window destruction).
void stopQuitService();

}  // namespace kalverin
