// Numeric rules and text search shared by the core commands and the calculation.
#include "runtime/Numbers.h"

#include <charconv>
#include <cctype>
#include <system_error>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace rt {

int32_t floorToInt(double x) {
    double i;
    double f = std::modf(x, &i);
    if (std::fabs(f) > 0.999999999999) x = x >= 0 ? i + 1 : i - 1;
    double fl = std::floor(x);
    // Conversion truncates toward zero; out-of-range values keep the low word of the 64-bit result.
    if (!(fl >= -9.2e18 && fl <= 9.2e18)) return INT32_MIN;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(fl)));
}

double roundTo(double x, int32_t places) {
    if (x == 0) return x;
    bool negative = x < 0;
    double a = std::fabs(x);
    auto half = [](double y) {
        double n;
        double g = std::modf(y + 1e-12, &n);
        return g >= 0.5 ? n + 1 : n;
    };
    double r;
    if (places > 0) {
        double e = std::pow(10.0, places);
        r = half(a * e) / e;
    } else if (places == 0) {
        r = half(a);
    } else {
        double e = std::pow(10.0, -places);
        r = half(a / e) * e;
    }
    return negative ? -r : r;
}

namespace {

// printf's "%.Ng", independent of the process locale (the window system sets one).
std::string formatGeneral(double x, int precision) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, precision);
    return ec == std::errc() ? std::string(buffer, end) : std::string();
}

}  // namespace

std::string formatDouble(double x) { return formatGeneral(x, 13); }

std::string formatFloat(float x) {
    // Round to six significant digits first, then render them.
    std::string six = formatGeneral(static_cast<double>(x), 6);
    double rounded = 0;
    std::from_chars(six.data(), six.data() + six.size(), rounded);
    return formatGeneral(rounded, 6);
}

std::string formatInt(int64_t x) { return std::to_string(x); }

int32_t findText(std::string_view haystack, std::string_view needle, int32_t start, bool ignoreCase, bool startGiven) {
    const size_t len = haystack.size();
    const size_t k = needle.size();
    size_t s = 0;
    if (startGiven) s = start - 1 > 0 ? static_cast<size_t>(start - 1) : 0;
    if (s > 0 && s >= len) return -1;
    if (k == 0) return s < len ? 1 : -1;
    auto same = [ignoreCase](unsigned char a, unsigned char b) {
        if (a == b) return true;
        return ignoreCase && a < 0x80 && b < 0x80 && std::tolower(a) == std::tolower(b);
    };
    size_t pos = s;
    while (pos + k <= len) {
        size_t j = 0;
        while (j < k && same(static_cast<unsigned char>(haystack[pos + j]), static_cast<unsigned char>(needle[j]))) ++j;
        if (j == k) return static_cast<int32_t>(pos + 1);
        if (static_cast<unsigned char>(haystack[pos]) & 0x80) {
            if (pos + 1 >= len || haystack[pos + 1] == '\0') return -1;  // lead byte before the end
            pos += 2;
        } else {
            pos += 1;
        }
    }
    return -1;
}

std::string toHalfWidth(std::string_view gbk) {
    std::string out;
    out.reserve(gbk.size());
    for (size_t i = 0; i < gbk.size(); ++i) {
        auto c = static_cast<unsigned char>(gbk[i]);
        if (c < 0x80 || i + 1 >= gbk.size()) {
            out += static_cast<char>(c);
            continue;
        }
        auto d = static_cast<unsigned char>(gbk[i + 1]);
        if (c == 0xA3 && d >= 0xA1 && d <= 0xFE) out += static_cast<char>(d & 0x7F);
        else if (c == 0xA1 && d == 0xA1) out += ' ';
        else if (c == 0xA1 && d == 0xAB) out += '~';
        else if (c == 0xA1 && (d == 0xEE || d == 0xEF)) out += '*';
        else { out += static_cast<char>(c); out += static_cast<char>(d); }
        ++i;
    }
    return out;
}

double parseNumber(std::string_view gbk) {
    std::string text = toHalfWidth(gbk);
    auto digitAt = [&](size_t i) { return i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); };
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // The decimal prefix: digits, an optional fraction, an exponent only when digits follow it.
    size_t begin = i;
    while (digitAt(i)) ++i;
    bool digits = i > begin;
    if (i < text.size() && text[i] == '.') {
        size_t f = ++i;
        while (digitAt(i)) ++i;
        digits = digits || i > f;
    }
    if (!digits) return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t e = i + 1;
        if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
        if (digitAt(e)) {
            i = e;
            while (digitAt(i)) ++i;
        }
    }
    double value = 0;
    std::string prefix = text.substr(begin, i - begin);
    if (prefix.front() == '.') prefix.insert(prefix.begin(), '0');
    if (prefix.back() == '.') prefix.pop_back();
    auto [end, ec] = std::from_chars(prefix.data(), prefix.data() + prefix.size(), value);
    // Out of range: a negative exponent underflowed to 0, anything else overflowed to infinity.
    if (ec == std::errc::result_out_of_range) value = prefix.find("e-") != std::string::npos || prefix.find("E-") != std::string::npos ? 0.0 : HUGE_VAL;
    return negative ? -value : value;
}

int32_t parseInt(std::string_view gbk) {
    std::string text = toHalfWidth(gbk);
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    uint32_t value = 0;  // overflow wraps
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
        value = value * 10u + static_cast<uint32_t>(text[i++] - '0');
    return static_cast<int32_t>(negative ? 0u - value : value);
}

}  // namespace rt
