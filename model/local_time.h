// One reading of the local clock: the C library's conversion, in the zone it has read.
#pragma once
#include <cstdint>
#include <ctime>

namespace kalverin {

// The local calendar reading of `value` seconds since 1970; false when the C library cannot
// convert it (msvcrt refuses times before 1970). The zone is the one the library read at
// its first conversion or its last tzset.
bool localReading(int64_t value, std::tm& out);

// Reads the zone again: the system's time or zone has changed.
void rereadTimeZone();

}  // namespace kalverin
