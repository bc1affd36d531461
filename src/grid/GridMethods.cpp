// The method routines: argument checks in one place, then the grid's operations.
#include "grid/GridMethods.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "grid/GridUnit.h"
#include "runtime/Heap.h"
#include "runtime/Notify.h"
#include "runtime/Text.h"

namespace grid {
namespace {

// The grid named by the object argument. A missing control ends the program
// inside RuntimeNotify; a control that is not a grid gives null.
CGridCtrl* gridArgument(int32_t count, const rt::TaggedArg* args) {
    rt::TaggedArg object = rt::argumentAt(count, args, 0);
    auto* control = reinterpret_cast<rt::LiveControl*>(
        rt::RuntimeNotify(rt::NotifyCode::RequireLiveControl, object.low, object.high));
    return gridOf(control);
}

// An integer argument of any numeric type (fractions cut toward zero, values
// beyond 32 bits clamped); none for an omitted or non-numeric argument.
std::optional<int32_t> intArgument(int32_t count, const rt::TaggedArg* args, int32_t i) {
    rt::TaggedArg a = rt::argumentAt(count, args, i);
    switch (a.tag) {
        case rt::tag::Int: return a.asInt();
        case rt::tag::Byte: return static_cast<int32_t>(static_cast<uint8_t>(a.low));
        case rt::tag::Short: return static_cast<int32_t>(static_cast<int16_t>(a.low));
        case rt::tag::Long:
        case rt::tag::Float:
        case rt::tag::Double: {
            double d = a.tag == rt::tag::Long    ? static_cast<double>(a.words().asLong())
                       : a.tag == rt::tag::Float ? static_cast<double>(a.words().asFloat())
                                                 : a.asDouble();
            if (std::isnan(d)) return std::nullopt;
            return static_cast<int32_t>(std::clamp(std::trunc(d), double(INT32_MIN), double(INT32_MAX)));
        }
        default: return std::nullopt;
    }
}

// An optional integer argument: omitted gives `omitted`, anything unusable none.
struct OptionalInt {
    bool ok = true;
    std::optional<int32_t> value;
};
OptionalInt optionalIntArgument(int32_t count, const rt::TaggedArg* args, int32_t i) {
    if (rt::argumentAt(count, args, i).omitted()) return {};
    std::optional<int32_t> v = intArgument(count, args, i);
    return {v.has_value(), v};
}

void answer(rt::TaggedArg* result, bool b) { *result = rt::TaggedArg::ofBool(b); }

// The shared shape of SetCellAlignment and SetCellBackColor.
template <typename Apply>
void rangeMethod(rt::TaggedArg* result, int32_t count, rt::TaggedArg* args, Apply apply) {
    CGridCtrl* grid = gridArgument(count, args);
    auto r1 = intArgument(count, args, 1), c1 = intArgument(count, args, 2), value = intArgument(count, args, 5);
    OptionalInt r2 = optionalIntArgument(count, args, 3), c2 = optionalIntArgument(count, args, 4);
    answer(result, grid && r1 && c1 && value && r2.ok && c2.ok && apply(*grid, *r1, *c1, r2.value, c2.value, *value));
}

}  // namespace

void SetCellData(rt::TaggedArg* result, int32_t count, rt::TaggedArg* args) {
    CGridCtrl* grid = gridArgument(count, args);
    auto row = intArgument(count, args, 1), column = intArgument(count, args, 2), kind = intArgument(count, args, 3);
    answer(result, grid && row && column && kind &&
                       grid->setCellData(*row, *column, *kind, rt::argumentAt(count, args, 4)));
}

void GetCellData(rt::TaggedArg* result, int32_t count, rt::TaggedArg* args) {
    CGridCtrl* grid = gridArgument(count, args);
    auto row = intArgument(count, args, 1), column = intArgument(count, args, 2);
    if (!grid || !row || !column) return answer(result, false);
    CellData data = grid->getCellData(*row, *column);
    switch (data.kind) {
        case CellData::Kind::Bool: return answer(result, data.flag);
        case CellData::Kind::Text: *result = rt::TaggedArg::ofText(rt::makeText(data.bytes)); return;
        case CellData::Kind::Bytes: *result = rt::TaggedArg::ofByteSet(rt::makeByteSet(data.bytes)); return;
    }
}

void SetCellAlignment(rt::TaggedArg* result, int32_t count, rt::TaggedArg* args) {
    rangeMethod(result, count, args, [](CGridCtrl& g, int32_t r1, int32_t c1, auto r2, auto c2, int32_t alignment) {
        return g.setCellAlignment(r1, c1, r2, c2, alignment);
    });
}

void SetCellBackColor(rt::TaggedArg* result, int32_t count, rt::TaggedArg* args) {
    rangeMethod(result, count, args, [](CGridCtrl& g, int32_t r1, int32_t c1, auto r2, auto c2, int32_t colour) {
        return g.setCellBackColor(r1, c1, r2, c2, static_cast<uint32_t>(colour));
    });
}

void SetColumnType(rt::TaggedArg* result, int32_t count, rt::TaggedArg* args) {
    CGridCtrl* grid = gridArgument(count, args);
    auto column = intArgument(count, args, 1), type = intArgument(count, args, 2);
    answer(result, grid && column && type && grid->setColumnType(*column, *type));
}

void SetColumnWidth(rt::TaggedArg* result, int32_t count, rt::TaggedArg* args) {
    CGridCtrl* grid = gridArgument(count, args);
    auto column = intArgument(count, args, 1), width = intArgument(count, args, 2);
    answer(result, grid && column && width && grid->setColumnWidth(*column, *width));
}

namespace call {
namespace {

rt::TaggedArg object(rt::WindowId window, rt::ControlId control) {
    return rt::TaggedArg::ofUnit(window, control, rt::tag::GridUnit);
}

rt::TaggedArg optionalInt(std::optional<int32_t> v) { return v ? rt::TaggedArg::ofInt(*v) : rt::TaggedArg{}; }

bool boolOf(const rt::TaggedArg& r) { return r.tag == rt::tag::Bool && r.low != 0; }

}  // namespace

bool setCellData(rt::WindowId window, rt::ControlId control, int32_t row, int32_t column, int32_t kind,
                 const rt::TaggedArg& value) {
    rt::TaggedArg args[] = {object(window, control), rt::TaggedArg::ofInt(row), rt::TaggedArg::ofInt(column),
                            rt::TaggedArg::ofInt(kind), value};
    return boolOf(rt::CallMethod(SetCellData, 5, args));
}

bool setCellText(rt::WindowId window, rt::ControlId control, int32_t row, int32_t column, std::string_view gbk) {
    std::string text(gbk);  // zero-terminated for the text argument
    return setCellData(window, control, row, column, datakind::Value, rt::TaggedArg::ofText(text.c_str()));
}

rt::TaggedArg getCellData(rt::WindowId window, rt::ControlId control, int32_t row, int32_t column) {
    rt::TaggedArg args[] = {object(window, control), rt::TaggedArg::ofInt(row), rt::TaggedArg::ofInt(column)};
    return rt::CallMethod(GetCellData, 3, args);
}

std::string getCellText(rt::WindowId window, rt::ControlId control, int32_t row, int32_t column) {
    rt::TaggedArg r = getCellData(window, control, row, column);
    std::string text;
    if (r.tag == rt::tag::Text) text = rt::textView(r.pointer<const char>());
    if (r.tag == rt::tag::Text || r.tag == rt::tag::ByteSet) rt::FreeBlock(r.pointer<void>());
    return text;
}

bool setCellAlignment(rt::WindowId window, rt::ControlId control, int32_t firstRow, int32_t firstColumn,
                      std::optional<int32_t> lastRow, std::optional<int32_t> lastColumn, int32_t alignment) {
    rt::TaggedArg args[] = {object(window, control), rt::TaggedArg::ofInt(firstRow), rt::TaggedArg::ofInt(firstColumn),
                            optionalInt(lastRow), optionalInt(lastColumn), rt::TaggedArg::ofInt(alignment)};
    return boolOf(rt::CallMethod(SetCellAlignment, 6, args));
}

bool setCellBackColor(rt::WindowId window, rt::ControlId control, int32_t firstRow, int32_t firstColumn,
                      std::optional<int32_t> lastRow, std::optional<int32_t> lastColumn, uint32_t colorRef) {
    rt::TaggedArg args[] = {object(window, control), rt::TaggedArg::ofInt(firstRow), rt::TaggedArg::ofInt(firstColumn),
                            optionalInt(lastRow), optionalInt(lastColumn),
                            rt::TaggedArg::ofInt(static_cast<int32_t>(colorRef))};
    return boolOf(rt::CallMethod(SetCellBackColor, 6, args));
}

bool setColumnType(rt::WindowId window, rt::ControlId control, int32_t column, int32_t type) {
    rt::TaggedArg args[] = {object(window, control), rt::TaggedArg::ofInt(column), rt::TaggedArg::ofInt(type)};
    return boolOf(rt::CallMethod(SetColumnType, 3, args));
}

bool setColumnWidth(rt::WindowId window, rt::ControlId control, int32_t column, int32_t width) {
    rt::TaggedArg args[] = {object(window, control), rt::TaggedArg::ofInt(column), rt::TaggedArg::ofInt(width)};
    return boolOf(rt::CallMethod(SetColumnWidth, 3, args));
}

}  // namespace call
}  // namespace grid
