// One tick against the C library's conversions it is built on: the tick should cost no
// more than three times one localtime plus one mktime.
#include <benchmark/benchmark.h>

#include <ctime>
#include <string>

#include "model/tick.h"
#include "tests/support/example_quit.h"
#include "tests/support/plain_currency.h"
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

void oneTick(benchmark::State& state, bool minimised) {
    useZone();
    const QuitRecord record = exampleHabitRecord();
    QuitStatistics stats;
    PlainCurrency currency;
    NullView view;
    PlainMoneyMemo money;
    const TickControls controls{1031, 1032, 1033, 1034, 1035};
    const TickContext context{currency, money, controls, view, view};
    for (auto _ : state) tick(record, stats, kExample, minimised, context);
}
BENCHMARK_CAPTURE(oneTick, shown, false);
BENCHMARK_CAPTURE(oneTick, minimised, true);

void computeElapsedOnly(benchmark::State& state) {
    useZone();
    for (auto _ : state) benchmark::DoNotOptimize(computeElapsed(kQuit, kExample));
}
BENCHMARK(computeElapsedOnly);

void localtimeAndMktime(benchmark::State& state) {
    useZone();
    std::time_t moment = kExample;
    for (auto _ : state) {
        std::tm fields = *std::localtime(&moment);
        fields.tm_isdst = -1;
        benchmark::DoNotOptimize(std::mktime(&fields));
    }
}
BENCHMARK(localtimeAndMktime);

void moneyText(benchmark::State& state) {
    PlainCurrency currency;
    for (auto _ : state) benchmark::DoNotOptimize(formatMoney(1962.984375f, currency));
}
BENCHMARK(moneyText);
}  // namespace
}  // namespace kalverin
