// The one-plate layout: worked orders, edge cases, agreement with the literal loop, 64-bit totals.
#include "calc/PlateLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "calc/LinearLayout.h"

namespace {

using calc::ceilByText;
using calc::layoutOnePlate;
using calc::layoutOnePlateLinear;
using calc::PlateLayout;

struct Expected {
    std::vector<int32_t> quantities;
    int32_t ups;
    int32_t sheets;
    std::vector<int32_t> slots;
    int32_t remaining;
    int64_t printed;
    int64_t waste;
    double ratio;
    std::vector<int64_t> wastePerStyle;
};

// Field by field, so that a failure names the field.
void expectSame(const PlateLayout& fast, const PlateLayout& literal) {
    EXPECT_EQ(fast.ok, literal.ok);
    EXPECT_EQ(fast.sheets, literal.sheets);
    EXPECT_EQ(fast.totalQuantity, literal.totalQuantity);
    EXPECT_EQ(fast.printedQuantity, literal.printedQuantity);
    EXPECT_EQ(fast.remainingSlots, literal.remainingSlots);
    EXPECT_EQ(fast.wasteQuantity, literal.wasteQuantity);
    EXPECT_EQ(fast.wasteRatio, literal.wasteRatio);
    EXPECT_EQ(fast.slotsPerStyle, literal.slotsPerStyle);
    EXPECT_EQ(fast.wastePerStyle, literal.wastePerStyle);
}

void expectLayout(const PlateLayout& got, const Expected& e) {
    PlateLayout want;
    want.ok = true;
    want.sheets = e.sheets;
    for (int32_t q : e.quantities)
        if (calc::isValidQuantity(q)) want.totalQuantity += q;
    want.printedQuantity = e.printed;
    want.remainingSlots = e.remaining;
    want.wasteQuantity = e.waste;
    want.wasteRatio = e.ratio;
    want.slotsPerStyle = e.slots;
    want.wastePerStyle = e.wastePerStyle;
    expectSame(got, want);
}

// The worked results, the edge cases around them, and orders with invalid
// entries beside valid ones (which must not change anything).
const std::vector<Expected> kLayouts = {
    {{1000, 2000, 3000}, 48, 125, {8, 16, 24}, 0, 6000, 0, 0, {0, 0, 0}},
    {{1000, 2500, 700}, 10, 500, {2, 5, 2}, 1, 5000, 800, 19.05, {0, 0, 300}},
    {{5000, 300, 120, 80}, 8, 1000, {5, 1, 1, 1}, 0, 8000, 2500, 45.45, {0, 700, 880, 920}},
    {{1000}, 48, 21, {48}, 0, 1008, 8, 0.8, {8}},
    // As many styles as slots: 200 sheets give shares 2 and 1, which do not fit.
    {{300, 100}, 2, 300, {1, 1}, 0, 600, 200, 50, {0, 200}},
    // A share of 1 / 50000 still takes a whole slot.
    {{1, 99998}, 2, 99998, {1, 1}, 0, 199996, 99997, 100, {99997, 0}},
    // 4200 / 10 = 420 and 6000 / 48 = 125 are not rounded up; 1000 / 420 is.
    {{4200}, 10, 420, {10}, 0, 4200, 0, 0, {0}},
    {{0, 1000, -1, 2500, 100000000, 700, INT32_MIN, INT32_MAX}, 10, 500, {2, 5, 2}, 1, 5000, 800, 19.05, {0, 0, 300}},
    {{99999999, 0}, 1, 99999999, {1}, 0, 99999999, 0, 0, {0}},
};

TEST(PlateLayout, KnownOrders) {
    for (const Expected& e : kLayouts) {
        SCOPED_TRACE(::testing::Message() << "ups " << e.ups << ", first quantity " << e.quantities[0]);
        expectLayout(layoutOnePlate(e.quantities, e.ups), e);
        expectLayout(layoutOnePlateLinear(e.quantities, e.ups), e);
    }
}

TEST(PlateLayout, NoLayout) {
    struct Case {
        std::vector<int32_t> quantities;
        int32_t ups;
        int32_t sheets;
        int64_t total;
    };
    const std::vector<Case> cases = {
        {{300, 100, 50}, 2, 225, 450},  // one style more than slots: ceil(450 / 2)
        {{1, 1, 1, 0, 0}, 2, 2, 3},
        {{5, 5}, 1, 10, 10},
        {{1000}, 0, 0, 1000},  // no slots at all
        {{1000, 2000}, -3, 0, 3000},
        {{}, 0, 0, 0},
        // 150 large styles on a single slot need about 1.5e10 sheets, more than
        // 32 bits hold; the estimate stops at the largest value instead of wrapping.
        {std::vector<int32_t>(150, 99999999), 1, INT32_MAX, 14999999850},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "ups " << c.ups << ", styles " << c.quantities.size());
        for (const PlateLayout& got : {layoutOnePlate(c.quantities, c.ups), layoutOnePlateLinear(c.quantities, c.ups)}) {
            EXPECT_FALSE(got.ok);
            EXPECT_EQ(got.sheets, c.sheets);
            EXPECT_EQ(got.totalQuantity, c.total);
            EXPECT_EQ(got.printedQuantity, 0);
            EXPECT_EQ(got.remainingSlots, 0);
            EXPECT_EQ(got.wasteQuantity, 0);
            EXPECT_EQ(got.wasteRatio, 0);
            EXPECT_TRUE(got.slotsPerStyle.empty());
            EXPECT_TRUE(got.wastePerStyle.empty());
        }
    }
}

