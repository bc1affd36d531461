// Setting and reading cell data, and the range operations on alignment and
// background: the operations behind the grid's data methods.
#include <algorithm>

#include "grid/GridCtrl.h"
#include "grid/NumberText.h"
#include "grid/PictureCodec.h"
#include "runtime/Text.h"

namespace grid {
std::optional<std::string> CGridCtrl::numericRendering(int32_t row, int32_t column, std::string text) const {
    const ColumnTypeRecord* record = columnTypeRecord(column);
    // Fixed rows hold headers; the fixed-column count plays no part here.
    if (row < fixedRows_ || !record || !coltype::isNumeric(record->type)) return text;
    if (record->decimals < 0 || record->decimals > kMaxDecimals) return text;
    // An empty text clears the cell: an empty quantity is no quantity, not a 0.
    if (text.empty()) return text;
    std::optional<std::string> rendered = fixedPoint(numericValue(text), record->decimals);
    if (!rendered) return std::nullopt;
    if (numericValue(*rendered) == 0 && settings_[forms::gridprop::ShowZero] == 0) rendered->clear();
    return rendered;
}

std::optional<std::string> CGridCtrl::cellTextForValue(int32_t row, int32_t column, const rt::TaggedArg& value) const {
    if (!isValidCell(row, column)) return std::nullopt;
    const int32_t type = columnType(column);
    const bool dataCell = isDataCell(row, column);
    std::optional<std::string> text = textOfValue(value);  // none for a type that has no text
    if (!text) return std::nullopt;
    if (dataCell && (type == coltype::Picture || type == coltype::CheckBox)) return std::nullopt;
    if (value.tag == rt::tag::Text && dataCell && coltype::isNumeric(type)) {
        // A numeric data cell takes an empty text, "0", or a text worth something.
        std::string_view trimmed = withoutLeadingBlanks(*text);
        if (!trimmed.empty() && trimmed != "0" && numericValue(trimmed) == 0) return std::nullopt;
        text = std::string(trimmed);
    }
    return numericRendering(row, column, std::move(*text));
}

bool CGridCtrl::setCellData(int32_t row, int32_t column, int32_t kind, const rt::TaggedArg& value) {
    CGridCellBase* c = cell(row, column);
    if (!c) return false;
    switch (kind) {
        case datakind::Value: {
            std::optional<std::string> text = cellTextForValue(row, column, value);
            if (!text) return false;
            // The format stays as it is.
            c->setText(*text);
            break;
        }
        case datakind::CheckState:
            if (value.tag != rt::tag::Bool || columnType(column) != coltype::CheckBox) return false;
            c->setChecked(value.low != 0);
            break;
        case datakind::Picture: {
            if (columnType(column) != coltype::Picture) return false;
            QImage picture;
            if (value.tag == rt::tag::ByteSet) picture = loadPicture(rt::byteSetView(value.pointer<const void>()));
            else if (value.tag == rt::tag::Text) picture = loadPictureFile(rt::textView(value.pointer<const char>()));
            if (picture.isNull()) return false;
            c->setPicture(std::move(picture));
            break;
        }
        default: return false;
    }
    update(cellRect(row, column));
    return true;
}

CellData CGridCtrl::getCellData(int32_t row, int32_t column) const {
    const int32_t type = columnType(column);
    const CGridCellBase* c = cell(row, column);
    if (!c) return type == coltype::Picture ? CellData::ofBytes({}) : CellData::ofBool(false);
    if (row < fixedRows_) return CellData::ofText(c->text());
    if (type == coltype::CheckBox) return CellData::ofBool(c->checked());
    if (type == coltype::Picture) return CellData::ofBytes(savePicture(c->picture()));
    // The stored text: no currency sign, no date reformatting.
    return CellData::ofText(c->text());
}

namespace {

// The rectangle of a range call: omitted ends are the first cell, ends past
// the grid are lowered to its last row or column; none when the range is not
// a rectangle of cells.
std::optional<CellRange> rangeOf(const CGridCtrl& grid, int32_t r1, int32_t c1, std::optional<int32_t> r2Given,
                                 std::optional<int32_t> c2Given) {
    int32_t r2 = std::min(r2Given.value_or(r1), grid.rowCount() - 1);
    int32_t c2 = std::min(c2Given.value_or(c1), grid.columnCount() - 1);
    if (r1 < 0 || c1 < 0 || r2 < 0 || c2 < 0 || r2 < r1 || c2 < c1) return std::nullopt;
    if (!grid.isValidCell(r1, c1) || !grid.isValidCell(r2, c2)) return std::nullopt;
    return CellRange{r1, c1, r2, c2};
}

uint32_t alignmentFormat(int32_t alignment, uint32_t oldFormat) {
    uint32_t horizontal = alignment == 2 ? textformat::Centre : alignment == 3 ? textformat::Right : textformat::Left;
    uint32_t lines = (oldFormat & textformat::WordBreak) ? textformat::WordBreak : textformat::SingleLine;
    return textformat::NoPrefix | textformat::VerticalCentre | horizontal | lines;
}

}  // namespace

bool CGridCtrl::setCellAlignment(int32_t firstRow, int32_t firstColumn, std::optional<int32_t> lastRow,
                                 std::optional<int32_t> lastColumn, int32_t alignment) {
    std::optional<CellRange> range = rangeOf(*this, firstRow, firstColumn, lastRow, lastColumn);
    if (!range) return false;
    for (int32_t r = range->firstRow; r <= range->lastRow; ++r)
        for (int32_t c = range->firstColumn; c <= range->lastColumn; ++c) {
            CGridCellBase& target = *cell(r, c);
            target.setFormat(alignmentFormat(alignment, target.format()));
        }
    update();
    return true;
}

bool CGridCtrl::setCellBackColor(int32_t firstRow, int32_t firstColumn, std::optional<int32_t> lastRow,
                                 std::optional<int32_t> lastColumn, uint32_t colorRef) {
    std::optional<CellRange> range = rangeOf(*this, firstRow, firstColumn, lastRow, lastColumn);
    if (!range) return false;
    for (int32_t r = range->firstRow; r <= range->lastRow; ++r)
        for (int32_t c = range->firstColumn; c <= range->lastColumn; ++c) cell(r, c)->setBackColour(colorRef);
    update();
    return true;
}

}  // namespace grid
