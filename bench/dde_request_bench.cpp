// The service's own share of a DDE request: dispatch and reply building, against a
// minimal in-memory library (the Wine round trip is bench/win).
#include <benchmark/benchmark.h>

#include <string>

#include "script/shared_state.h"
#include "dde/quit_items.h"
#include "tests/support/fake_ddeml.h"
#include "tests/support/us_currency.h"

namespace kalverin {
namespace {

void request(benchmark::State& run, const char* topic, const char* item) {
    UsCurrencyFormat currency;
    SharedState state;
    state.currency = &currency;
    state.stats.seconds = 7;
    FakeDdeml library;
    DdeServer server{library};
    QuitItems items;
    server.start("Kalverin");
    registerQuitItems(server, items, state);
    Hsz t = library.clientHandle(topic), i = library.clientHandle(item);
    for (auto _ : run) {
        DataHandle reply = server.onTransaction(kXtypRequest, kCfText, nullptr, t, i, nullptr, 0, 0);
        benchmark::DoNotOptimize(reply);
        library.freeDataHandle(reply);
    }
    unregisterQuitItems(server, items);
    server.stop();
}

void figureRequest(benchmark::State& run) {
    request(run, "DURATION", "SECOND");
}
void wordRequest(benchmark::State& run) {
    request(run, "DURATION", "SECONDWORD");
}
void topicsRequest(benchmark::State& run) {
    request(run, "System", "Topics");
}
void itemListRequest(benchmark::State& run) {
    request(run, "DURATION", "TopicItemList");
}

BENCHMARK(figureRequest);
BENCHMARK(wordRequest);
BENCHMARK(topicsRequest);
BENCHMARK(itemListRequest);

}  // namespace
}  // namespace kalverin
