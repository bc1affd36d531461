// The command table, the conversion commands (ToNumber, ToInt, ToText) and
// the typed wrappers through which application code calls the core commands.
#include "runtime/Commands.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "runtime/Array.h"
#include "runtime/Numbers.h"
#include "runtime/RuntimeTexts.h"
#include "runtime/Text.h"

namespace rt {
namespace {

// The text a text-tagged value names; any other tag names no text.
std::string_view textOf(const TaggedArg& value) {
    return value.tag == tag::Text ? textView(value.pointer<const char>()) : std::string_view();
}

// Truncation toward zero; the low word of the 64-bit result. Values beyond
// the 64-bit range (and NaN) give 0.
int32_t truncateToInt(double x) {
    double t = std::trunc(x);
    if (!(t > -9.2e18 && t < 9.2e18)) return 0;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(t)));
}

// Gregorian calendar date of a day count from 1970-01-01.
struct CivilDate {
    int64_t year;
    int month;
    int day;
};

CivilDate civilFromDays(int64_t z) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

// Raw element bytes of a numeric array, taken as text up to the first zero.
std::string numericArrayText(uint32_t elementTag, const void* block) {
    if (!block) return {};
    size_t bytes = arrayElementCount(block) * numericElementSize(elementTag);
    std::string_view raw(static_cast<const char*>(arrayElements(block)), bytes);
    return std::string(raw.substr(0, raw.find('\0')));
}

TaggedArg call(CoreCommand c, std::initializer_list<TaggedArg> args) {
    std::vector<TaggedArg> list(args);
    return CallCommand(commandRoutine(c), static_cast<int32_t>(list.size()), list.data());
}

TaggedArg optionalInt(std::optional<int32_t> v) { return v ? TaggedArg::ofInt(*v) : TaggedArg{}; }

TaggedArg unitObject(WindowId windowId, ControlId controlId) {
    // The library type only marks the argument as an object; commands resolve it by the ids.
    return TaggedArg::ofUnit(windowId, controlId, tag::WindowUnit);
}

}  // namespace

CommandRoutine commandRoutine(CoreCommand c) {
    auto i = static_cast<size_t>(c);
    return i < kCoreCommands.size() ? kCoreCommands[i] : nullptr;
}

std::string dateTimeText(double days) {
    // 100-01-01 and the last instant of 9999-12-31, counted from 1899-12-30.
    if (!(days >= -657434.0 && days < 2958466.0)) return {};
    // A negative count keeps its time of day as a positive fraction: -1.25 is
    // 1899-12-29 06:00.
    double whole = std::trunc(days);
    auto day = static_cast<int64_t>(whole);
    auto seconds = static_cast<int64_t>(std::llround(std::fabs(days - whole) * 86400.0));
    if (seconds >= 86400) {
        seconds -= 86400;
        ++day;
    }
    CivilDate date = civilFromDays(day - 25569);  // 1970-01-01 is day 25569
    int hour = static_cast<int>(seconds / 3600), minute = static_cast<int>(seconds / 60 % 60),
        second = static_cast<int>(seconds % 60);
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, texts::DateYmd, static_cast<int>(date.year), date.month, date.day);
    std::string out = buffer;
    buffer[0] = '\0';
    if (second != 0) std::snprintf(buffer, sizeof buffer, texts::DateHms, hour, minute, second);
    else if (minute != 0) std::snprintf(buffer, sizeof buffer, texts::DateHm, hour, minute);
    else if (hour != 0) std::snprintf(buffer, sizeof buffer, texts::DateH, hour);
    return out + buffer;
}

std::string valueText(const TaggedArg& value) {
    switch (value.tag) {
        case tag::Byte: return formatInt(static_cast<uint8_t>(value.low));
        case tag::Short: return formatInt(static_cast<int16_t>(value.low));
        case tag::Int: return formatInt(value.asInt());
        case tag::Long: return formatInt(value.words().asLong());
        case tag::Float: return formatFloat(value.words().asFloat());
        case tag::Double: return formatDouble(value.asDouble());
        case tag::Text: return std::string(textOf(value));
        case tag::Bool: return value.low != 0 ? texts::True : texts::False;
        case tag::DateTime: return dateTimeText(value.asDouble());
        case tag::ByteSet: {
            std::string_view bytes = byteSetView(value.pointer<const void>());
            return std::string(bytes.substr(0, bytes.find('\0')));
        }
        default:
            // All elements of a numeric array, whatever its dimension count.
            if (isArrayTag(value.tag) && isNumericTag(elementTag(value.tag)))
                return numericArrayText(elementTag(value.tag), value.pointer<const void>());
            return {};
    }
}

