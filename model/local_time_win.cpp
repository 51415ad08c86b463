#include "model/local_time.h"

#include <time.h>

namespace kalverin {

// msvcrt's localtime reads the zone once and hands back a per-thread buffer; the fields are
// copied out at once.
bool localReading(int64_t value, std::tm& out) {
    const std::time_t t = static_cast<std::time_t>(value);
    const std::tm* local = std::localtime(&t);
    if (!local) return false;
    out = *local;
    return true;
}

void rereadTimeZone() {
    _tzset();
}

}  // namespace kalverin
