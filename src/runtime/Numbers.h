// The runtime's numeric rules: the snap below integers, rounding with the
// small nudge, number rendering, and the GBK-aware text search.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rt {

// Floor after the snap: a fraction above 0.999999999999 in magnitude takes the
// value to the next integer away from zero, so 2.9999999999995 gives 3 and
// -2.9999999999995 gives -3.
int32_t floorToInt(double x);

// Rounds to `places` decimal places (negative: tens, hundreds...), halves away
// from zero, with 1e-12 added after scaling.
double roundTo(double x, int32_t places = 0);

// Renderings of numbers for the user.
std::string formatDouble(double x);  // "%.13g"
std::string formatFloat(float x);    // six significant digits, "%.6g"
std::string formatInt(int64_t x);

// Byte position (1-based) of needle in haystack, or -1. `start` is a 1-based
// start position (1 or below: from the beginning). Steps over two-byte GBK
// characters as a whole; ignoring case folds ASCII letters only.
int32_t findText(std::string_view haystack, std::string_view needle, int32_t start = 0, bool ignoreCase = false);

// Full-width GBK digits, letters and signs to their ASCII forms. A lead byte
// without its second byte ends the text.
std::string toHalfWidth(std::string_view gbk);

// Leading-number parsing of a text (after toHalfWidth), never failing.
double parseNumber(std::string_view gbk);
// The leading integer; digits beyond 32 bits wrap, as the ToInt command's do.
int32_t parseInt(std::string_view gbk);
// The same leading integer without the wrap: a magnitude beyond 64 bits
// reads as the largest one, so that no long number turns into a small one.
int64_t parseIntUnwrapped(std::string_view gbk);

}  // namespace rt
