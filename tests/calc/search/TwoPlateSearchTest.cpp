// The two-plate search without a window: the best cut of a sequence, the
// random orderings of the trials and the trial counts of the trial choice.
#include "calc/TwoPlateSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "runtime/Commands.h"
#include "runtime/RuntimeTestSupport.h"

namespace {

using calc::bestCut;
using calc::Cut;
using Quantities = std::vector<int32_t>;

struct CutCase {
    const char* name;
    Quantities sequence;
    int32_t ups, minStyles;
    int32_t sheetsOne, sheetsTwo;
    Quantities first, second;
};

TEST(BestCut, FindsTheCutWithTheFewestSheets) {
    const CutCase cases[] = {
        // k = 1 gives 70 + 358 = 428, k = 2 gives 175 + 250 = 425.
        {"three styles, ten ups", {700, 1000, 2500}, 10, 0, 175, 250, {700, 1000}, {2500}},
        // m = 1 leaves k = 2 alone; k = 1 (80 | 120, 300, 5000) would need 3 styles on 2 slots.
        {"only the middle cut", {80, 120, 300, 5000}, 2, 1, 120, 5000, {80, 120}, {300, 5000}},
        {"one slot per plate", {1, 1}, 1, 0, 1, 1, {1}, {1}},
        // {10} | {20, 10} and {10, 20} | {10} both need 3 + 10 sheets: the earlier cut stays.
        {"a tie keeps the earliest cut", {10, 20, 10}, 4, 0, 3, 10, {10}, {20, 10}},
    };
    for (const CutCase& c : cases) {
        SCOPED_TRACE(c.name);
        Cut cut = bestCut(c.sequence, c.ups, c.minStyles);
        ASSERT_TRUE(cut.found);
        EXPECT_EQ(cut.sheetsOne, c.sheetsOne);
        EXPECT_EQ(cut.sheetsTwo, c.sheetsTwo);
        EXPECT_EQ(cut.sheets, c.sheetsOne + c.sheetsTwo);
        EXPECT_EQ(cut.first, c.first);
        EXPECT_EQ(cut.second, c.second);
    }
}

TEST(BestCut, FindsNothingWithoutAnAdmissibleCut) {
    // Every cut leaves a part of at most m styles.
    EXPECT_FALSE(bestCut(Quantities{5, 6}, 2, 1).found);
    EXPECT_FALSE(bestCut(Quantities{5}, 2, 0).found);
    EXPECT_FALSE(bestCut(Quantities{}, 2, 0).found);
    // A part with more styles than slots has no layout, so it is never chosen:
    // with one slot per plate no cut of three styles fits.
    Cut cut = bestCut(Quantities{1, 2, 3}, 1, 0);
    EXPECT_FALSE(cut.found);
    EXPECT_TRUE(cut.first.empty());
    EXPECT_TRUE(cut.second.empty());
}

class TrialSequence : public rt_test::RuntimeFixture {
protected:
    void SetUp() override {
        RuntimeFixture::SetUp();
        rt::resetRandomStateForTesting();
    }
    void TearDown() override {
        rt::resetRandomStateForTesting();
        RuntimeFixture::TearDown();
    }
};

TEST_F(TrialSequence, IsAPermutationOfTheQuantities) {
    const Quantities quantities = {5, 3, 3, 9, 1, 7, 3, 12, 40, 2, 2, 8};
    Quantities sorted = quantities;
    std::sort(sorted.begin(), sorted.end());
    for (int round = 0; round < 20; ++round) {
        host.tick += 7;
        Quantities trial = calc::makeTrialSequence(quantities);
        std::sort(trial.begin(), trial.end());
        EXPECT_EQ(trial, sorted);
    }
    EXPECT_TRUE(calc::makeTrialSequence(Quantities{}).empty());
    EXPECT_EQ(calc::makeTrialSequence(Quantities{42}), Quantities{42});
}

TEST_F(TrialSequence, ReseedsBeforeEveryDrawAndTakesOneBasedPositions) {
    // The ordering the protocol gives with the clock standing still: before
    // each draw the generator is seeded with tick + counter and the counter
    // moves on; the draw picks 1..length, and that position leaves the list.
    // (The last draw, of 1..1, returns 1 without touching the generator.)
    const Quantities quantities = {11, 22, 33, 44, 55, 66, 77};
    Quantities left = quantities, expected;
    uint32_t counter = 0;
    while (!left.empty()) {
        uint32_t seed = host.tick + counter;
        counter += (seed & 0xFF) + 100;
        size_t index = 0;
        if (left.size() > 1) {
            uint32_t state = seed * 214013u + 2531011u;
            index = ((state >> 16) & 0x7FFF) % left.size();
        }
        expected.push_back(left[index]);
        left.erase(left.begin() + static_cast<std::ptrdiff_t>(index));
    }
    EXPECT_EQ(calc::makeTrialSequence(quantities), expected);
}

TEST(TrialCount, FollowsTheSixChoices) {
    const int32_t expected[] = {10, 50, 100, 500, 1000, 10000};
    for (int32_t selection = 0; selection < 6; ++selection)
        EXPECT_EQ(calc::trialCountForSelection(selection), expected[selection]) << selection;
    for (int32_t outside : {-1, 6, 100}) EXPECT_EQ(calc::trialCountForSelection(outside), 0) << outside;
}

}  // namespace
