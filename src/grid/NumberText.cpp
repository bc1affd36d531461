// Number rules of the grid's cells, on top of the runtime's number rendering.
#include "grid/NumberText.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "runtime/Numbers.h"
#include "runtime/Text.h"

namespace grid {

double numericValue(std::string_view gbk) { return rt::parseNumber(gbk); }

std::string_view withoutLeadingBlanks(std::string_view gbk) {
    size_t i = 0;
    while (i < gbk.size() && (gbk[i] == ' ' || (gbk[i] >= '\t' && gbk[i] <= '\r'))) ++i;
    return gbk.substr(i);
}

std::optional<std::string> fixedPoint(double value, int32_t decimals) {
    if (!std::isfinite(value) || decimals < 0 || decimals > 9) return std::nullopt;
    // The largest double has 309 integer digits.
    char buffer[340];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (ec != std::errc()) return std::nullopt;
    std::string text(buffer, end);
    // -0.4 with no decimals would read "-0": a zero has no sign.
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

std::optional<std::string> textOfValue(const rt::TaggedArg& value) {
    switch (value.tag) {
        case rt::tag::Text: return std::string(rt::textView(value.pointer<const char>()));
        case rt::tag::Byte: return rt::formatInt(static_cast<uint8_t>(value.low));
        case rt::tag::Short: return rt::formatInt(static_cast<int16_t>(value.low));
        case rt::tag::Int: return rt::formatInt(value.asInt());
        case rt::tag::Long: return rt::formatInt(value.words().asLong());
        case rt::tag::Float: return rt::formatFloat(value.words().asFloat());
        case rt::tag::Double: return rt::formatDouble(value.asDouble());
        default: return std::nullopt;
    }
}

}  // namespace grid
