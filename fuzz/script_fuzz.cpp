// Renders arbitrary bytes as a template. The first bytes choose the statistics, the state and
// the output's capacity; the rest is the source. Besides the sanitizers' checks, the rendering
// must fit its capacity and be the exact beginning of the same rendering with more room.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "script/interpreter.h"
#include "tests/support/us_currency.h"

using namespace kalverin;

namespace {

constexpr size_t kHeader = 18;
constexpr size_t kLargeCapacity = 1 << 16;

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kHeader) return 0;
    const size_t capacity = (static_cast<size_t>(data[0]) | static_cast<size_t>(data[1]) << 8) & 0x3FFF;
    const uint8_t flags = data[16];

    QuitStatistics stats;
    int32_t* fields[] = {&stats.years,
                         &stats.months,
                         &stats.weeks,
                         &stats.days,
                         &stats.hours,
                         &stats.minutes,
                         &stats.seconds,
                         &stats.notSmoked,
                         &stats.lifeSavedYears,
                         &stats.lifeSavedWeeks,
                         &stats.lifeSavedDays,
                         &stats.lifeSavedHours,
                         &stats.lifeSavedMinutes,
                         &stats.lifeSavedSeconds};
    for (size_t i = 0; i < 14; ++i) {
        uint8_t b = data[2 + i];
        // Small signed counts mostly; with the flag, the full 32-bit range (INT_MIN included).
        *fields[i] = (flags & 0x80) ? static_cast<int32_t>(b * 0x01010101u) : static_cast<int8_t>(b);
    }
    stats.direction = static_cast<int32_t>(flags % 3) - 1;
    stats.moneySaved = static_cast<float>(static_cast<int8_t>(data[17])) * 37.31f;

    QuitRecord record;
    record.userName = (flags & 0x40) ? std::string(99, 'n') : "zoe";
    InterpreterState initial;
    initial.wordsMode = (flags >> 3) & 1;
    initial.pluralSuffix = (flags & 0x10) ? "s" : "S";
    UsCurrencyFormat currency;

    // A copy of exactly the source's size plus its terminator, so any over-read is caught.
    std::vector<char> source(data + kHeader, data + size);
    source.push_back('\0');

    InterpreterState smallState = initial;
    ScriptContext smallContext{stats, record, smallState, currency};
    TextBuffer small(capacity);
    renderScript(source.data(), small, smallContext);
    check(small.size() <= capacity);

    InterpreterState largeState = initial;
    ScriptContext largeContext{stats, record, largeState, currency};
    TextBuffer large(kLargeCapacity);
    renderScript(source.data(), large, largeContext);
    check(large.size() <= kLargeCapacity);

    check(large.str().compare(0, small.size(), small.str()) == 0);
    if (!large.truncated()) {
        check(small.size() == (large.size() < capacity ? large.size() : capacity));
        check(small.truncated() == (large.size() > capacity));
    }
    check(smallState.wordsMode == largeState.wordsMode);
    check(smallState.pluralSuffix == largeState.pluralSuffix);
    return 0;
}
