#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

#include "model/local_time.h"
#include "model/statistics.h"
#include "tests/support/civil_time.h"
#include "tests/support/time_zone.h"

namespace kalverin {
namespace {

// Seconds since 1970 of a wall-clock reading `utcOffsetHours` behind UTC.
int64_t at(int year, int month, int day, int hour, int minute, int second, int utcOffsetHours = 0) {
    return utcSeconds(year, month, day, hour, minute, second) + int64_t{utcOffsetHours} * 3600;
}

constexpr int kEst = 5;  // EST5EDT: hours behind UTC in winter
constexpr int kEdt = 4;  // and in summer

struct Breakdown {
    int32_t years, months, weeks, days, hours, minutes, seconds, totalDays;
};

// Seconds since 1970, or a wall-clock reading `utcOffsetHours` behind UTC. A case with a reading
// behind UTC runs in EST5EDT, every other case in UTC.
struct Moment {
    Moment(int64_t seconds) : seconds(seconds) {}
    Moment(int year, int month, int day, int hour, int minute, int second, int utcOffsetHours = 0)
        : seconds(at(year, month, day, hour, minute, second, utcOffsetHours)), eastern(utcOffsetHours != 0) {}
    int64_t seconds;
    bool eastern = false;
};

struct ElapsedCase {
    const char* name;
    Moment quit, now;
    Breakdown expected;
    const char* zone() const { return quit.eastern || now.eastern ? "EST5EDT" : "UTC0"; }
};

std::ostream& operator<<(std::ostream& out, const ElapsedCase& c) {
    return out << c.name;
}

const ElapsedCase kElapsedCases[] = {
    {"worked_example", {2001, 1, 15, 9, 30, 0}, {2002, 3, 27, 14, 45, 12}, {1, 2, 1, 5, 5, 15, 12, 436}},
    {"worked_example_est",
     {2001, 1, 15, 9, 30, 0, kEst},
     {2002, 3, 27, 14, 45, 12, kEst},
     {1, 2, 1, 5, 5, 15, 12, 436}},
    {"two_months_to_the_second", {2001, 1, 15, 10, 0, 0}, {2001, 3, 15, 10, 0, 0}, {0, 2, 0, 0, 0, 0, 0, 59}},
    {"one_second_short_of_two_months",
     {2001, 1, 15, 10, 0, 0},
     {2001, 3, 15, 9, 59, 59},
     {0, 1, 3, 6, 23, 59, 59, 58}},
    {"second_month_not_complete",
     {2001, 1, 15, 10, 0, 30},
     {2001, 3, 15, 10, 0, 10},
     {0, 1, 3, 6, 23, 59, 40, 58}},
    {"year_end", {2001, 12, 31, 23, 59, 59}, {2002, 1, 1, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0}},
    // A quit on a day the later month lacks has its anniversary on that month's last day.
    {"31st_to_1_march", {2001, 1, 31, 10, 0, 0}, {2001, 3, 1, 10, 0, 0}, {0, 1, 0, 1, 0, 0, 0, 29}},
    {"31st_to_end_of_february", {2001, 1, 31, 10, 0, 0}, {2001, 2, 28, 10, 0, 0}, {0, 1, 0, 0, 0, 0, 0, 28}},
    {"31st_just_before_end_of_february",
     {2001, 1, 31, 10, 0, 0},
     {2001, 2, 28, 9, 59, 59},
     {0, 0, 3, 6, 23, 59, 59, 27}},
    {"31st_to_30th_of_next_but_one",
     {2001, 1, 31, 10, 0, 0},
     {2001, 3, 30, 10, 0, 0},
     {0, 1, 4, 2, 0, 0, 0, 58}},
    {"30th_to_31st", {2001, 4, 30, 8, 0, 0}, {2001, 5, 31, 8, 0, 0}, {0, 1, 0, 1, 0, 0, 0, 31}},
    {"31st_to_29_february_leap", {2004, 1, 31, 10, 0, 0}, {2004, 2, 29, 10, 0, 0}, {0, 1, 0, 0, 0, 0, 0, 29}},
    // 2000 is a leap year by the 400-year rule.
    {"31st_to_29_february_2000", {2000, 1, 31, 10, 0, 0}, {2000, 2, 29, 10, 0, 0}, {0, 1, 0, 0, 0, 0, 0, 29}},
    {"31st_to_28_february_leap", {2004, 1, 31, 10, 0, 0}, {2004, 2, 28, 10, 0, 0}, {0, 0, 4, 0, 0, 0, 0, 28}},
    {"leap_day_to_28_february", {2004, 2, 29, 12, 0, 0}, {2005, 2, 28, 12, 0, 0}, {1, 0, 0, 0, 0, 0, 0, 365}},
    {"leap_day_to_just_before",
     {2004, 2, 29, 12, 0, 0},
     {2005, 2, 28, 11, 59, 59},
     {0, 11, 4, 1, 23, 59, 59, 364}},
    {"leap_day_to_1_march", {2004, 2, 29, 12, 0, 0}, {2005, 3, 1, 12, 0, 0}, {1, 0, 0, 1, 0, 0, 0, 366}},
    {"leap_day_to_leap_day", {2004, 2, 29, 12, 0, 0}, {2008, 2, 29, 12, 0, 0}, {4, 0, 0, 0, 0, 0, 0, 1461}},
    // Daylight saving starts: the day has 23 hours, the month anniversary keeps the wall clock.
    {"across_dst_start_day",
     {2007, 3, 10, 12, 0, 0, kEst},
     {2007, 3, 11, 12, 0, 0, kEdt},
     {0, 0, 0, 0, 23, 0, 0, 0}},
    {"across_dst_start_month",
     {2007, 2, 20, 12, 0, 0, kEst},
     {2007, 3, 20, 12, 0, 0, kEdt},
     {0, 1, 0, 0, 0, 0, 0, 27}},
    {"across_dst_start_old_rules",
     {2001, 4, 1, 0, 0, 0, kEst},
     {2001, 4, 2, 0, 0, 0, kEdt},
     {0, 0, 0, 0, 23, 0, 0, 0}},
    // Daylight saving ends: a 25-hour day.
    {"across_dst_end_day",
     {2007, 11, 3, 12, 0, 0, kEdt},
     {2007, 11, 4, 12, 0, 0, kEst},
     {0, 0, 0, 1, 1, 0, 0, 1}},
    {"across_dst_end_month",
     {2007, 10, 20, 12, 0, 0, kEdt},
     {2007, 11, 20, 12, 0, 0, kEst},
     {0, 1, 0, 0, 0, 0, 0, 31}},
    // Within the repeated hour the later moment reads an earlier wall-clock time.
    {"repeated_hour_same_day",
     {2007, 11, 4, 1, 50, 0, kEdt},
     {2007, 11, 4, 1, 10, 0, kEst},
     {0, 0, 0, 0, 0, 20, 0, 0}},
    {"repeated_hour_a_month_on",
     {2007, 10, 4, 1, 50, 0, kEdt},
     {2007, 11, 4, 1, 10, 0, kEst},
     {0, 0, 4, 3, 0, 20, 0, 31}},
    // A quit in the repeated hour and its anniversary: the first occurrence of the wall-clock
    // time counts, so the month is complete forty minutes in.
    {"repeated_hour_anniversary_first",
     {2007, 10, 4, 1, 10, 0, kEdt},
     {2007, 11, 4, 1, 50, 0, kEdt},
     {0, 1, 0, 0, 0, 40, 0, 31}},
    // The same when the later moment is on the second, standard-time pass of that hour.
    {"repeated_hour_anniversary_first_seen_from_standard_time",
     {2007, 10, 4, 1, 10, 0, kEdt},
     {2007, 11, 4, 1, 30, 0, kEst},
     {0, 1, 0, 0, 1, 20, 0, 31}},
    // The anniversary's wall-clock time is skipped when daylight saving starts: read as
    // standard time it lies at 3:30, so at 3:10 the month is not complete yet.
    {"skipped_hour_anniversary_not_yet",
     {2007, 2, 11, 2, 30, 0, kEst},
     {2007, 3, 11, 3, 10, 0, kEdt},
     {0, 0, 3, 6, 23, 40, 0, 27}},
    {"skipped_hour_anniversary_passed",
     {2007, 2, 11, 2, 30, 0, kEst},
     {2007, 3, 11, 3, 40, 0, kEdt},
     {0, 1, 0, 0, 0, 10, 0, 28}},
    {"after_2038_dst", {2040, 3, 1, 12, 0, 0, kEst}, {2040, 4, 1, 12, 0, 0, kEdt}, {0, 1, 0, 0, 0, 0, 0, 30}},
    {"across_2038", {2038, 1, 19, 3, 14, 7}, {2038, 1, 19, 3, 14, 8}, {0, 0, 0, 0, 0, 0, 1, 0}},
    {"into_2040", {2037, 6, 1, 0, 0, 0}, {2040, 3, 1, 12, 0, 0}, {2, 9, 0, 0, 12, 0, 0, 1004}},
    {"to_the_last_second", {2100, 1, 1, 0, 0, 0}, 4294967295, {6, 1, 0, 6, 6, 28, 15, 2228}},
    {"whole_range", 0, 4294967295, {136, 1, 0, 6, 6, 28, 15, 49710}},
};

// Each case runs in its own zone, from its quit to its moment and back.
class ElapsedTest : public ::testing::TestWithParam<ElapsedCase> {
protected:
    const ElapsedCase& c = GetParam();
    ScopedTimeZone zone{c.zone()};
    const int64_t quit = c.quit.seconds, now = c.now.seconds, span = now - quit;
};

void expectBreakdown(const ElapsedTime& e, const Breakdown& b, int sign) {
    EXPECT_EQ(e.years, sign * b.years);
    EXPECT_EQ(e.months, sign * b.months);
    EXPECT_EQ(e.weeks, sign * b.weeks);
    EXPECT_EQ(e.days, sign * b.days);
    EXPECT_EQ(e.hours, sign * b.hours);
    EXPECT_EQ(e.minutes, sign * b.minutes);
    EXPECT_EQ(e.seconds, sign * b.seconds);
    EXPECT_EQ(e.totalDays, sign * b.totalDays);
}

TEST_P(ElapsedTest, PastQuitBreaksDownTheSpan) {
    ElapsedTime e = computeElapsed(static_cast<TimeValue>(quit), static_cast<TimeValue>(now));
    expectBreakdown(e, c.expected, 1);
    EXPECT_EQ(e.direction, 1);
    EXPECT_EQ(e.totalMinutes, span / 60);
    EXPECT_EQ(e.totalSeconds, span > INT32_MAX ? INT32_MAX : span);
}

TEST_P(ElapsedTest, FutureQuitCountsDown) {
    ElapsedTime e = computeElapsed(static_cast<TimeValue>(now), static_cast<TimeValue>(quit));
    bool equal = now == quit;
    expectBreakdown(e, c.expected, equal ? 1 : -1);
    EXPECT_EQ(e.direction, equal ? 1 : -1);
    EXPECT_EQ(e.totalMinutes, -(span / 60));
    EXPECT_EQ(e.totalSeconds, span > INT32_MAX ? -INT32_MAX : -span);
}

INSTANTIATE_TEST_SUITE_P(Calendar, ElapsedTest, ::testing::ValuesIn(kElapsedCases),
                         [](const ::testing::TestParamInfo<ElapsedCase>& info) { return info.param.name; });

// After travel or a new daylight-saving rule the readings follow the zone once it is read again.
TEST(LocalTime, ZoneChangeShowsOnceReadAgain) {
    ScopedTimeZone utc("UTC0");
    std::tm reading{};
    ASSERT_TRUE(localReading(0, reading));
    EXPECT_EQ(reading.tm_hour, 0);
    ScopedTimeZone east("EST5EDT", false);
    ASSERT_TRUE(localReading(0, reading));
    EXPECT_EQ(reading.tm_hour, 0);
    rereadTimeZone();
    ASSERT_TRUE(localReading(0, reading));
    EXPECT_EQ(reading.tm_hour, 19);
}

TEST(Elapsed, EqualMomentsCountAsThePast) {
    for (const char* zoneName : {"UTC0", "EST5EDT"}) {
        ScopedTimeZone zone(zoneName);
        for (TimeValue moment : {TimeValue{0}, TimeValue{1016811912}, TimeValue{4294967295u}}) {
            ElapsedTime e = computeElapsed(moment, moment);
            EXPECT_EQ(e.direction, 1);
            for (int32_t count : {e.years, e.months, e.weeks, e.days, e.hours, e.minutes, e.seconds,
                                  e.totalDays, e.totalMinutes, e.totalSeconds})
                EXPECT_EQ(count, 0) << zoneName << " " << moment;
        }
    }
}

// An anniversary whose wall-clock time falls in the repeated hour is its first occurrence:
// no part of the breakdown is negative and the parts add up to the span.
TEST(Elapsed, AnniversaryInTheRepeatedHourIsNeverAfterNow) {
    ScopedTimeZone zone("EST5EDT");
    const int64_t quit = at(2007, 10, 4, 1, 10, 0, kEdt);
    const int64_t now = at(2007, 11, 4, 1, 50, 0, kEdt);
    ElapsedTime e = computeElapsed(static_cast<TimeValue>(quit), static_cast<TimeValue>(now));
    for (int32_t count : {e.years, e.months, e.weeks, e.days, e.hours, e.minutes, e.seconds})
        EXPECT_GE(count, 0);
    EXPECT_EQ(e.months, 1);
    EXPECT_EQ(e.weeks * 7 + e.days, 0);
    EXPECT_EQ(e.minutes, 40);
}

}  // namespace
}  // namespace kalverin
