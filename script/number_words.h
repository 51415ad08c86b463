// English words for an unsigned 32-bit number ("one thousand, two hundred and thirty-four").
#pragma once
#include <cstdint>
#include <string>

namespace kalverin {

// Appends the words for `value` to `destination` (nothing for 0); returns 0.
int numberWords(std::string& destination, uint32_t value);

}  // namespace kalverin
