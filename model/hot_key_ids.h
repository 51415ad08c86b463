// Hot-key ids 1 (primary) to 5 (secondary 1 to 4); id - 1 is the text and combination entry.
#pragma once

namespace kalverin {

constexpr int kPrimaryHotKey = 1;
constexpr int kLastHotKey = 5;

}  // namespace kalverin
