// The values of the last once-a-second tick.
#pragma once
#include <cstdint>
#include <string>

#include "model/quit_record.h"

namespace kalverin {

constexpr int32_t kNoDayShown = 40;  // a value `days` never takes: the first tick never beeps
constexpr size_t kTipTextMax = 59;

struct ElapsedTime {
    int32_t years = 0, months = 0, weeks = 0, days = 0, hours = 0, minutes = 0, seconds = 0;
    int32_t totalDays = 0, totalMinutes = 0, totalSeconds = 0;
    int32_t direction = 0;
};

struct QuitStatistics {
    TimeValue now = 0;
    int32_t years = 0, months = 0, weeks = 0, days = 0, hours = 0, minutes = 0, seconds = 0;
    int32_t totalDays = 0, totalMinutes = 0, totalSeconds = 0;
    int32_t direction = 0;
    int32_t notSmoked = 0;
    float moneySaved = 0.0f;
    int32_t lifeSavedYears = 0, lifeSavedWeeks = 0, lifeSavedDays = 0;
    int32_t lifeSavedHours = 0, lifeSavedMinutes = 0, lifeSavedSeconds = 0;
    int32_t lastDayShown = kNoDayShown;
    std::string tipText;
};

// Breaks the span between the quit and now into calendar units with the C library's
// local-time rules (the TZ in force). Every count carries the sign of `direction`.
ElapsedTime computeElapsed(TimeValue quitStart, TimeValue now);

}  // namespace kalverin
