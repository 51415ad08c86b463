// The example quit the tests and benchmarks share: 20 cigarettes a day at 4.50 for a pack of
// 20, quit at 2001-01-15 09:30:00 UTC; at 2002-03-27 14:45:12 UTC that is 1Y 2M 1W 5D 5h 15m
// 12s, 8724 not smoked, $1,962.98 saved and 4W 2D 7h of life.
#pragma once
#include "model/quit_record.h"
#include "model/statistics.h"

namespace kalverin {

inline QuitRecord exampleHabitRecord() {
    QuitRecord record;
    record.userName = "Robin Hale";
    record.quitStart = 979551000;  // 2001-01-15 09:30:00 UTC
    record.cigarettesPerDay = 20;
    record.packPriceWhole = 4;
    record.packPriceHundredths = 50;
    record.cigarettesPerPack = 20;
    recomputeRates(record);
    return record;
}

// The statistics at 2002-03-27 14:45:12 UTC.
inline QuitStatistics exampleMoment() {
    QuitStatistics s;
    s.years = 1, s.months = 2, s.weeks = 1, s.days = 5, s.hours = 5, s.minutes = 15, s.seconds = 12;
    s.totalDays = 436;
    s.direction = 1;
    s.notSmoked = 8724;
    s.moneySaved = 1962.984375f;
    s.lifeSavedWeeks = 4, s.lifeSavedDays = 2, s.lifeSavedHours = 7;
    return s;
}

}  // namespace kalverin
