// One tick against the C library's conversions it is built on: the tick should cost no
// more than three times one localtime plus one mktime.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include <time.h>

#include "model/currency.h"
#include "model/tick.h"

namespace kalverin {
namespace {

constexpr TimeValue kQuit = 979551000;      // 2001-01-15 09:30:00 UTC
constexpr TimeValue kExample = 1017240312;  // 2002-03-27 14:45:12 UTC

class NullView : public TickView {
public:
    void setTrayTip(const std::string& tip) override { benchmark::DoNotOptimize(tip.data()); }
    void setControlText(int, const std::string& text) override { benchmark::DoNotOptimize(text.data()); }
    void beep() override {}
    void setCaption(const std::string& caption) override { benchmark::DoNotOptimize(caption.data()); }
};

// The figure the platform would give, without the locale lookups of the C library's
// monetary form, so the comparison is about the tick's own work.
class PlainCurrency : public CurrencyFormat {
public:
    bool format(const std::string& amount, std::string& out) override {
        out = "$" + amount;
        return true;
    }
};

void useZone() {
    static bool done = false;
    if (done) return;
    static char entry[] = "TZ=EST5EDT";
    putenv(entry);
    tzset();
    done = true;
}

QuitRecord exampleRecord() {
    QuitRecord record;
    record.userName = "Robin Hale";
    record.quitStart = kQuit;
    record.cigarettesPerDay = 20;
    record.packPriceWhole = 4;
    record.packPriceHundredths = 50;
    recomputeRates(record);
    return record;
}

void tickShown(benchmark::State& state) {
    useZone();
    const QuitRecord record = exampleRecord();
    QuitStatistics stats;
    PlainCurrency currency;
    NullView view;
    for (auto _ : state) tick(record, stats, kExample, false, currency, view);
}
BENCHMARK(tickShown);

void tickMinimised(benchmark::State& state) {
    useZone();
    const QuitRecord record = exampleRecord();
    QuitStatistics stats;
    PlainCurrency currency;
    NullView view;
    for (auto _ : state) tick(record, stats, kExample, true, currency, view);
}
BENCHMARK(tickMinimised);

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

}  // namespace
}  // namespace kalverin

namespace kalverin {
namespace {
void moneyText(benchmark::State& state) {
    PlainCurrency currency;
    for (auto _ : state) benchmark::DoNotOptimize(formatMoney(1962.984375f, currency));
}
BENCHMARK(moneyText);
}  // namespace
}  // namespace kalverin
