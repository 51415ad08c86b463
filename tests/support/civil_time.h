// Seconds since 1970 of a UTC civil date (proleptic Gregorian), computed without the C
// library so that a test's expectations do not lean on the code under test.
#pragma once
#include <cstdint>

namespace kalverin {

inline int64_t utcSeconds(int year, int month, int day, int hour, int minute, int second = 0) {
    int y = month <= 2 ? year - 1 : year;
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yearOfEra = y - era * 400;
    int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    int64_t days = era * 146097 + dayOfEra - 719468;
    return days * 86400 + hour * 3600 + minute * 60 + second;
}

}  // namespace kalverin
