// Rendering the built-in primary text, against the same sentence written with snprintf.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "bench/paired_ratio.h"
#include "script/interpreter.h"
#include "script/number_words.h"
#include "tests/support/example_quit.h"
#include "tests/support/us_currency.h"

namespace kalverin {
namespace {

// The sentence the default text renders at the example moment, built by hand: the plurals and
// the phrases kept are fixed for this moment, only figures, words and money are computed.
void renderBySnprintf(const QuitStatistics& s, CurrencyFormat& currency, std::string& out) {
    std::string years, months, weeks, days;
    numberWords(years, static_cast<uint32_t>(s.years));
    numberWords(months, static_cast<uint32_t>(s.months));
    numberWords(weeks, static_cast<uint32_t>(s.weeks));
    numberWords(days, static_cast<uint32_t>(s.days));
    if (!years.empty() && years[0] >= 'a' && years[0] <= 'z')
        years[0] = static_cast<char>(years[0] - 'a' + 'A');
    std::string money = formatMoney(s.moneySaved, currency);
    char text[512];
    int n = std::snprintf(
        text, sizeof text,
        "%s year, %s months, %s week, %s days, %d hours, %d minutes and %d seconds. %d cigarettes "
        "not smoked, saving %s. Life saved: %d weeks, %d days, %d hours, %d minutes.",
        years.c_str(), months.c_str(), weeks.c_str(), days.c_str(), s.hours, s.minutes, s.seconds,
        s.notSmoked, money.c_str(), s.lifeSavedWeeks, s.lifeSavedDays, s.lifeSavedHours, s.lifeSavedMinutes);
    out.assign(text, n > 0 ? static_cast<size_t>(n) : 0);
}

// The built-in signature rendered at the example moment into a buffer reused like the
// process-wide render buffer.
struct RenderSetUp {
    void render() {
        out.clear();
        renderScript(kDefaultPrimaryText, out, context);
        benchmark::DoNotOptimize(out.c_str());
    }

    QuitStatistics stats = exampleMoment();
    QuitRecord record;
    InterpreterState state;
    UsCurrencyFormat currency;
    ScriptContext context{stats, record, state, currency};
    TextBuffer out{kRenderMax};
};

void BM_RenderDefaultText(benchmark::State& bench) {
    RenderSetUp r;
    std::string expected;
    renderBySnprintf(r.stats, r.currency, expected);
    for (auto _ : bench) r.render();
    if (r.out.str() != expected) bench.SkipWithError("the two renderings differ");
    bench.SetBytesProcessed(static_cast<int64_t>(bench.iterations()) * static_cast<int64_t>(r.out.size()));
}
BENCHMARK(BM_RenderDefaultText);

void BM_SnprintfSameSentence(benchmark::State& bench) {
    QuitStatistics stats = exampleMoment();
    UsCurrencyFormat currency;
    std::string out;
    for (auto _ : bench) {
        renderBySnprintf(stats, currency, out);
        benchmark::DoNotOptimize(out.data());
    }
    bench.SetBytesProcessed(static_cast<int64_t>(bench.iterations()) * static_cast<int64_t>(out.size()));
}
BENCHMARK(BM_SnprintfSameSentence);

// The goal: rendering costs at most twice the snprintf sentence, the two timed in alternation
// (tools/bench).
void renderGoal(benchmark::State& bench) {
    RenderSetUp r;
    std::string bySnprintf;
    pairedRatio(
        bench, [&] { r.render(); },
        [&] {
            renderBySnprintf(r.stats, r.currency, bySnprintf);
            benchmark::DoNotOptimize(bySnprintf.data());
        });
    if (r.out.str() != bySnprintf) bench.SkipWithError("the two renderings differ");
}
BENCHMARK(renderGoal)->Iterations(1);

}  // namespace
}  // namespace kalverin
