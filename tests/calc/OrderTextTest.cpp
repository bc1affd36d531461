// Reading orders from text: separators, the validity rule, and errors that name the field.
#include "calc/OrderText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using calc::parseOrderText;

TEST(OrderText, ReadsQuantitiesInAnyLayout) {
    struct Case {
        std::string text;
        std::vector<int32_t> quantities;
        int64_t dropped;
    };
    const std::vector<Case> cases = {
        {"", {}, 0},
        {"\n\n \t\n", {}, 0},
        {"1000\n2500\n700", {1000, 2500, 700}, 0},
        {"1000\r\n2500\r\n700\r\n", {1000, 2500, 700}, 0},
        {"1000,2500;700\t5 6", {1000, 2500, 700, 5, 6}, 0},
        {",,1000, ,;;2500,\t\n", {1000, 2500}, 0},
        {"\xEF\xBB\xBF" "12\n", {12}, 0},
        {"+7 0012 99999999", {7, 12, 99999999}, 0},
        // Integers outside 1..99,999,999 are counted, never errors, whatever their size.
        {"0 -1 -0 100000000 -99999999 2147483648 99999999999999999999999999 000000000000000000005",
         {5}, 7},
        {"1\r", {1}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        calc::OrderText got = parseOrderText(c.text);
        EXPECT_TRUE(got.ok);
        EXPECT_EQ(got.quantities, c.quantities);
        EXPECT_EQ(got.dropped, c.dropped);
    }
}

TEST(OrderText, NamesTheFirstFieldThatIsNotAnInteger) {
    struct Case {
        std::string text;
        int64_t line;
        std::string field;
        std::vector<int32_t> before;
    };
    const std::vector<Case> cases = {
        {"abc", 1, "abc", {}},
        {"10\n20\n12abc 30\nxyz", 3, "12abc", {10, 20}},
        {"1.5", 1, "1.5", {}},
        {"1e3", 1, "1e3", {}},
        {"-", 1, "-", {}},
        {"+-3", 1, "+-3", {}},
        {"5\r\n\r\n6\r7", 3, "6\r7", {5}},  // a CR inside a line is not a separator
        {std::string("4\n\0", 3), 2, std::string("\0", 1), {4}},
        {"\xEF\xBC\x91", 1, "\xEF\xBC\x91", {}},  // a full-width digit
        {"\xEF\xBB\xBF\xEF\xBB\xBF" "1", 1, "\xEF\xBB\xBF" "1", {}},  // only one BOM is skipped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        calc::OrderText got = parseOrderText(c.text);
        EXPECT_FALSE(got.ok);
        EXPECT_EQ(got.errorLine, c.line);
        EXPECT_EQ(got.errorField, c.field);
        EXPECT_EQ(got.quantities, c.before);
    }
}

TEST(OrderText, PrintableFieldKeepsOneSafeLine) {
    struct Case {
        std::string field;
        size_t maxChars;
        std::string shown;
    };
    const std::vector<Case> cases = {
        {"12abc", 40, "12abc"},
        {"\xE4\xB8\x80" "x", 40, "\xE4\xB8\x80" "x"},
        {"a\x1B[2Jb", 40, "a\\x1B[2Jb"},
        {"\r\n\x7F", 40, "\\x0D\\x0A\\x7F"},
        {"\xC2\x9B" "1", 40, "\\xC2\\x9B1"},  // C1 control in UTF-8
        {"\xFF\xE4\xB8", 40, "\\xFF\\xE4\\xB8"},  // not UTF-8, and a cut sequence
        {"a\\x41", 40, "a\\x5Cx41"},
        {"abcdef", 3, "abc..."},
        {"abc", 3, "abc"},
    };
    for (const Case& c : cases) EXPECT_EQ(calc::printableField(c.field, c.maxChars), c.shown);
}

}  // namespace