TEST(PlateLayout, EmptyListLeavesAllSlotsAndHasNoRatio) {
    const std::vector<int32_t> invalidOnly = {0, -5, 100000000};
    for (const PlateLayout& got : {layoutOnePlate({}, 48), layoutOnePlateLinear(invalidOnly, 48)}) {
        EXPECT_TRUE(got.ok);
        EXPECT_EQ(got.sheets, 0);
        EXPECT_EQ(got.totalQuantity, 0);
        EXPECT_EQ(got.printedQuantity, 0);
        EXPECT_EQ(got.remainingSlots, 48);
        EXPECT_TRUE(std::isnan(got.wasteRatio));
        EXPECT_TRUE(got.slotsPerStyle.empty());
    }
}

// Totals beyond 32 bits: 150 styles of 99,999,999 on 999 slots. Six slots
// each need ceil(99999999 / 6) = 16666667 sheets.
TEST(PlateLayout, LargeOrderDoesNotWrap) {
    const std::vector<int32_t> order(150, 99999999);
    PlateLayout got = layoutOnePlate(order, 999);
    ASSERT_TRUE(got.ok);
    EXPECT_EQ(got.sheets, 16666667);
    EXPECT_EQ(got.totalQuantity, 14999999850);
    EXPECT_EQ(got.printedQuantity, 16650000333);
    EXPECT_EQ(got.wasteQuantity, 1650000483);
    EXPECT_EQ(got.remainingSlots, 99);
    EXPECT_DOUBLE_EQ(got.wasteRatio, 11);
    EXPECT_EQ(got.slotsPerStyle, std::vector<int32_t>(150, 6));
    EXPECT_EQ(got.wastePerStyle, std::vector<int64_t>(150, 3));
}

TEST(CeilByText, RoundsUpWhatShowsAFraction) {
    struct Case {
        double x;
        int32_t expected;
    };
    const Case cases[] = {
        {6000.0 / 48, 125},   {4200.0 / 10, 420}, {1000.0 / 420, 3},  {2.5, 3},
        {0, 0},               {1, 1},             {1.0 / 50000, 1},   {0.5, 1},
        {1e-300, 1},          {1.5e-5, 1},        {99999999, 99999999}, {99999998.5, 99999999},
        {-0.5, 0},            {-2.5, -2},         {-7, -7},
        {std::nan(""), INT32_MIN}, {std::numeric_limits<double>::infinity(), INT32_MIN},
    };
    for (const Case& c : cases) EXPECT_EQ(ceilByText(c.x), c.expected) << "x = " << c.x;
}

int64_t ceilDiv(int64_t a, int64_t b) { return (a + b - 1) / b; }

// The bisection relies on integer ceiling division giving the same shares as
// rounding the double quotient by its text.
TEST(CeilByText, AgreesWithIntegerCeilingDivision) {
    std::mt19937_64 random(20240611);
    auto uniform = [&](int64_t low, int64_t high) { return std::uniform_int_distribution<int64_t>(low, high)(random); };
    auto check = [](int64_t a, int64_t b) {
        ASSERT_EQ(ceilByText(static_cast<double>(a) / static_cast<double>(b)), ceilDiv(a, b)) << a << " / " << b;
    };
    const int64_t below31 = (int64_t{1} << 31) - 1;
    for (int i = 0; i < 40000; ++i) {
        check(uniform(1, below31), uniform(1, below31));
        check(uniform(1, 99999999), uniform(1, 99999999));
        int64_t a = uniform(1, 99999999);
        check(a, uniform(1, std::min<int64_t>(a, 1000)));
        // Order totals on a plate: the quotient stays below 1e8 when the styles fit.
        int64_t total = uniform(1, 15000000000);
        check(total, uniform(total / 99999999 + 1, 99999999));
        // Whole quotients and their neighbours.
        int64_t b = uniform(1, 99999);
        int64_t k = uniform(1, 21474);
        check(k * b, b);
        check(k * b + 1, b);
        check(k * b - 1, b);
        if (HasFailure()) return;
    }
}

// Random orders in two regimes: small plates with small quantities, where the
// literal loop is always cheap, and plates of 150..999 slots with quantities
// up to 1e8. Every result is checked for minimality directly (the shares fit,
// one sheet fewer would not); those that the literal loop reaches within a
// few hundred steps are also compared with it field by field.
TEST(PlateLayout, BisectionMatchesLiteralLoop) {
    std::mt19937 random(7);
    auto uniform = [&](int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(random); };
    const int32_t largest[] = {3, 20, 300, 2000, 100000, 99999999};
    int compared = 0;
    for (int i = 0; i < 3000; ++i) {
        bool large = i % 4 == 3;
        int32_t ups = large ? uniform(150, 999) : uniform(1, 40);
        int32_t styles = uniform(1, large && i % 8 == 3 ? 150 : ups);
        std::vector<int32_t> order;
        for (int32_t s = 0; s < styles; ++s) order.push_back(uniform(1, largest[i % 3 + (large ? 3 : 0)]));
        if (i % 7 == 0) order.push_back(uniform(-3, 0));
        SCOPED_TRACE(::testing::Message() << "case " << i << ", ups " << ups << ", styles " << styles);

        PlateLayout fast = layoutOnePlate(order, ups);
        ASSERT_TRUE(fast.ok);
        auto used = [&](int64_t sheets) {
            int64_t sum = 0;
            for (int32_t q : order)
                if (q > 0) sum += ceilDiv(q, sheets);
            return sum;
        };
        const int64_t start = ceilDiv(fast.totalQuantity, ups);
        EXPECT_LE(used(fast.sheets), ups);
        if (fast.sheets > start) {
            EXPECT_GT(used(fast.sheets - 1), ups);
        }
        if (fast.sheets - start <= 300 || !large) {
            expectSame(fast, layoutOnePlateLinear(order, ups));
            ++compared;
        }
        if (HasFailure()) return;
    }
    EXPECT_GT(compared, 2400);
}

}  // namespace
