// The grid's structure: counts, fixed counts, extents, cells, column types,
// focus and marks.
#include "grid/GridCtrl.h"

#include <QAccessible>

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

#include "grid/GridPaint.h"
#include "grid/GridTexts.h"
#include "grid/NumberText.h"

namespace grid {
namespace {

// Keys of the set of marked cells: the column in the high and the row in the
// low 32 bits, so that no two cells of any grid share a key.
uint64_t markKey(int32_t row, int32_t column) {
    return (uint64_t(uint32_t(column)) << 32) | uint32_t(row);
}
int32_t rowOfKey(uint64_t key) { return static_cast<int32_t>(uint32_t(key)); }
int32_t columnOfKey(uint64_t key) { return static_cast<int32_t>(uint32_t(key >> 32)); }

}  // namespace

CGridCtrl::CGridCtrl(QWidget* parent) : CGridCtrl(forms::defaultGridSettings(), parent) {}

CGridCtrl::CGridCtrl(const forms::GridSettings& settings, QWidget* parent)
    : QWidget(parent), settings_(forms::defaultGridSettings()), defaultFont_(rt::defaultGuiFont()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    createScrollBars();
    applySettings(settings);
}

CGridCtrl::~CGridCtrl() = default;

// ---- Counts ------------------------------------------------------------------------

std::unique_ptr<CGridCellBase> CGridCtrl::makeCell(int32_t row, int32_t column) const {
    auto c = std::make_unique<CGridCell>();
    if (row < fixedRows_ || column < fixedColumns_) c->setState(cellstate::Fixed);
    return c;
}

bool CGridCtrl::setRowCount(int32_t n) {
    if (n < 0) return false;
    const int32_t old = rowCount();
    if (n == old) return true;
    if (n < fixedRows_) fixedRows_ = n;
    if (focus_.row >= n) clearFocus();
    if (n < old) {
        forgetMarksOutside(n, columnCount());
        rows_.resize(static_cast<size_t>(n));
    }
    const int32_t height = std::max(settings_[forms::gridprop::DefaultRowHeight], minimumExtent());
    rowHeights_.resize(static_cast<size_t>(n), height);
    for (int32_t r = old; r < n; ++r) {
        Row& row = rows_.emplace_back();
        row.reserve(columnWidths_.size());
        for (int32_t c = 0; c < columnCount(); ++c) row.push_back(makeCell(r, c));
    }
    layoutChanged();
    return true;
}

bool CGridCtrl::setColumnCount(int32_t n) {
    if (n < 0) return false;
    const int32_t old = columnCount();
    if (n == old) return true;
    if (n < fixedColumns_) fixedColumns_ = n;
    if (focus_.column >= n) clearFocus();
    if (n < old) {
        forgetMarksOutside(rowCount(), n);
        // A column that goes takes its type with it, so that a column added
        // later at the same place starts as plain text.
        std::erase_if(columnTypes_, [n](const ColumnTypeRecord& r) { return r.column >= n; });
    }
    const int32_t width = std::max(settings_[forms::gridprop::DefaultColumnWidth], minimumExtent());
    columnWidths_.resize(static_cast<size_t>(n), width);
    for (int32_t r = 0; r < rowCount(); ++r) {
        Row& row = rows_[static_cast<size_t>(r)];
        row.resize(std::min(row.size(), static_cast<size_t>(n)));
        for (int32_t c = old; c < n; ++c) row.push_back(makeCell(r, c));
    }
    layoutChanged();
    return true;
}

void CGridCtrl::resetFixedness(CGridCellBase& c, bool fixed) {
    c.setState(fixed ? (c.state() | cellstate::Fixed) : (c.state() & ~cellstate::Fixed));
    c.setTextColour(kDefaultColour);
    c.setBackColour(kDefaultColour);
}

bool CGridCtrl::setFixedRowCount(int32_t n) {
    if (n < 0) return false;
    const int32_t old = fixedRows_;
    if (n == old) return true;
    if (rowCount() < n && !setRowCount(n)) return false;
    if (focus_.row >= 0 && focus_.row < n) clearFocus();
    // Only the cells in non-fixed columns change: those in fixed columns are
    // fixed either way.
    for (int32_t r = std::min(old, n); r < std::max(old, n); ++r)
        for (int32_t c = fixedColumns_; c < columnCount(); ++c) resetFixedness(*cell(r, c), r < n);
    fixedRows_ = n;
    update();
    return true;
}

bool CGridCtrl::setFixedColumnCount(int32_t n) {
    if (n < 0) return false;
    const int32_t old = fixedColumns_;
    if (n == old) return true;
    if (columnCount() < n && !setColumnCount(n)) return false;
    if (focus_.column >= 0 && focus_.column < n) clearFocus();
    for (int32_t c = std::min(old, n); c < std::max(old, n); ++c)
        for (int32_t r = fixedRows_; r < rowCount(); ++r) resetFixedness(*cell(r, c), c < n);
    fixedColumns_ = n;
    update();
    return true;
}

// ---- Extents ------------------------------------------------------------------------

int32_t CGridCtrl::rowHeight(int32_t row) const {
    return isValidRow(row) ? rowHeights_[static_cast<size_t>(row)] : 0;
}

int32_t CGridCtrl::columnWidth(int32_t column) const {
    return isValidColumn(column) ? columnWidths_[static_cast<size_t>(column)] : 0;
}

bool CGridCtrl::setRowHeight(int32_t row, int32_t height) {
    if (!isValidRow(row) || height < 0) return false;
    rowHeights_[static_cast<size_t>(row)] = height;
    layoutChanged();
    return true;
}

bool CGridCtrl::setColumnWidth(int32_t column, int32_t width) {
    if (!isValidColumn(column) || width < 0) return false;
    columnWidths_[static_cast<size_t>(column)] = width;
    layoutChanged();
    return true;
}

int32_t CGridCtrl::minimumExtent() const {
    // A negative line width draws like 0.
    return std::max(settings_[forms::gridprop::GridLineWidth], 0) + 6;
}

// ---- Cells ------------------------------------------------------------------------

CGridCellBase* CGridCtrl::cell(int32_t row, int32_t column) {
    return isValidCell(row, column) ? rows_[static_cast<size_t>(row)][static_cast<size_t>(column)].get() : nullptr;
}

const CGridCellBase* CGridCtrl::cell(int32_t row, int32_t column) const {
    return const_cast<CGridCtrl*>(this)->cell(row, column);
}

std::string CGridCtrl::cellText(int32_t row, int32_t column) const {
    const CGridCellBase* c = cell(row, column);
    return c ? c->text() : std::string();
}

bool CGridCtrl::setCellText(int32_t row, int32_t column, std::string_view gbk) {
    CGridCellBase* c = cell(row, column);
    if (!c) return false;
    c->setText(gbk);
    return true;
}

uint32_t CGridCtrl::cellFormat(int32_t row, int32_t column) const {
    const CGridCellBase* c = cell(row, column);
    return c ? c->format() : 0;
}

bool CGridCtrl::setCellFormat(int32_t row, int32_t column, uint32_t format) {
    CGridCellBase* c = cell(row, column);
    if (!c) return false;
    c->setFormat(format);
    return true;
}

uint32_t CGridCtrl::cellState(int32_t row, int32_t column) const {
    const CGridCellBase* c = cell(row, column);
    return c ? c->state() : 0;
}

bool CGridCtrl::setCellState(int32_t row, int32_t column, uint32_t state) {
    CGridCellBase* c = cell(row, column);
    if (!c) return false;
    c->setState(state);
    if (state & cellstate::Marked) marked_.insert(markKey(row, column));
    else marked_.erase(markKey(row, column));
    return true;
}

uint32_t CGridCtrl::cellTextColour(int32_t row, int32_t column) const {
    const CGridCellBase* c = cell(row, column);
    return c ? c->textColour() : 0;
}

bool CGridCtrl::setCellTextColour(int32_t row, int32_t column, uint32_t colorRef) {
    CGridCellBase* c = cell(row, column);
    if (!c) return false;
    c->setTextColour(colorRef);
    return true;
}

uint32_t CGridCtrl::cellBackColour(int32_t row, int32_t column) const {
    const CGridCellBase* c = cell(row, column);
    return c ? c->backColour() : 0;
}

bool CGridCtrl::setCellBackColour(int32_t row, int32_t column, uint32_t colorRef) {
    CGridCellBase* c = cell(row, column);
    if (!c) return false;
    c->setBackColour(colorRef);
    return true;
}

rt::LogicalFont CGridCtrl::cellFont(int32_t row, int32_t column) const {
    const CGridCellBase* c = cell(row, column);
    return c && c->font() ? *c->font() : defaultFont_;
}

bool CGridCtrl::setCellFont(int32_t row, int32_t column, std::optional<rt::LogicalFont> font) {
    CGridCellBase* c = cell(row, column);
    if (!c) return false;
    c->setFont(font);
    return true;
}

bool CGridCtrl::cellChecked(int32_t row, int32_t column) const {
    const CGridCellBase* c = cell(row, column);
    return c && c->checked();
}

bool CGridCtrl::setCellChecked(int32_t row, int32_t column, bool checked) {
    CGridCellBase* c = cell(row, column);
    if (!c) return false;
    c->setChecked(checked);
    return true;
}

QImage CGridCtrl::cellPicture(int32_t row, int32_t column) const {
    const CGridCellBase* c = cell(row, column);
    return c ? c->picture() : QImage();
}

bool CGridCtrl::setCellPicture(int32_t row, int32_t column, QImage picture) {
    CGridCellBase* c = cell(row, column);
    if (!c) return false;
    c->setPicture(std::move(picture));
    return true;
}

// ---- Column types -------------------------------------------------------------------

ColumnTypeRecord* CGridCtrl::findRecord(int32_t column) {
    auto it = std::find_if(columnTypes_.begin(), columnTypes_.end(),
                           [column](const ColumnTypeRecord& r) { return r.column == column; });
    return it == columnTypes_.end() ? nullptr : &*it;
}

const ColumnTypeRecord* CGridCtrl::columnTypeRecord(int32_t column) const {
    return const_cast<CGridCtrl*>(this)->findRecord(column);
}

void CGridCtrl::removeRecord(int32_t column) {
    std::erase_if(columnTypes_, [column](const ColumnTypeRecord& r) { return r.column == column; });
}

int32_t CGridCtrl::columnType(int32_t column) const {
    const ColumnTypeRecord* r = columnTypeRecord(column);
    return r ? r->type : coltype::Text;
}

int32_t CGridCtrl::pictureMode(int32_t column) const {
    const ColumnTypeRecord* r = columnTypeRecord(column);
    return r && r->type == coltype::Picture ? r->pictureMode : picturemode::OfOtherColumns;
}

bool CGridCtrl::setColumnDecimals(int32_t column, int32_t decimals) {
    ColumnTypeRecord* r = findRecord(column);
    if (!r || !coltype::isNumeric(r->type) || decimals < 0 || decimals > kMaxDecimals) return false;
    r->decimals = decimals;
    update();
    return true;
}

void CGridCtrl::renderColumnAsNumbers(int32_t column, int32_t decimals, bool emptyAll) {
    const bool showZero = settings_[forms::gridprop::ShowZero] != 0;
    for (int32_t r = fixedRows_; r < rowCount(); ++r) {
        CGridCellBase& c = *cell(r, column);
        if (emptyAll) {
            c.setText({});
            continue;
        }
        double value = numericValue(c.text());
        if (value == 0) {
            if (!showZero) c.setText({});
        } else if (auto text = fixedPoint(value, decimals)) {
            c.setText(*text);
        }
    }
}

bool CGridCtrl::setColumnType(int32_t column, int32_t passedType) {
    if (passedType < coltype::FirstPassed || passedType > coltype::LastPassed || !isValidColumn(column))
        return false;
    const int32_t type = passedType + coltype::Offset;

    // What the old type leaves behind.
    int32_t oldType = 0;  // no record
    int32_t decimals = 0;
    bool emptyTexts = false;
    if (const ColumnTypeRecord* old = findRecord(column)) {
        oldType = old->type;
        if (coltype::isNumeric(oldType)) decimals = old->decimals;
        if (oldType == coltype::Date && coltype::isNumeric(type)) emptyTexts = true;
        for (int32_t r = fixedRows_; r < rowCount(); ++r) {
            if (oldType == coltype::CheckBox) cell(r, column)->setChecked(false);
            if (oldType == coltype::Picture) cell(r, column)->setPicture(QImage());
        }
        removeRecord(column);
    }

    ColumnTypeRecord record;
    record.column = column;
    record.type = type;
    record.decimals = decimals;
    switch (type) {
        case coltype::Currency:
            record.prefix = texts::CurrencyPrefix;
            [[fallthrough]];
        case coltype::Number:
            if (!coltype::isNumeric(oldType)) renderColumnAsNumbers(column, decimals, emptyTexts);
            break;
        case coltype::Date: record.dateFormat = kDateFormat; break;
        case coltype::CheckBox: break;
        case coltype::Picture:
            record.pictureMode = picturemode::TopLeft;
            for (int32_t r = fixedRows_; r < rowCount(); ++r) cell(r, column)->setText({});
            break;
        default: record.list = choiceList_; break;  // Text, ComboBox, DropList
    }
    columnTypes_.push_back(std::move(record));
    update();
    return true;
}

// ---- Focus and marks ------------------------------------------------------------------

void CGridCtrl::clearFocus() {
    if (CGridCellBase* c = cell(focus_.row, focus_.column)) c->setState(c->state() & ~cellstate::Focused);
    focus_ = CellId{};
    update();
}

void CGridCtrl::setFocusCell(int32_t row, int32_t column) {
    // The focus never rests on a fixed cell: a position in the headers moves to the first data cell.
    if (row >= 0) row = std::max(row, fixedRows_);
    if (column >= 0) column = std::max(column, fixedColumns_);
    if (CellId{row, column} == focus_) return;
    clearFocus();
    if (CGridCellBase* c = cell(row, column)) {
        c->setState(c->state() | cellstate::Focused);
        focus_ = CellId{row, column};
        // Screen readers follow the focus cell: its child number in the table is row x columns + column.
        if (QAccessible::isActive()) {
            QAccessibleEvent moved(this, QAccessible::Focus);
            moved.setChild(row * columnCount() + column);
            QAccessible::updateAccessibility(&moved);
        }
    }
}

bool CGridCtrl::isCellMarked(int32_t row, int32_t column) const {
    const CGridCellBase* c = cell(row, column);
    return c && c->hasState(cellstate::Marked);
}

bool CGridCtrl::setCellMarked(int32_t row, int32_t column, bool marked) {
    CGridCellBase* c = cell(row, column);
    if (!c) return false;
    setCellState(row, column, marked ? (c->state() | cellstate::Marked) : (c->state() & ~cellstate::Marked));
    update();
    return true;
}

void CGridCtrl::clearSelection() {
    for (uint64_t key : marked_)
        if (CGridCellBase* c = cell(rowOfKey(key), columnOfKey(key))) c->setState(c->state() & ~cellstate::Marked);
    marked_.clear();
    selection_ = CellRange{};
    update();
}

void CGridCtrl::forgetMarksOutside(int32_t rows, int32_t columns) {
    std::erase_if(marked_, [rows, columns](uint64_t key) { return rowOfKey(key) >= rows || columnOfKey(key) >= columns; });
    if (selection_.lastRow >= rows || selection_.lastColumn >= columns) selection_ = CellRange{};
}

// ---- Geometry and painting ------------------------------------------------------------

void CGridCtrl::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    paintGrid(*this, painter, event->rect());
}

}  // namespace grid