namespace command {

void ToNumber(TaggedArg* result, int32_t count, TaggedArg* args) {
    TaggedArg v = argumentAt(count, args, 0);
    double n = 0;
    switch (v.tag) {
        case tag::Bool: case tag::Int: n = v.asInt(); break;
        case tag::Byte: n = static_cast<uint8_t>(v.low); break;
        case tag::Short: n = static_cast<int16_t>(v.low); break;
        case tag::Long: n = static_cast<double>(v.words().asLong()); break;
        case tag::Float: n = v.words().asFloat(); break;
        case tag::Double: n = v.asDouble(); break;
        case tag::SubPointer: n = static_cast<double>(v.words().bits()); break;
        case tag::Text: n = parseNumber(textOf(v)); break;
        default: break;
    }
    *result = TaggedArg::ofDouble(n);
}

void ToInt(TaggedArg* result, int32_t count, TaggedArg* args) {
    TaggedArg v = argumentAt(count, args, 0);
    int32_t n = 0;
    switch (v.tag) {
        case tag::Bool: case tag::Int: case tag::Long: case tag::SubPointer: n = v.asInt(); break;
        case tag::Byte: n = static_cast<uint8_t>(v.low); break;
        case tag::Short: n = static_cast<int16_t>(v.low); break;
        case tag::Float: n = truncateToInt(v.words().asFloat()); break;
        case tag::Double: n = truncateToInt(v.asDouble()); break;
        case tag::Text: n = parseInt(textOf(v)); break;
        default: break;
    }
    *result = TaggedArg::ofInt(n);
}

void ToText(TaggedArg* result, int32_t count, TaggedArg* args) {
    *result = TaggedArg::ofText(makeText(valueText(argumentAt(count, args, 0))));
}

}  // namespace command

namespace cmd {

int32_t floorToInt(double x) { return call(CoreCommand::FloorToInt, {TaggedArg::ofDouble(x)}).asInt(); }

double roundTo(double x, std::optional<int32_t> places) {
    return call(CoreCommand::RoundTo, {TaggedArg::ofDouble(x), optionalInt(places)}).asDouble();
}

void setRandomSeed(std::optional<int32_t> seed) { call(CoreCommand::SetRandomSeed, {optionalInt(seed)}); }

int32_t randomInt(std::optional<int32_t> minimum, std::optional<int32_t> maximum) {
    return call(CoreCommand::RandomInt, {optionalInt(minimum), optionalInt(maximum)}).asInt();
}

int32_t findText(const char* haystack, const char* needle, std::optional<int32_t> start,
                 std::optional<bool> ignoreCase) {
    return call(CoreCommand::FindText, {TaggedArg::ofText(haystack), TaggedArg::ofText(needle), optionalInt(start),
                                        ignoreCase ? TaggedArg::ofBool(*ignoreCase) : TaggedArg{}})
        .asInt();
}

double toNumber(const TaggedArg& value) { return call(CoreCommand::ToNumber, {value}).asDouble(); }
int32_t toInt(const TaggedArg& value) { return call(CoreCommand::ToInt, {value}).asInt(); }
char* toText(const TaggedArg& value) { return call(CoreCommand::ToText, {value}).pointer<char>(); }

int32_t screenWidth() { return call(CoreCommand::ScreenWidth, {}).asInt(); }
int32_t screenHeight() { return call(CoreCommand::ScreenHeight, {}).asInt(); }

int32_t showMessage(const TaggedArg& message, int32_t flags, const char* caption, std::optional<TaggedArg> owner) {
    TaggedArg captionArg = caption ? TaggedArg::ofText(caption) : TaggedArg{};
    if (owner) return call(CoreCommand::ShowMessage, {message, TaggedArg::ofInt(flags), captionArg, *owner}).asInt();
    return call(CoreCommand::ShowMessage, {message, TaggedArg::ofInt(flags), captionArg}).asInt();
}

void processEvents() { call(CoreCommand::ProcessEvents, {}); }

int32_t clientWidth(WindowId windowId, ControlId controlId) {
    return call(CoreCommand::ClientWidth, {unitObject(windowId, controlId)}).asInt();
}

int32_t clientHeight(WindowId windowId, ControlId controlId) {
    return call(CoreCommand::ClientHeight, {unitObject(windowId, controlId)}).asInt();
}

void appendText(WindowId windowId, ControlId controlId, std::initializer_list<const char*> texts) {
    std::vector<TaggedArg> list{unitObject(windowId, controlId)};
    for (const char* t : texts) list.push_back(TaggedArg::ofText(t));
    CallMethod(commandRoutine(CoreCommand::AppendText), static_cast<int32_t>(list.size()), list.data());
}

void delayWithEvents(int32_t milliseconds) { call(CoreCommand::DelayWithEvents, {TaggedArg::ofInt(milliseconds)}); }

bool startThread(ThreadRoutine routine, std::optional<int32_t> parameter, int32_t* handle) {
    TaggedArg list[3];
    Words address;
    address.setBits(reinterpret_cast<uintptr_t>(routine));
    list[0].setWords(address);
    list[0].tag = tag::SubPointer;
    list[1] = optionalInt(parameter);
    int32_t count = 2;
    if (handle) {
        // By reference: the variable's address.
        list[2].setWords(Words::ofPointer(handle));
        list[2].tag = tag::Int;
        count = 3;
    }
    return CallMethod(commandRoutine(CoreCommand::StartThread), count, list).low != 0;
}

}  // namespace cmd

}  // namespace rt
