// One tick against the C library's conversions it is built on: the tick should cost no
// more than three times one localtime plus one mktime.
#include <benchmark/benchmark.h>

#include <ctime>
#include <string>

#include "bench/paired_ratio.h"
#include "model/tick.h"
#include "tests/support/example_quit.h"
#include "tests/support/us_currency.h"
#include "tests/support/time_zone.h"

namespace kalverin {
namespace {

constexpr TimeValue kQuit = 979551000;      // 2001-01-15 09:30:00 UTC
constexpr TimeValue kExample = 1017240312;  // 2002-03-27 14:45:12 UTC

// Takes what the tick shows without keeping it.
class NullView : public StatusView, public TrayIcon {
public:
    bool notifyIcon(TrayAction, unsigned, const std::string& tip) override {
        benchmark::DoNotOptimize(tip.data());
        return true;
    }
    void setControlText(int, const std::string& text) override { benchmark::DoNotOptimize(text.data()); }
    void beep() override {}
    void setCaption(const std::string& caption) override { benchmark::DoNotOptimize(caption.data()); }
};

// Every benchmark here runs in one fixed zone with daylight saving.
void useZone() {
    static ScopedTimeZone zone("EST5EDT");
}

// What a tick works with, in the example zone.
struct TickSetUp {
    TickSetUp() {
        useZone();
        currency.fixed = "$1,962.98";  // the platform's formatting is not the tick's own work
    }
    void run(TimeValue now, bool minimised) { tick(record, stats, now, minimised, context); }

    const QuitRecord record = exampleHabitRecord();
    QuitStatistics stats;
    UsCurrencyFormat currency;
    NullView view;
    TickMemo memo;
    const TickControls controls{1031, 1032, 1033, 1034, 1035};
    const TickContext context{currency, memo, controls, view, view};
};

void oneTick(benchmark::State& state, bool minimised) {
    TickSetUp t;
    // Successive seconds, as the timer runs: the tip and the caption change as they do in use
    // and are not all skipped as unchanged.
    TimeValue now = kExample;
    for (auto _ : state) t.run(now++, minimised);
}
BENCHMARK_CAPTURE(oneTick, shown, false);
BENCHMARK_CAPTURE(oneTick, minimised, true);

void computeElapsedOnly(benchmark::State& state) {
    useZone();
    for (auto _ : state) benchmark::DoNotOptimize(computeElapsed(kQuit, kExample));
}
BENCHMARK(computeElapsedOnly);

// What a tick is measured against.
void localtimeAndMktimeOnce(std::time_t moment) {
    std::tm fields = *std::localtime(&moment);
    fields.tm_isdst = -1;
    benchmark::DoNotOptimize(std::mktime(&fields));
}

void localtimeAndMktime(benchmark::State& state) {
    useZone();
    for (auto _ : state) localtimeAndMktimeOnce(kExample);
}
BENCHMARK(localtimeAndMktime);

// The goal: one tick costs at most 2.5 times one localtime + one mktime, the two timed in
// alternation (tools/bench).
void tickGoal(benchmark::State& state, bool minimised) {
    TickSetUp t;
    // Successive seconds within the example's hour, clear of any change of daylight saving.
    TimeValue second = 0;
    pairedRatio(
        state, [&] { t.run(kExample + second++ % 3600, minimised); },
        [] { localtimeAndMktimeOnce(kExample); });
}
BENCHMARK_CAPTURE(tickGoal, shown, false)->Iterations(1);
BENCHMARK_CAPTURE(tickGoal, minimised, true)->Iterations(1);

void moneyText(benchmark::State& state) {
    UsCurrencyFormat currency;
    for (auto _ : state) benchmark::DoNotOptimize(formatMoney(1962.984375f, currency));
}
BENCHMARK(moneyText);
}  // namespace
}  // namespace kalverin
