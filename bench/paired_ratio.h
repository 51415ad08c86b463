// A speed goal measured as one ratio: the subject and its reference run in alternating
// batches of about a millisecond, timed in this thread's CPU time, and the median of the
// pairs' ratios is the result. A load that comes and goes then slows both sides of a pair
// alike, where two benchmarks run a second apart can each meet a different load.
#pragma once
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <vector>

namespace kalverin {

inline double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

template <typename Work>
double batchSeconds(Work& work, long calls) {
    const double start = threadCpuSeconds();
    for (long i = 0; i < calls; ++i) work();
    return threadCpuSeconds() - start;
}

inline double median(std::vector<double> values) {
    auto middle = values.begin() + static_cast<long>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// Reports the counters "ratio" (subject / reference) and the two times per call in ns.
template <typename Subject, typename Reference>
void pairedRatio(benchmark::State& state, Subject subject, Reference reference) {
    constexpr int kPairs = 51;
    long calls = 1;
    while (batchSeconds(reference, calls) < 1e-3 && calls < (1L << 24)) calls *= 2;
    std::vector<double> ratios, subjectTimes, referenceTimes;
    for (auto _ : state) {
        for (int pair = 0; pair < kPairs; ++pair) {
            // Each side goes first in every other pair.
            double s, r;
            if (pair % 2 == 0) {
                s = batchSeconds(subject, calls);
                r = batchSeconds(reference, calls);
            } else {
                r = batchSeconds(reference, calls);
                s = batchSeconds(subject, calls);
            }
            if (r <= 0) continue;
            ratios.push_back(s / r);
            subjectTimes.push_back(s);
            referenceTimes.push_back(r);
        }
    }
    if (ratios.empty()) {
        state.SkipWithError("the reference took no measurable time");
        return;
    }
    const double perCall = 1e9 / static_cast<double>(calls);
    state.counters["ratio"] = median(ratios);
    state.counters["subject_ns"] = median(subjectTimes) * perCall;
    state.counters["reference_ns"] = median(referenceTimes) * perCall;
}

}  // namespace kalverin
