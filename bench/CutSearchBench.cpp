// Speed of the two-plate cut search: the quick best cut against the reference
// that lays out both parts of every cut, on the same orders and the same
// seeded sequences in the same run. The counters give the time per trial of
// each and their ratio.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "calc/CutSearch.h"
#include "calc/CutTrials.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Order {
    std::vector<int32_t> quantities;
    int32_t ups;
};

// `styles` quantities spread evenly over lowest..highest, on plates of `ups` slots.
Order evenOrder(int styles, int32_t lowest, int32_t highest, int32_t ups, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int32_t> quantity(lowest, highest);
    Order o{{}, ups};
    for (int i = 0; i < styles; ++i) o.quantities.push_back(quantity(random));
    return o;
}

// The seeded search with the reference cut: the same loop and orderings as
// searchCuts.
int32_t referenceSearch(const Order& o, int32_t trials, uint64_t seed) {
    calc::CutTrials search(o.quantities, o.ups, calc::minStylesForCut(o.quantities.size(), o.ups));
    search.useReferenceCut();
    search.run(trials, calc::seededOrderings(seed));
    return search.best().sheets;
}

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The quick search runs `trials` trials; the reference runs `referenceTrials`
// of the same sequence (the first ones of the same seed), timed per trial.
void compare(benchmark::State& state, const Order& o, int32_t trials, int32_t referenceTrials) {
    double quick = 0, reference = 0;
    int32_t sheets = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        calc::CutSearch search = calc::searchCuts(o.quantities, o.ups, trials, 1);
        quick = secondsSince(start);
        sheets = search.best.sheets;
        start = Clock::now();
        const int32_t referenceSheets = referenceSearch(o, referenceTrials, 1);
        reference = secondsSince(start);
        if (referenceTrials == trials && referenceSheets != sheets) state.SkipWithError("the searches disagree");
    }
    state.counters["quick_s"] = quick;
    state.counters["quick_us_per_trial"] = quick / trials * 1e6;
    state.counters["reference_us_per_trial"] = reference / referenceTrials * 1e6;
    state.counters["speedup"] = (reference / referenceTrials) / (quick / trials);
    state.counters["sheets"] = sheets;
}

// 10,000 trials of 48 styles of 100..20,000 tags on 48 slots.
void BM_CutSearch48Styles(benchmark::State& state) {
    compare(state, evenOrder(48, 100, 20'000, 48, 48), 10'000, 10'000);
}
BENCHMARK(BM_CutSearch48Styles)->Unit(benchmark::kMillisecond)->Iterations(1);

// 10,000 trials of 150 styles of 1..10^8 tags on 999 slots; the reference
// runs the first 500 trials.
void BM_CutSearch150Styles(benchmark::State& state) {
    compare(state, evenOrder(150, 1, 100'000'000, 999, 150), 10'000, 500);
}
BENCHMARK(BM_CutSearch150Styles)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
