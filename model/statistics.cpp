#include "model/statistics.h"

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <limits>

namespace kalverin {
namespace {

constexpr int64_t kSecondsPerDay = 86400;

// std::localtime hands back a shared buffer; everything runs on the one UI thread, and
// the fields are copied out before anything else can convert a time.
bool toLocal(int64_t value, std::tm& out) {
    std::time_t t = static_cast<std::time_t>(value);
    const std::tm* local = std::localtime(&t);
    if (!local) return false;
    out = *local;
    return true;
}

bool isLeapYear(int64_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// month0 is 0..11; year is the full year.
int daysInMonth(int64_t year, int month0) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month0 == 1 && isLeapYear(year) ? 29 : kDays[month0];
}

int64_t secondOfDay(const std::tm& t) {
    return t.tm_hour * 3600 + t.tm_min * 60 + t.tm_sec;
}

// The moment `months` calendar months after the quit, at the quit's time of day. A quit
// on the 29th to 31st has no such day in a shorter month; its anniversary there is the
// month's last day, so that the rest after it is never negative. Returns false when the
// C library cannot convert the date (msvcrt refuses local times before 1970).
bool anniversary(const std::tm& early, int64_t earlyValue, int64_t months, int64_t& out) {
    int64_t monthIndex = early.tm_mon + months;
    int64_t year = early.tm_year + 1900 + monthIndex / 12;
    int month0 = static_cast<int>(monthIndex % 12);
    std::tm fields{};
    fields.tm_year = static_cast<int>(year - 1900);
    fields.tm_mon = month0;
    fields.tm_mday = std::min(early.tm_mday, daysInMonth(year, month0));
    fields.tm_hour = early.tm_hour;
    fields.tm_min = early.tm_min;
    fields.tm_sec = early.tm_sec;
    // The platform decides whether daylight saving applies there. Asked with "unknown" it
    // may pick either reading of a wall-clock time that happens twice, so both readings
    // are tried and the first that shows the time asked for wins: the earlier occurrence
    // of a repeated hour. A time the clock skips is read as standard time, which puts it
    // after the skipped hour.
    std::time_t value = -1;
    for (int dst : {1, 0}) {
        std::tm probe = fields;
        probe.tm_isdst = dst;
        std::time_t reading = std::mktime(&probe);
        std::tm back{};
        if (reading == -1 || !toLocal(reading, back)) continue;
        value = reading;
        if (back.tm_mday == fields.tm_mday && secondOfDay(back) == secondOfDay(fields)) break;
    }
    if (value < 0 || static_cast<int64_t>(value) < earlyValue) return false;
    out = static_cast<int64_t>(value);
    return true;
}

int32_t clampToInt32(int64_t value) {
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::max(-kMax, std::min(kMax, value)));
}

}  // namespace

ElapsedTime computeElapsed(TimeValue quitStart, TimeValue now) {
    // Unsigned 32-bit times reach 2106; the arithmetic is done in 64 bits so that spans
    // across 2038 neither wrap nor change sign.
    const int64_t quit = quitStart;
    const int64_t current = now;
    ElapsedTime result;
    result.direction = current < quit ? -1 : 1;
    const int64_t early = std::min(quit, current);
    const int64_t late = std::max(quit, current);

    int64_t months = 0;
    int64_t anniversaryValue = early;
    std::tm e{}, l{};
    if (toLocal(early, e) && toLocal(late, l)) {
        months = (int64_t{l.tm_year} - e.tm_year) * 12 + l.tm_mon - e.tm_mon;
        int anniversaryDay = std::min(e.tm_mday, daysInMonth(l.tm_year + 1900, l.tm_mon));
        if (l.tm_mday < anniversaryDay || (l.tm_mday == anniversaryDay && secondOfDay(l) < secondOfDay(e)))
            --months;
        // In the hour repeated when daylight saving ends the later moment can read an
        // earlier wall-clock time than the quit; that is not a negative month.
        if (months < 0) months = 0;
        // The same repeated hour can put the anniversary's wall-clock time on its second
        // occurrence, after the later moment: that month is not complete yet.
        while (months > 0) {
            if (!anniversary(e, early, months, anniversaryValue)) {
                // No calendar for this date: count the span in weeks and days alone.
                months = 0;
                break;
            }
            if (anniversaryValue <= late) break;
            --months;
        }
        // With no whole month the rest counts from the quit moment itself, never from a
        // round trip through local time, which in a repeated hour can pick the other one.
        if (months == 0) anniversaryValue = early;
    }

    const int64_t rest = late - anniversaryValue;
    const int64_t restDays = rest / kSecondsPerDay;
    result.years = static_cast<int32_t>(months / 12);
    result.months = static_cast<int32_t>(months % 12);
    result.weeks = static_cast<int32_t>(restDays / 7);
    result.days = static_cast<int32_t>(restDays % 7);
    result.hours = static_cast<int32_t>(rest / 3600 - restDays * 24);
    result.minutes = static_cast<int32_t>(rest / 60 - (rest / 3600) * 60);
    result.seconds = static_cast<int32_t>(rest - (rest / 60) * 60);

    const int64_t span = late - early;
    // A span beyond 68 years does not fit the 32-bit second count; it saturates rather
    // than turning negative.
    result.totalSeconds = clampToInt32(span);
    result.totalMinutes = static_cast<int32_t>(span / 60);
    result.totalDays = static_cast<int32_t>(span / 60 / 1440);

    const int32_t sign = result.direction;
    for (int32_t* count :
         {&result.years, &result.months, &result.weeks, &result.days, &result.hours, &result.minutes,
          &result.seconds, &result.totalDays, &result.totalMinutes, &result.totalSeconds})
        *count *= sign;
    return result;
}

}  // namespace kalverin
