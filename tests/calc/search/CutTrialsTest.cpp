// The two-plate search's shared loop: only strictly better cuts replace the
// best; its hooks see every trial and every better cut and end the search
// when they ask.
#include "calc/CutTrials.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "calc/search/CutTestSupport.h"

namespace {

using cut_test::expectSameCut;

using calc::Cut;
using calc::CutTrials;
using Quantities = std::vector<int32_t>;

// An order of `styles` styles that fits on two plates of `ups` slots.
struct Order {
    Quantities quantities;
    int32_t ups;
};

Order randomOrder(std::mt19937& random) {
    const int32_t styles = std::uniform_int_distribution<int32_t>(2, 60)(random);
    const int32_t ups = std::uniform_int_distribution<int32_t>((styles + 1) / 2, styles + 10)(random);
    // Few distinct quantities give equal ones, whose places the sort must keep.
    const int32_t largest = std::uniform_int_distribution<int>(0, 1)(random) ? 8 : 50'000;
    Order order{{}, ups};
    for (int32_t i = 0; i < styles; ++i)
        order.quantities.push_back(std::uniform_int_distribution<int32_t>(1, largest)(random));
    return order;
}

// Orderings taken from a list, in turn.
calc::TrialOrderings listed(const std::vector<Quantities>& orderings, int* taken) {
    return [orderings, taken](Quantities& sequence) { sequence = orderings[static_cast<size_t>((*taken)++)]; };
}

TEST(CutTrials, KeepsOnlyStrictlyBetterCutsAndShowsEachTrial) {
    std::mt19937 random(7);
    int improvements = 0;
    for (int round = 0; round < 100; ++round) {
        const Order order = randomOrder(random);
        const int32_t m = calc::minStylesForCut(order.quantities.size(), order.ups);
        std::vector<Quantities> orderings;
        for (int t = 0; t < 12; ++t) {
            Quantities next = order.quantities;
            std::shuffle(next.begin(), next.end(), random);
            orderings.push_back(next);
        }
        // What the loop must do, worked out with bestCut: a trial replaces the
        // best only with strictly fewer sheets, so ties keep the earlier cut.
        Quantities sorted = order.quantities;
        std::stable_sort(sorted.begin(), sorted.end());
        Cut expected = calc::bestCut(sorted, order.ups, m);
        ASSERT_TRUE(expected.found);
        std::vector<int32_t> expectedImprovedAt;
        for (size_t t = 0; t < orderings.size(); ++t) {
            Cut trial = calc::bestCut(orderings[t], order.ups, m);
            if (trial.found && trial.sheets < expected.sheets) {
                expected = trial;
                expectedImprovedAt.push_back(static_cast<int32_t>(t) + 1);
            }
        }

        CutTrials search(order.quantities, order.ups, m);
        int taken = 0, current = 0;
        std::vector<int32_t> before, after, improvedAt;
        calc::TrialHooks hooks;
        hooks.beforeTrial = [&](int32_t t) {
            before.push_back(current = t);
            return true;
        };
        hooks.improved = [&](const Cut& best) {
            improvedAt.push_back(current);
            EXPECT_EQ(&best, &search.best());
        };
        hooks.afterTrial = [&](int32_t t) {
            after.push_back(t);
            return true;
        };
        EXPECT_EQ(search.run(12, listed(orderings, &taken), hooks), 12);
        EXPECT_EQ(taken, 12);
        EXPECT_EQ(before, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
        EXPECT_EQ(after, before);
        EXPECT_EQ(improvedAt, expectedImprovedAt);
        expectSameCut(search.best(), expected);
        improvements += static_cast<int>(improvedAt.size());
    }
    EXPECT_GT(improvements, 10) << "the orders must give trials something to improve";
}

TEST(CutTrials, AHookEndsTheSearch) {
    const Quantities order = {700, 1000, 2500, 300, 90};
    const std::vector<Quantities> orderings(10, order);
    {
        SCOPED_TRACE("before the third trial");
        CutTrials search(order, 10, 0);
        int taken = 0;
        calc::TrialHooks hooks;
        hooks.beforeTrial = [](int32_t t) { return t < 3; };
        EXPECT_EQ(search.run(10, listed(orderings, &taken), hooks), 2);
        EXPECT_EQ(taken, 2);
    }
    {
        SCOPED_TRACE("after the second trial");
        CutTrials search(order, 10, 0);
        int taken = 0;
        calc::TrialHooks hooks;
        hooks.afterTrial = [](int32_t t) { return t < 2; };
        EXPECT_EQ(search.run(10, listed(orderings, &taken), hooks), 2);
        EXPECT_EQ(taken, 2);
    }
}

TEST(CutTrials, WithoutACutOfTheSortedOrderNoTrialRuns) {
    int taken = 0;
    for (const Quantities& order : {Quantities{}, Quantities{5}, Quantities{1, 2, 3}}) {
        CutTrials search(order, 1, 0);  // one slot per plate: not even three styles fit
        EXPECT_FALSE(search.best().found);
        EXPECT_EQ(search.run(10, listed({}, &taken)), 0);
    }
    EXPECT_EQ(taken, 0);
}

}  // namespace
