// Hot-key ids 1 (primary) to 5 (secondary 1 to 4); id - 1 is the text and combination entry.
#pragma once

namespace kalverin {

constexpr int kPrimaryHotKey = 1;
constexpr int kLastHotKey = 5;

// Registers the combination of entry id - 1 for the main window (Win32 side).
void registerHotKey(int id);

}  // namespace kalverin
