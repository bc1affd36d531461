// Numeric rules and text search shared by the core commands and the calculation.
#include "runtime/Numbers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <system_error>

namespace rt {
namespace {

// Character classes of the C locale. The <cctype> functions follow the process
// locale, which the window system sets, and may then accept bytes above 0x7F.
constexpr bool isAsciiSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
constexpr bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
constexpr unsigned char asciiLower(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

}  // namespace

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
        double y = a * e;
        // More places than the value can carry: scaling overflows, and the
        // value is already as exact as it gets.
        if (!std::isfinite(y)) return x;
        r = half(y) / e;
    } else if (places == 0) {
        r = half(a);
    } else {
        double e = std::pow(10.0, -static_cast<double>(places));
        // A power of ten beyond the double range: every finite value rounds to 0.
        if (!std::isfinite(e)) return negative ? -0.0 : 0.0;
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

int32_t findText(std::string_view haystack, std::string_view needle, int32_t start, bool ignoreCase) {
    const size_t len = haystack.size();
    const size_t k = needle.size();
    // 64-bit, so that the lowest start position cannot overflow.
    const int64_t from = int64_t(start) - 1;
    const size_t s = from > 0 ? static_cast<size_t>(from) : 0;
    if (s > 0 && s >= len) return -1;
    if (k == 0) return s < len ? 1 : -1;
    auto same = [ignoreCase](unsigned char a, unsigned char b) {
        return a == b || (ignoreCase && asciiLower(a) == asciiLower(b));
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
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        if (i + 1 >= gbk.size()) break;  // a lead byte without its second byte ends the text
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
    auto digitAt = [&](size_t i) { return i < text.size() && isAsciiDigit(text[i]); };
    size_t i = 0;
    while (i < text.size() && isAsciiSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // The decimal prefix: digits, an optional fraction, an exponent only when
    // digits follow it. `magnitude` tracks the decimal exponent of the leading
    // significant digit, to tell overflow from underflow below.
    size_t begin = i;
    int64_t magnitude = 0;
    bool significant = false;
    for (; digitAt(i); ++i) {
        significant = significant || text[i] != '0';
        if (significant) ++magnitude;
    }
    bool digits = i > begin;
    if (i < text.size() && text[i] == '.') {
        size_t f = ++i;
        for (; digitAt(i); ++i) {
            if (!significant && text[i] == '0') --magnitude;
            significant = significant || text[i] != '0';
        }
        digits = digits || i > f;
    }
    if (!digits) return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t e = i + 1;
        bool negativeExponent = false;
        if (e < text.size() && (text[e] == '+' || text[e] == '-')) negativeExponent = text[e++] == '-';
        if (digitAt(e)) {
            int64_t exponent = 0;
            for (i = e; digitAt(i); ++i) exponent = exponent < 100000 ? exponent * 10 + (text[i] - '0') : exponent;
            magnitude += negativeExponent ? -exponent : exponent;
        }
    }
    double value = 0;
    const char* first = text.data() + begin;
    auto [end, ec] = std::from_chars(first, text.data() + i, value);
    if (ec == std::errc::result_out_of_range) value = magnitude > 0 ? HUGE_VAL : 0.0;
    else if (ec != std::errc()) value = 0;
    return negative ? -value : value;
}

namespace {

// The leading integer of a text (after toHalfWidth): leading blanks, an
// optional sign, then digits; whatever follows is ignored.
struct LeadingInteger {
    bool negative = false;
    uint32_t wrapped = 0;    // the digits modulo 2^32
    uint64_t saturated = 0;  // the digits, held at the largest int64 once beyond it
};

LeadingInteger scanLeadingInteger(std::string_view gbk) {
    constexpr uint64_t kMost = uint64_t(INT64_MAX);
    std::string text = toHalfWidth(gbk);
    LeadingInteger n;
    size_t i = 0;
    while (i < text.size() && isAsciiSpace(text[i])) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) n.negative = text[i++] == '-';
    for (; i < text.size() && isAsciiDigit(text[i]); ++i) {
        auto digit = static_cast<uint32_t>(text[i] - '0');
        n.wrapped = n.wrapped * 10u + digit;
        n.saturated = n.saturated > (kMost - digit) / 10 ? kMost : n.saturated * 10 + digit;
    }
    return n;
}

}  // namespace

int32_t parseInt(std::string_view gbk) {
    LeadingInteger n = scanLeadingInteger(gbk);
    return static_cast<int32_t>(n.negative ? 0u - n.wrapped : n.wrapped);
}

int64_t parseIntUnwrapped(std::string_view gbk) {
    LeadingInteger n = scanLeadingInteger(gbk);
    auto value = static_cast<int64_t>(n.saturated);
    return n.negative ? -value : value;
}

}  // namespace rt
