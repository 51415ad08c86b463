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
    explicit ScopedTimeZone(const char* zone) {
        const char* previous = std::getenv("TZ");
        hadPrevious_ = previous != nullptr;
        if (hadPrevious_) previous_ = previous;
        set(zone);
    }
    ~ScopedTimeZone() { set(hadPrevious_ ? previous_.c_str() : ""); }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    static void set(const char* zone) {
        // putenv keeps the pointer on glibc and copies on msvcrt; one static buffer per
        // process serves both. Both libraries read TZ again only on tzset.
        static char entry[64];
        std::string text = std::string("TZ=") + zone;
        text.copy(entry, sizeof entry - 1);
        entry[std::min(text.size(), sizeof entry - 1)] = '\0';
        putenv(entry);
        tzset();
    }

    bool hadPrevious_ = false;
    std::string previous_;
};

}  // namespace kalverin
