// The integer shortcuts of the division searches against the layout's own
// rounding: a wrong share or sheet count would make every proof unsound.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "calc/DivisionSearch.h"
#include "calc/PlateLayout.h"

namespace {

// A random group of styles that fits on `ups` slots, with quantities up to
// 50, 10^6 or 99,999,999 by turns.
std::vector<uint32_t> randomGroup(std::mt19937& random, int i, uint32_t ups, uint32_t mostStyles) {
    const size_t n = 1 + random() % std::min(ups, mostStyles);
    const uint32_t top = i % 3 == 0 ? 50 : i % 3 == 1 ? 1000000 : 99999999;
    std::vector<uint32_t> values;
    for (size_t k = 0; k < n; ++k) values.push_back(1 + random() % top);
    return values;
}

TEST(DivisionShares, IntegerSharesMatchTheLayoutsRounding) {
    std::mt19937 random(17);
    std::uniform_int_distribution<int32_t> quantity(1, calc::kMaxQuantity);
    std::uniform_int_distribution<int32_t> sheets(1, calc::kMaxQuantity);
    for (int i = 0; i < 200000; ++i) {
        const int32_t q = quantity(random);
        // Sheet counts near the quantity, and just above a divisor, are where
        // a rounding slip would show.
        const int32_t s = i % 3 == 0 ? sheets(random) : i % 3 == 1 ? std::max(1, q / (1 + i % 997)) + 1 : q - (i % 5);
        if (s < 1) continue;
        ASSERT_EQ(calc::detail::shareOf(static_cast<uint64_t>(q), static_cast<uint64_t>(s)),
                  static_cast<uint64_t>(calc::ceilByText(static_cast<double>(q) / s)))
            << q << " / " << s;
    }
    // The closest fractions to a whole number that valid quantities allow.
    EXPECT_EQ(calc::detail::shareOf(99999999, 99999998), 2u);
    EXPECT_EQ(calc::ceilByText(99999999.0 / 99999998), 2);
    EXPECT_EQ(calc::detail::shareOf(99999998, 99999999), 1u);
}

TEST(DivisionShares, IntegerSheetCountsMatchTheLayout) {
    std::mt19937 random(23);
    for (int i = 0; i < 3000; ++i) {
        const uint32_t ups = 1 + random() % (i % 2 ? 999 : 12);
        const std::vector<uint32_t> values = randomGroup(random, i, ups, 150);
        const std::vector<int32_t> quantities(values.begin(), values.end());
        ASSERT_EQ(calc::detail::sheetsOf(values, ups),
                  static_cast<uint64_t>(calc::layoutOnePlate(quantities, static_cast<int32_t>(ups)).sheets));
    }
    EXPECT_EQ(calc::detail::sheetsOf({}, 5), 0u);
}

// The two-plate search only tries sheet counts of the form ceil(q / k) with
// k at most the slots (and 1): a plate's own sheet count must always be one.
TEST(DivisionShares, EveryPlatesSheetCountIsACandidate) {
    std::mt19937 random(29);
    for (int i = 0; i < 2000; ++i) {
        const uint32_t ups = 1 + random() % (i % 2 ? 300 : 10);
        const std::vector<uint32_t> values = randomGroup(random, i, ups, 60);
        const uint64_t sheets = calc::detail::sheetsOf(values, ups);
        bool candidate = sheets == 1;
        for (uint32_t q : values)
            for (uint64_t k = 1; k <= ups && !candidate; ++k) candidate = calc::detail::shareOf(q, k) == sheets;
        ASSERT_TRUE(candidate) << "sheets " << sheets << " on " << ups << " slots";
    }
}

}  // namespace
