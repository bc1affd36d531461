// The grid's number rules: the numeric value of a cell text, the fixed-point
// rendering of numeric columns, and the text that a value of each type becomes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/Value.h"

namespace grid {

// The value of the text's longest leading decimal number (leading blanks
// skipped), 0 when it has none: "12abc" is 12, "abc" is 0.
double numericValue(std::string_view gbk);

// The text without its leading blanks (spaces, tabs and line breaks).
std::string_view withoutLeadingBlanks(std::string_view gbk);

// printf's "%.<decimals>f" (decimals 0 to 9), independent of the process locale.
// A value that rounds to zero is rendered without a sign. None for infinity
// and NaN, which have no place in a numeric cell.
std::optional<std::string> fixedPoint(double value, int32_t decimals);

// The text that a value of a kind-1 cell write becomes: a text unchanged;
// byte, short and int in decimal; int64 in decimal; float with 6 and double
// with 13 significant digits. None for every other type.
std::optional<std::string> textOfValue(const rt::TaggedArg& value);

}  // namespace grid
