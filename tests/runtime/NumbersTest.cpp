// The numeric rules: snap and floor, rounding with the nudge, number rendering,
// the GBK-aware search, full-width conversion and leading-number parsing.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

#include "runtime/Numbers.h"

namespace {

TEST(NumberFloor, SnapsValuesJustBelowAnInteger) {
    struct Case { double x; int32_t expected; };
    const Case cases[] = {
        {2.9999999999995, 3}, {2.999999999, 2},   {-2.5, -3},          {-2.9999999999995, -3},
        {-0.5, -1},           {-0.9999999999995, -1}, {0.0, 0},         {7.0, 7},
        {3.0000000000001, 3}, {-7.0, -7},         {2147483647.2, INT32_MAX}, {-2147483648.0, INT32_MIN},
    };
    for (const Case& c : cases) EXPECT_EQ(rt::floorToInt(c.x), c.expected) << c.x;
}

TEST(NumberRound, HalvesAwayFromZeroWithTheNudge) {
    struct Case { double x; int32_t places; double expected; };
    const Case cases[] = {
        {2.675, 2, 2.68},    {1.005, 2, 1.01},    {-1.005, 2, -1.01}, {1234.5, -2, 1200.0}, {0.5, 0, 1.0},
        {2.5, 0, 3.0},       {-2.5, 0, -3.0},     {1.004, 2, 1.0},    {1250.0, -2, 1300.0}, {0.125, 2, 0.13},
        {1.4999, 0, 1.0},    {-1234.5, -1, -1230.0}, {0.0, 2, 0.0},
        // Scales beyond the double range: as exact as it gets, or rounded away entirely.
        {1.5, 400, 1.5},     {1e300, 20, 1e300},  {1234.0, -400, 0.0},
    };
    for (const Case& c : cases) {
        double r = rt::roundTo(c.x, c.places);
        EXPECT_FALSE(std::isnan(r)) << c.x << " at " << c.places;
        EXPECT_DOUBLE_EQ(r, c.expected) << c.x << " at " << c.places;
    }
}

TEST(NumberFormat, DoublesWithThirteenDigitsFloatsWithSix) {
    struct Case { double x; const char* expected; };
    const Case doubles[] = {
        {0.0, "0"},       {100000000.0, "100000000"}, {2.1, "2.1"},           {0.1 + 0.2, "0.3"},
        {1e13, "1e+13"},  {1234567890123.0, "1234567890123"}, {-1.5, "-1.5"}, {1.0 / 3, "0.3333333333333"},
        {1e-5, "1e-05"},  {2.675 * 100, "267.5"},
    };
    for (const Case& c : doubles) EXPECT_EQ(rt::formatDouble(c.x), c.expected) << c.expected;

    struct FloatCase { float x; const char* expected; };
    const FloatCase floats[] = {
        {0.1f, "0.1"}, {3.14159274f, "3.14159"}, {1234567.0f, "1.23457e+06"}, {100.0f, "100"}, {-2.5f, "-2.5"},
    };
    for (const FloatCase& c : floats) EXPECT_EQ(rt::formatFloat(c.x), c.expected) << c.expected;

    EXPECT_EQ(rt::formatInt(INT64_MIN), "-9223372036854775808");
}

TEST(NumberFindText, StepsOverTwoByteCharacters) {
    const std::string aZhongB = "a\xD6\xD0" "b";  // a, 中, b
    struct Case { std::string haystack, needle; int32_t start; bool ignoreCase; int32_t expected; };
    const Case cases[] = {
        {aZhongB, "b", 0, false, 4},
        {aZhongB, "\xD6\xD0", 0, false, 2},
        {"abc", "", 0, false, 1},
        {"", "", 0, false, -1},
        {"", "a", 0, false, -1},
        {"abcabc", "c", 0, false, 3},
        {"abcabc", "c", 4, false, 6},
        {"abcabc", "c", 7, false, -1},      // start past the end: nothing is searched
        {"abcabc", "", 7, false, -1},
        {"abcabc", "a", 1, false, 1},
        {"abcabc", "a", -5, false, 1},      // negative start counts as the beginning
        {"abcabc", "a", INT32_MIN, false, 1},
        {"ABC", "b", 0, true, 2},
        {"ABC", "b", 0, false, -1},
        {"abc", "abcd", 0, false, -1},
        // The second byte of 中 followed by a must not match D0 61.
        {"\xD6\xD0" "a", "\xD0" "a", 0, false, -1},
        // Only ASCII letters fold: C1 and E1 are different GBK lead bytes.
        {"\xC1\xA1", "\xE1\xA1", 0, true, -1},
        // A lead byte before the end stops the search.
        {"ab\xD6", "x", 0, false, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rt::findText(c.haystack, c.needle, c.start, c.ignoreCase), c.expected)
            << "'" << c.haystack << "' / '" << c.needle << "' from " << c.start;
}

TEST(NumberHalfWidth, ConvertsFullWidthFormsOnly) {
    struct Case { std::string in, out; };
    const Case cases[] = {
        {"\xA3\xB1\xA3\xB2\xA3\xB3", "123"},
        {"\xA3\xC1\xA3\xE1", "Aa"},
        {"\xA3\xAD\xA3\xAE", "-."},
        {"\xA1\xA1", " "},
        {"\xA1\xAB", "~"},
        {"\xA1\xEE\xA1\xEF", "**"},
        {"x\xD6\xD0y", "x\xD6\xD0y"},     // 中 stays
        {"\xA3\xA0", "\xA3\xA0"},          // below the full-width range
        {"\xA3\xB1\xA3", "1"},              // a lead byte without its second byte ends the text
        {"plain 42", "plain 42"},
    };
    for (const Case& c : cases) EXPECT_EQ(rt::toHalfWidth(c.in), c.out) << c.in;
}

TEST(NumberParse, LeadingDecimalNumber) {
    struct Case { std::string text; double expected; };
    const Case cases[] = {
        {"12.5", 12.5},    {"  -3e2x", -300.0}, {"1e", 1.0},     {".5", 0.5},    {"5.", 5.0},
        {"5.e1", 50.0},    {"abc", 0.0},        {"", 0.0},       {"+", 0.0},     {"-.e5", 0.0},
        {"\t\n7", 7.0},    {"1e-400", 0.0},     {"0x10", 0.0},   {"- 5", 0.0},
        {"\xA3\xB1\xA3\xB2\xA3\xAE\xA3\xB5", 12.5},  // １２．５
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(rt::parseNumber(c.text), c.expected) << c.text;

    EXPECT_EQ(rt::parseNumber("1e400"), HUGE_VAL);
    EXPECT_EQ(rt::parseNumber("-1e400"), -HUGE_VAL);
    // Overflow with a negative exponent is still overflow.
    EXPECT_EQ(rt::parseNumber("1" + std::string(400, '0') + "e-10"), HUGE_VAL);
    EXPECT_EQ(rt::parseNumber("0." + std::string(400, '0') + "1e10"), 0.0);
}

TEST(NumberParse, LeadingIntegerWraps) {
    struct Case { std::string text; int32_t expected; };
    const Case cases[] = {
        {"12abc", 12},   {"\xA3\xB1\xA3\xB2\xA3\xB3", 123}, {" -42", -42}, {"+7", 7},
        {"4294967297", 1}, {"-2147483648", INT32_MIN},       {"abc", 0},    {"", 0},
        {"3.9", 3},      {"\xA1\xA1" "5", 5},               {"--1", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(rt::parseInt(c.text), c.expected) << c.text;
}

// The wrap is the ToInt command's; the order's range check reads the number whole.
TEST(NumberParse, UnwrappedLeadingIntegerKeepsLongNumbers) {
    struct Case {
        const char* text;
        int64_t expected;
    };
    const Case cases[] = {
        {"4300000000", 4300000000}, {"4294968296x", 4294968296}, {" -4294967295", -4294967295},
        {"12", 12}, {"", 0}, {"abc", 0}, {"+7", 7},
        {"99999999999999999999999", INT64_MAX}, {"-99999999999999999999999", -INT64_MAX},
    };
    for (const Case& c : cases) EXPECT_EQ(rt::parseIntUnwrapped(c.text), c.expected) << c.text;
    EXPECT_EQ(rt::parseInt("4300000000"), 5032704);  // ToInt keeps its wrap
}

}  // namespace
