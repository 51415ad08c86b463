// Runs a test in a fixed POSIX time zone ("UTC0", "EST5EDT": the only forms msvcrt reads)
// and puts the previous zone back afterwards.
#pragma once
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <string>

#include <time.h>

namespace kalverin {

class ScopedTimeZone {
public:
    // `readNow` false changes the environment alone, as another program changing the zone
    // does, until the C library is told to read it again.
    explicit ScopedTimeZone(const char* zone, bool readNow = true) {
        const char* previous = std::getenv("TZ");
        hadPrevious_ = previous != nullptr;
        if (hadPrevious_) previous_ = previous;
        set(zone, readNow);
    }
    ~ScopedTimeZone() { set(hadPrevious_ ? previous_.c_str() : ""); }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    static void set(const char* zone, bool readNow = true) {
        // putenv keeps the pointer on glibc and copies on msvcrt; one static buffer per
        // process serves both. Both libraries read TZ again only on tzset.
        static char entries[2][64];  // two zones may be in force at once: one changed, one read
        static int next = 0;
        char* entry = entries[next++ % 2];
        std::string text = std::string("TZ=") + zone;
        text.copy(entry, sizeof entries[0] - 1);
        entry[std::min(text.size(), sizeof entries[0] - 1)] = '\0';
        putenv(entry);
        if (readNow) tzset();
    }

    bool hadPrevious_ = false;
    std::string previous_;
};

}  // namespace kalverin
