// The number rules behind numeric cells: leading values and fixed-point rendering.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "grid/NumberText.h"

namespace {

TEST(GridNumberValue, TakesTheLongestLeadingDecimalNumber) {
    struct Case { const char* text; double value; };
    const Case cases[] = {
        {"12abc", 12}, {"abc", 0}, {"", 0}, {"  7", 7}, {"-3.5x", -3.5}, {".5", 0.5},
        {"5.", 5},     {"1e3", 1000}, {"1e", 1}, {"0x10", 0}, {"--1", 0}, {"007", 7},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(grid::numericValue(c.text), c.value) << c.text;
}

TEST(GridNumberRendering, FixedPointWithTheColumnDecimals) {
    struct Case { double value; int decimals; const char* text; };
    const Case cases[] = {
        {12.6, 0, "13"}, {12.4, 0, "12"}, {5, 2, "5.00"}, {123.456, 2, "123.46"}, {0.000000001, 9, "0.000000001"},
        {1e20, 0, "100000000000000000000"},
        // A negative value that rounds to zero shows no sign ("%.0f" alone gives "-0").
        {-0.4, 0, "0"}, {-0.001, 2, "0.00"},
    };
    for (const Case& c : cases) EXPECT_EQ(grid::fixedPoint(c.value, c.decimals), c.text) << c.value;
    EXPECT_EQ(grid::fixedPoint(std::numeric_limits<double>::max(), 9)->size(), 309u + 10u);
    // No rendering for infinity, NaN or decimals outside 0 to 9.
    EXPECT_FALSE(grid::fixedPoint(HUGE_VAL, 0));
    EXPECT_FALSE(grid::fixedPoint(std::nan(""), 2));
    EXPECT_FALSE(grid::fixedPoint(1, 10));
}

}  // namespace
