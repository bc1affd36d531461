// The grid's six methods as runtime command routines, and typed calls of them
// for application code. The first argument of every routine is the grid
// object (window id, control id, library type 0x20001); rows and columns are
// 0-based and count the fixed ones. No method raises an error: a refusal is
// the result false (GetCellData: false or an empty byte-set) with the grid
// unchanged. A window or control that is not loaded ends the program with the
// runtime's report.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/Dispatch.h"
#include "runtime/Value.h"
#include "runtime/WindowTable.h"

namespace grid {

// row, column, kind (1 value, 5 check state, 6 picture), value -> bool
void SetCellData(rt::TaggedArg* result, int32_t count, rt::TaggedArg* args);
// row, column -> text, bool or byte-set by the column's type (a new block owned by the caller)
void GetCellData(rt::TaggedArg* result, int32_t count, rt::TaggedArg* args);
// first row, first column, [last row], [last column], alignment (1 left, 2 centre, 3 right) -> bool
void SetCellAlignment(rt::TaggedArg* result, int32_t count, rt::TaggedArg* args);
// first row, first column, [last row], [last column], colour (COLORREF) -> bool
void SetCellBackColor(rt::TaggedArg* result, int32_t count, rt::TaggedArg* args);
// column, type (1 to 8) -> bool
void SetColumnType(rt::TaggedArg* result, int32_t count, rt::TaggedArg* args);
// column, width in pixels -> bool
void SetColumnWidth(rt::TaggedArg* result, int32_t count, rt::TaggedArg* args);

// The same through rt::CallMethod, for the grid `control` of `window`.
namespace call {

bool setCellData(rt::WindowId window, rt::ControlId control, int32_t row, int32_t column, int32_t kind,
                 const rt::TaggedArg& value);
// Kind 1 with a text.
bool setCellText(rt::WindowId window, rt::ControlId control, int32_t row, int32_t column, std::string_view gbk);
// The result as it comes; a text or byte-set block in it belongs to the caller.
rt::TaggedArg getCellData(rt::WindowId window, rt::ControlId control, int32_t row, int32_t column);
// The text of a text result (the block is freed); empty for a bool or byte-set result.
std::string getCellText(rt::WindowId window, rt::ControlId control, int32_t row, int32_t column);
bool setCellAlignment(rt::WindowId window, rt::ControlId control, int32_t firstRow, int32_t firstColumn,
                      std::optional<int32_t> lastRow, std::optional<int32_t> lastColumn, int32_t alignment);
bool setCellBackColor(rt::WindowId window, rt::ControlId control, int32_t firstRow, int32_t firstColumn,
                      std::optional<int32_t> lastRow, std::optional<int32_t> lastColumn, uint32_t colorRef);
bool setColumnType(rt::WindowId window, rt::ControlId control, int32_t column, int32_t type);
bool setColumnWidth(rt::WindowId window, rt::ControlId control, int32_t column, int32_t width);

}  // namespace call
}  // namespace grid
