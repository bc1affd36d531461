// Speed of the one-plate layout: the bisecting search on large random orders
// and on an order that makes the step-by-step loop take half a million steps,
// and that loop itself on the same order for comparison.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

#include "calc/LinearLayout.h"
#include "calc/PlateLayout.h"

namespace {

struct Order {
    std::vector<int32_t> quantities;
    int32_t ups;
};

// 150 styles of up to 99,999,999 tags on plates of `minUps`..999 slots.
std::vector<Order> randomOrders(int32_t minUps, int32_t maxUps, size_t count) {
    std::mt19937 random(42);
    std::uniform_int_distribution<int32_t> quantity(1, 99999999);
    std::uniform_int_distribution<int32_t> ups(minUps, maxUps);
    std::vector<Order> orders(count);
    for (Order& o : orders) {
        o.ups = ups(random);
        for (int i = 0; i < 150; ++i) o.quantities.push_back(quantity(random));
    }
    return orders;
}

void runOrders(benchmark::State& state, const std::vector<Order>& orders) {
    size_t i = 0;
    for (auto _ : state) {
        const Order& o = orders[i++ % orders.size()];
        benchmark::DoNotOptimize(calc::layoutOnePlate(o.quantities, o.ups));
    }
    // The slowest single order: each timed a few times (the best of those
    // runs, so that an interrupt does not count), then the worst over all.
    std::vector<double> best(orders.size(), 1e300);
    for (int round = 0; round < 5; ++round)
        for (size_t k = 0; k < orders.size(); ++k) {
            auto start = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(calc::layoutOnePlate(orders[k].quantities, orders[k].ups));
            std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
            best[k] = std::min(best[k], took.count());
        }
    double slowest = *std::max_element(best.begin(), best.end());
    state.counters["slowest_us"] = slowest;
}

void BM_Random150Styles(benchmark::State& state) {
    static const std::vector<Order> orders = randomOrders(150, 999, 512);
    runOrders(state, orders);
}
BENCHMARK(BM_Random150Styles);

// As many styles as slots: no slack narrows the search, so it spans 1..1e8.
void BM_Random150StylesOn150Slots(benchmark::State& state) {
    static const std::vector<Order> orders = randomOrders(150, 150, 512);
    runOrders(state, orders);
}
BENCHMARK(BM_Random150StylesOn150Slots);

const std::vector<int32_t> kSkewed = {1, 9999998};

void BM_SkewedOrderOn2Slots(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(calc::layoutOnePlate(kSkewed, 2));
}
BENCHMARK(BM_SkewedOrderOn2Slots);

// 1 and 9999998 on 2 slots: the step-by-step loop climbs from 5000000 to
// 9999998 sheets one at a time. Both are timed in one run to give the ratio.
void BM_SkewedLiteralVsFast(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    double literalNs = 0;
    double fastNs = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        calc::PlateLayout literal = calc::layoutOnePlateLinear(kSkewed, 2);
        literalNs = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
        benchmark::DoNotOptimize(literal);

        constexpr int kRepeats = 10000;
        start = Clock::now();
        for (int i = 0; i < kRepeats; ++i) benchmark::DoNotOptimize(calc::layoutOnePlate(kSkewed, 2));
        fastNs = std::chrono::duration<double, std::nano>(Clock::now() - start).count() / kRepeats;

        if (calc::layoutOnePlate(kSkewed, 2).sheets != literal.sheets) state.SkipWithError("results differ");
    }
    state.counters["literal_ns"] = literalNs;
    state.counters["fast_ns"] = fastNs;
    state.counters["ratio"] = literalNs / fastNs;
}
BENCHMARK(BM_SkewedLiteralVsFast)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
