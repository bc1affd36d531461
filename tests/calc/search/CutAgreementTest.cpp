// The quick best cut against the straightforward one that lays out both parts
// of every cut: the same cut, sheets and parts for every sequence, and the
// same course of a seeded search, trial by trial.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "calc/CutSearch.h"
#include "calc/search/CutTestSupport.h"

namespace {

using cut_test::expectSameCut;

using calc::Cut;
using Quantities = std::vector<int32_t>;

struct Order {
    Quantities quantities;
    int32_t ups;
    std::string kind;
};

// Orders of the shapes where a quick search could slip: quantities spread
// over many magnitudes, small ones full of ties, all equal, and style counts
// just above one plate, near two plates and far below either.
std::vector<Order> randomOrders(uint32_t seed, size_t count) {
    std::mt19937 random(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    std::vector<Order> orders;
    for (size_t i = 0; i < count; ++i) {
        Order o;
        const int shape = pick(0, 5);
        const int32_t ups = pick(0, 2) == 0 ? pick(1, 6) : pick(0, 1) == 0 ? pick(7, 60) : pick(61, 999);
        int n = 0;
        switch (pick(0, 3)) {
            case 0: n = pick(2, std::min(2 * ups, 160)); break;
            case 1: n = std::min(2 * ups, 150) - pick(0, 2); break;  // both plates nearly full
            case 2: n = std::min(ups + pick(1, 3), 2 * ups); break;  // just over one plate
            default: n = pick(2, std::min(12, 2 * ups)); break;
        }
        n = std::max(n, 2);
        if (n > 2 * ups) n = 2 * ups;
        o.ups = ups;
        const int32_t same = pick(1, 99'999'999);
        for (int k = 0; k < n; ++k) {
            int32_t q = 1;
            switch (shape) {
                case 0: q = static_cast<int32_t>(std::pow(10.0, std::uniform_real_distribution<double>(0, 8)(random))); break;
                case 1: q = pick(1, 20); break;
                case 2: q = same; break;
                case 3: q = pick(1, 99'999'999); break;
                case 4: q = pick(1, 200) * 100; break;
                default: q = pick(0, 9) == 0 ? pick(1'000'000, 99'999'999) : pick(1, 5'000); break;
            }
            o.quantities.push_back(std::clamp<int32_t>(q, 1, 99'999'999));
        }
        o.kind = "shape " + std::to_string(shape) + ", " + std::to_string(n) + " styles, " + std::to_string(ups) + " ups";
        orders.push_back(std::move(o));
    }
    return orders;
}

TEST(CutAgreement, EverySequenceGetsTheReferenceCut) {
    for (const Order& o : randomOrders(7, 1500)) {
        SCOPED_TRACE(o.kind);
        Quantities sequence = o.quantities;
        std::mt19937 random(static_cast<uint32_t>(sequence.size()));
        for (int round = 0; round < 2; ++round) {
            // Cuts closer to the ends than the calculation allows are asked
            // for too: the parts that do not fit are passed over alike.
            for (int32_t m : {calc::minStylesForCut(sequence.size(), o.ups), 0}) {
                expectSameCut(calc::bestCut(sequence, o.ups, m), calc::referenceBestCut(sequence, o.ups, m));
                if (::testing::Test::HasFailure()) return;
            }
            std::shuffle(sequence.begin(), sequence.end(), random);
        }
    }
}

TEST(CutAgreement, AnEntryOutsideTheRangeIsLeftToTheLayout) {
    const Quantities sequence = {500, 0, 700, 100'000'000, 300, -4, 900};
    for (int32_t ups : {2, 3, 10})
        expectSameCut(calc::bestCut(sequence, ups, 0), calc::referenceBestCut(sequence, ups, 0));
}

// The seeded search replayed with the reference: the sorted cut, then each
// shuffled sequence, kept only when strictly better. The quick search must
// take the same cut in the same trials.
TEST(CutAgreement, TheSeededSearchTakesTheSameCutsTrialByTrial) {
    for (const Order& o : randomOrders(11, 100)) {
        SCOPED_TRACE(o.kind);
        const uint64_t seed = o.quantities.size() * 7919u + static_cast<uint64_t>(o.ups);
        const int32_t m = calc::minStylesForCut(o.quantities.size(), o.ups);
        Quantities sequence = o.quantities;
        std::stable_sort(sequence.begin(), sequence.end());
        Cut best = calc::referenceBestCut(sequence, o.ups, m);
        std::mt19937_64 random(seed);
        constexpr int32_t kTrials = 50;
        for (int32_t t = 1; t <= kTrials && best.found; ++t) {
            std::shuffle(sequence.begin(), sequence.end(), random);
            const Cut reference = calc::referenceBestCut(sequence, o.ups, m);
            const bool better = reference.found && reference.sheets < best.sheets;
            const Cut quick = calc::bestCutBelow(sequence, o.ups, m, best.sheets);
            ASSERT_EQ(quick.found, better) << "trial " << t;
            if (better) {
                expectSameCut(quick, reference);
                best = reference;
            }
        }
        const calc::CutSearch search = calc::searchCuts(o.quantities, o.ups, kTrials, seed);
        expectSameCut(search.best, best);
    }
}

}  // namespace
