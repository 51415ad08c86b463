#include "model/statistics.h"

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <limits>

#include "model/local_time.h"

namespace kalverin {
namespace {

constexpr int64_t kSecondsPerDay = 86400;

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

// Seconds since 1970 of a calendar date and time of day taken as UTC. A local reading's
// offset from UTC is this of its fields minus the moment read, found without the C library.
int64_t civilSeconds(int64_t year, int month0, int day, int64_t secondOfDay) {
    // Days since 1970-01-01 in the proleptic Gregorian calendar, counted in 400-year eras
    // from 1 March so that the leap day ends a year.
    const int64_t y = month0 < 2 ? year - 1 : year;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t monthFromMarch = month0 < 2 ? month0 + 10 : month0 - 2;
    const int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return (era * 146097 + dayOfEra - 719468) * kSecondsPerDay + secondOfDay;
}

int64_t civilSeconds(const std::tm& t) {
    return civilSeconds(int64_t{t.tm_year} + 1900, t.tm_mon, t.tm_mday, secondOfDay(t));
}

// How far ahead of UTC the local clock reads at `value`; false when it cannot be read.
bool offsetAt(int64_t value, int64_t& offset) {
    std::tm local{};
    if (!localReading(value, local)) return false;
    offset = civilSeconds(local) - value;
    return true;
}

// The greatest change of daylight saving looked for around an anniversary: every zone the
// platform knows moves its clock by an hour at most.
constexpr int64_t kLargestShift = 3600;

// The moment `months` calendar months after the quit, at the quit's time of day. A quit
// on the 29th to 31st has no such day in a shorter month; its anniversary there is the
// month's last day, so that the rest after it is never negative. Returns false when the
// C library cannot convert the date (msvcrt refuses local times before 1970).
//
// A wall-clock time that happens twice (when daylight saving ends) counts at its first
// occurrence, and one the clock skips (when it starts) is read with the offset in force
// before the change, which puts it after the skipped hour. The anniversary lies within a
// month of the later moment, so that moment's offset `guess` is nearly always right: the
// time is read back once to confirm it, and once an hour earlier to see that no change of
// daylight saving lies that close. Only then, near a change, are both offsets tried. (mktime
// is not used: asked with "unknown" it may pick either reading of a repeated hour, and asked
// with a daylight flag the moment contradicts it costs glibc several times as much.)
bool anniversary(const std::tm& early, int64_t earlyValue, int64_t months, int64_t guess, int64_t& out) {
    const int64_t monthIndex = early.tm_mon + months;
    const int64_t year = early.tm_year + 1900 + monthIndex / 12;
    const int month0 = static_cast<int>(monthIndex % 12);
    const int day = std::min(early.tm_mday, daysInMonth(year, month0));
    const int64_t wall = civilSeconds(year, month0, day, secondOfDay(early));

    int64_t offset = guess, found = 0;
    if (!offsetAt(wall - guess, found)) return false;
    if (found != guess) {
        offset = found;  // a change lies between the anniversary and the later moment
        if (!offsetAt(wall - offset, found)) return false;
    }
    int64_t value = wall - offset;
    if (found != offset) {
        // Neither offset reads back as the time asked for: the clock skips it. The smaller
        // offset is the one before the clock went forward.
        value = wall - std::min(offset, found);
    } else {
        // A larger offset within the hour before means the clock went back there: the same
        // time read with it may be the first occurrence. (Before 1970 msvcrt reads nothing,
        // and no change is looked for.)
        int64_t before = 0, earlier = 0;
        if (offsetAt(value - kLargestShift, before) && before > offset && offsetAt(wall - before, earlier) &&
            earlier == before)
            value = wall - before;
    }
    if (value < earlyValue) return false;
    out = value;
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
    if (localReading(early, e) && localReading(late, l)) {
        months = (int64_t{l.tm_year} - e.tm_year) * 12 + l.tm_mon - e.tm_mon;
        int anniversaryDay = std::min(e.tm_mday, daysInMonth(l.tm_year + 1900, l.tm_mon));
        if (l.tm_mday < anniversaryDay || (l.tm_mday == anniversaryDay && secondOfDay(l) < secondOfDay(e)))
            --months;
        // In the hour repeated when daylight saving ends the later moment can read an
        // earlier wall-clock time than the quit; that is not a negative month.
        if (months < 0) months = 0;
        // The same repeated hour can put the anniversary's wall-clock time on its second
        // occurrence, after the later moment: that month is not complete yet.
        const int64_t lateOffset = civilSeconds(l) - late;
        while (months > 0) {
            if (!anniversary(e, early, months, lateOffset, anniversaryValue)) {
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
