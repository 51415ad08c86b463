// English words for an unsigned 32-bit number ("one thousand, two hundred and thirty-four").
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace kalverin {

// The words of any 32-bit value fit in this many characters (the longest take 131).
constexpr size_t kNumberWordsMax = 160;

// Appends the words for `value` to `destination` (nothing for 0); returns 0.
int numberWords(std::string& destination, uint32_t value);

// Writes the words for `value` to `destination`, which must hold kNumberWordsMax characters;
// returns how many were written (no terminator). For callers that must not allocate.
size_t numberWords(char* destination, uint32_t value);

}  // namespace kalverin
