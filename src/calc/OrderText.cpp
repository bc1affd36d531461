// Reading an order from text: integer fields separated by lines, commas, tabs, blanks or semicolons.
#include "calc/OrderText.h"

#include <cstdio>

#include "calc/PlateLayout.h"

namespace calc {

namespace {

bool isSeparator(char c) { return c == ',' || c == ';' || c == '\t' || c == ' '; }

enum class FieldKind { Valid, OutOfRange, NotInteger };

FieldKind classify(std::string_view field, int32_t& value) {
    size_t i = 0;
    bool negative = false;
    if (field[0] == '+' || field[0] == '-') {
        negative = field[0] == '-';
        i = 1;
    }
    if (i == field.size()) return FieldKind::NotInteger;
    for (size_t j = i; j < field.size(); ++j)
        if (field[j] < '0' || field[j] > '9') return FieldKind::NotInteger;
    // Leading zeros do not count; more than eight significant digits are out
    // of range whatever they say, so no conversion can overflow.
    while (i + 1 < field.size() && field[i] == '0') ++i;
    if (field.size() - i > 8) return FieldKind::OutOfRange;
    int32_t v = 0;
    for (; i < field.size(); ++i) v = v * 10 + (field[i] - '0');
    if (negative || !isValidQuantity(v)) return FieldKind::OutOfRange;
    value = v;
    return FieldKind::Valid;
}

// Length of the well-formed UTF-8 sequence at the start of s, or 0.
size_t utf8Length(std::string_view s) {
    auto b = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char c = b(0);
    size_t len = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (len == 0 || len > s.size()) return 0;
    for (size_t i = 1; i < len; ++i)
        if ((b(i) & 0xC0) != 0x80) return 0;
    // Overlong forms, surrogates and code points past U+10FFFF.
    if (c == 0xE0 && b(1) < 0xA0) return 0;
    if (c == 0xED && b(1) > 0x9F) return 0;
    if (c == 0xF0 && b(1) < 0x90) return 0;
    if (c == 0xF4 && b(1) > 0x8F) return 0;
    return len;
}

}  // namespace

OrderText parseOrderText(std::string_view text) {
    OrderText result;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    int64_t line = 1;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view row = text.substr(pos, end - pos);
        if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
        size_t i = 0;
        while (i < row.size()) {
            if (isSeparator(row[i])) {
                ++i;
                continue;
            }
            size_t start = i;
            while (i < row.size() && !isSeparator(row[i])) ++i;
            std::string_view field = row.substr(start, i - start);
            int32_t value = 0;
            switch (classify(field, value)) {
                case FieldKind::Valid: result.quantities.push_back(value); break;
                case FieldKind::OutOfRange: ++result.dropped; break;
                case FieldKind::NotInteger:
                    result.ok = false;
                    result.errorLine = line;
                    result.errorField = std::string(field);
                    return result;
            }
        }
        pos = end + 1;
        ++line;
    }
    return result;
}

std::string printableField(std::string_view field, size_t maxChars) {
    std::string out;
    size_t chars = 0;
    size_t i = 0;
    while (i < field.size()) {
        if (chars == maxChars) {
            out += "...";
            break;
        }
        size_t len = utf8Length(field.substr(i));
        auto c = static_cast<unsigned char>(field[i]);
        // C0 and C1 controls could steer the terminal; the backslash is
        // escaped so that the escapes stay unambiguous.
        bool control = c < 0x20 || c == 0x7F || c == '\\' ||
                       (c == 0xC2 && len == 2 && static_cast<unsigned char>(field[i + 1]) < 0xA0);
        if (len == 0 || control) {
            if (len == 0) len = 1;
            for (size_t k = 0; k < len; ++k) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(field[i + k]));
                out += hex;
            }
        } else {
            out.append(field.substr(i, len));
        }
        i += len;
        ++chars;
    }
    return out;
}

}  // namespace calc
