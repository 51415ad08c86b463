#include <time.h>

#include "model/local_time.h"

namespace kalverin {

// localtime_r, not localtime: glibc's localtime looks TZ up in the environment again at
// every call (a quarter of a tick's time, which takes four readings), while localtime_r
// keeps the zone until tzset, as msvcrt's localtime does. It also fills the caller's fields
// rather than a shared buffer.
bool localReading(int64_t value, std::tm& out) {
    const std::time_t t = static_cast<std::time_t>(value);
    return localtime_r(&t, &out) != nullptr;
}

void rereadTimeZone() {
    tzset();
}

}  // namespace kalverin
