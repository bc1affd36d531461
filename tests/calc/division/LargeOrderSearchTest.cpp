// The pieces the division of large orders rests on, against plain
// computations: the sheets of growing runs, the lower bound held to bounded
// work, and the stable sorted order.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "calc/DivisionSearch.h"

namespace {

using calc::detail::GrowingRun;
using calc::detail::sheetsOf;

// Quantities by turns: many ties, a wide spread, the whole range, all equal.
std::vector<uint32_t> randomQuantities(std::mt19937_64& random, size_t n, int kind) {
    const uint32_t top = kind == 0 ? 20 : kind == 1 ? 1'000'000 : 99'999'999;
    std::vector<uint32_t> values(n);
    for (uint32_t& q : values) q = 1 + static_cast<uint32_t>(random() % top);
    if (kind == 3) std::fill(values.begin(), values.end(), values.front());
    return values;
}

TEST(GrowingRun, AgreesWithSheetsOfAtEveryLength) {
    // Grown one style at a time and in steps, sorted (as the division grows
    // its runs) and not; full plates, where shares are 1 or 2 and estimates
    // from the rounding loss are poorest, come up at every slot count.
    std::mt19937_64 random(41);
    for (int i = 0; i < 400; ++i) {
        const uint32_t ups = 1 + static_cast<uint32_t>(random() % (i % 4 == 0 ? 8 : 999));
        const size_t n = std::min<size_t>(ups, 1 + random() % 600) + 5;
        std::vector<uint32_t> values = randomQuantities(random, n, i % 4);
        if (i % 2 == 0) std::sort(values.begin(), values.end());
        const size_t first = random() % 5;
        const size_t last = std::min<size_t>(n, first + ups);
        GrowingRun run(values, first, ups);
        for (size_t end = first + 1; end <= last; end += 1 + (i % 3 == 0 ? random() % 40 : 0)) {
            const std::span<const uint32_t> group = std::span<const uint32_t>(values).subspan(first, end - first);
            ASSERT_EQ(run.extendTo(end), sheetsOf(group, ups))
                << "ups " << ups << ", styles " << first << ".." << end << ", round " << i;
        }
    }
}

// The threshold bound of sheetsLowerBound with every t_j found, as defined
// there: the sum over j of the sheets at which the styles left after the
// j x ups largest fit on (plates - j) x ups slots, at least 1 each.
int64_t fullThresholdBound(std::vector<uint32_t> values, uint32_t ups, uint32_t plates) {
    std::sort(values.begin(), values.end());
    int64_t bound = 0;
    for (uint32_t j = 0; j < plates; ++j) {
        const uint64_t dropped = static_cast<uint64_t>(j) * ups;
        const size_t keep = dropped >= values.size() ? 0 : values.size() - static_cast<size_t>(dropped);
        const uint64_t t = sheetsOf(std::span<const uint32_t>(values).first(keep), (plates - j) * ups);
        bound += static_cast<int64_t>(std::max<uint64_t>(t, 1));
    }
    return bound;
}

int64_t tagBound(const std::vector<uint32_t>& values, uint32_t ups) {
    const uint64_t total = std::accumulate(values.begin(), values.end(), uint64_t{0});
    return static_cast<int64_t>((total + ups - 1) / ups);
}

TEST(SheetsLowerBound, StaysBelowTheFullBoundWhenItsWorkIsHeld) {
    // Orders whose thresholds would take many passes over the order: the bound
    // then finds only some of them and must never exceed the full bound (the
    // others have to be filled from below, not above), nor fall under the tags.
    struct Case {
        size_t styles;
        uint32_t ups, plates;
    };
    const Case cases[] = {{100000, 999, 101}, {30000, 100, 300}, {6000, 4, 1500}};
    std::mt19937_64 random(43);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.styles << " styles, " << c.plates << " plates of " << c.ups);
        for (int kind : {1, 2}) {
            const std::vector<uint32_t> values = randomQuantities(random, c.styles, kind);
            const int64_t bound = calc::detail::sheetsLowerBound(values, c.ups, c.plates);
            EXPECT_LE(bound, std::max(tagBound(values, c.ups), fullThresholdBound(values, c.ups, c.plates)));
            EXPECT_GE(bound, tagBound(values, c.ups));
        }
    }
    // Where the work is small the bound is the full one.
    for (int i = 0; i < 200; ++i) {
        const uint32_t ups = 1 + static_cast<uint32_t>(random() % 60), plates = 2 + static_cast<uint32_t>(random() % 6);
        const size_t n = plates + random() % (static_cast<size_t>(plates) * ups - plates + 1);
        const std::vector<uint32_t> values = randomQuantities(random, n, i % 4);
        EXPECT_EQ(calc::detail::sheetsLowerBound(values, ups, plates),
                  std::max(tagBound(values, ups), fullThresholdBound(values, ups, plates)))
            << n << " styles, " << plates << " plates of " << ups;
    }
}

TEST(AscendingOrder, IsTheStableSortOfThePositions) {
    // Ties keep their order: the sorted cut and the runs depend on it.
    std::mt19937_64 random(47);
    for (int kind : {0, 1, 2, 3}) {
        const std::vector<uint32_t> values = randomQuantities(random, 5000, kind);
        std::vector<size_t> expected(values.size());
        std::iota(expected.begin(), expected.end(), size_t{0});
        std::stable_sort(expected.begin(), expected.end(), [&](size_t x, size_t y) { return values[x] < values[y]; });
        EXPECT_EQ(calc::detail::ascendingOrder(values), expected) << "kind " << kind;
    }
}

}  // namespace
