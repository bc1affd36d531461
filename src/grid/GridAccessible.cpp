// The grid as a table for assistive technology. Cell interfaces are made
// when first asked for and live as long as the grid's table interface.
#include "grid/GridAccessible.h"

#include "forms/UnitBlocks.h"
#include "grid/GridCtrl.h"
#include "grid/GridPaint.h"

namespace grid {
namespace {

quint64 cellKey(int32_t row, int32_t column) { return (quint64(uint32_t(row)) << 32) | uint32_t(column); }

QString joined(const QStringList& parts) {
    QStringList shown;
    for (const QString& p : parts)
        if (!p.isEmpty()) shown << p;
    return shown.join(QLatin1Char(' '));
}

QAccessibleInterface* gridFactory(const QString&, QObject* object) {
    if (auto* grid = qobject_cast<CGridCtrl*>(object)) return new GridAccessible(grid);
    return nullptr;
}

}  // namespace

// ---- The table ---------------------------------------------------------------------

GridAccessible::GridAccessible(CGridCtrl* grid) : QAccessibleWidget(grid, QAccessible::Table) {}

GridAccessible::~GridAccessible() {
    for (QAccessible::Id id : std::as_const(cells_)) QAccessible::deleteAccessibleInterface(id);
}

CGridCtrl* GridAccessible::grid() const { return qobject_cast<CGridCtrl*>(object()); }

void* GridAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::Role GridAccessible::role() const { return QAccessible::Table; }

int GridAccessible::rowCount() const {
    CGridCtrl* g = grid();
    return g ? g->rowCount() : 0;
}

int GridAccessible::columnCount() const {
    CGridCtrl* g = grid();
    return g ? g->columnCount() : 0;
}

int GridAccessible::childCount() const { return cellCount() + QAccessibleWidget::childCount(); }

QAccessibleInterface* GridAccessible::child(int index) const {
    if (index < 0) return nullptr;
    const int columns = columnCount();
    if (index < cellCount()) return cellAt(index / columns, index % columns);
    return QAccessibleWidget::child(index - cellCount());
}

int GridAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (!child) return -1;
    if (child->role() == QAccessible::Cell || child->role() == QAccessible::ColumnHeader ||
        child->role() == QAccessible::RowHeader) {
        auto* cell = const_cast<QAccessibleInterface*>(child)->tableCellInterface();
        if (cell && child->parent() == this && cell->rowIndex() < rowCount() && cell->columnIndex() < columnCount())
            return cell->rowIndex() * columnCount() + cell->columnIndex();
    }
    const int widgetIndex = QAccessibleWidget::indexOfChild(child);
    return widgetIndex < 0 ? -1 : cellCount() + widgetIndex;
}

QAccessibleInterface* GridAccessible::childAt(int x, int y) const {
    CGridCtrl* g = grid();
    if (!g) return nullptr;
    // Child widgets (scroll bars, the editor) lie over the cells.
    if (QAccessibleInterface* w = QAccessibleWidget::childAt(x, y)) return w;
    const CellId at = g->cellAt(g->mapFromGlobal(QPoint(x, y)));
    return at.isNone() ? nullptr : cellAt(at.row, at.column);
}

QAccessibleInterface* GridAccessible::focusChild() const {
    CGridCtrl* g = grid();
    if (!g) return nullptr;
    const CellId focus = g->focusCell();
    return focus.isNone() ? nullptr : cellAt(focus.row, focus.column);
}

QAccessibleInterface* GridAccessible::cellAt(int row, int column) const {
    CGridCtrl* g = grid();
    if (!g || !g->isValidCell(row, column)) return nullptr;
    const quint64 key = cellKey(row, column);
    if (auto found = cells_.constFind(key); found != cells_.constEnd())
        if (QAccessibleInterface* cell = QAccessible::accessibleInterface(found.value())) return cell;
    auto* cell = new GridCellAccessible(g, row, column);
    cells_.insert(key, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

int GridAccessible::selectedCellCount() const {
    CGridCtrl* g = grid();
    return g ? static_cast<int>(g->markedCellCount()) : 0;
}

QList<QAccessibleInterface*> GridAccessible::selectedCells() const {
    QList<QAccessibleInterface*> cells;
    CGridCtrl* g = grid();
    if (!g || g->markedCellCount() == 0) return cells;
    for (int32_t r = 0; r < g->rowCount(); ++r)
        for (int32_t c = 0; c < g->columnCount(); ++c)
            if (g->isCellMarked(r, c)) cells << cellAt(r, c);
    return cells;
}

QString GridAccessible::columnDescription(int column) const {
    CGridCtrl* g = grid();
    if (!g || !g->isValidColumn(column)) return {};
    QStringList parts;
    for (int32_t r = 0; r < g->fixedRowCount(); ++r) parts << displayedText(*g, r, column);
    return joined(parts);
}

QString GridAccessible::rowDescription(int row) const {
    CGridCtrl* g = grid();
    if (!g || !g->isValidRow(row)) return {};
    QStringList parts;
    for (int32_t c = 0; c < g->fixedColumnCount(); ++c) parts << displayedText(*g, row, c);
    return joined(parts);
}

bool GridAccessible::allMarked(int32_t firstRow, int32_t lastRow, int32_t firstColumn, int32_t lastColumn) const {
    CGridCtrl* g = grid();
    if (!g || g->markedCellCount() == 0 || firstRow > lastRow || firstColumn > lastColumn) return false;
    for (int32_t r = firstRow; r <= lastRow; ++r)
        for (int32_t c = firstColumn; c <= lastColumn; ++c)
            if (!g->isCellMarked(r, c)) return false;
    return true;
}

bool GridAccessible::isRowSelected(int row) const {
    CGridCtrl* g = grid();
    return g && g->isValidRow(row) && row >= g->fixedRowCount() &&
           allMarked(row, row, g->fixedColumnCount(), g->columnCount() - 1);
}

bool GridAccessible::isColumnSelected(int column) const {
    CGridCtrl* g = grid();
    return g && g->isValidColumn(column) && column >= g->fixedColumnCount() &&
           allMarked(g->fixedRowCount(), g->rowCount() - 1, column, column);
}

QList<int> GridAccessible::selectedRows() const {
    QList<int> rows;
    for (int r = 0; r < rowCount(); ++r)
        if (isRowSelected(r)) rows << r;
    return rows;
}

QList<int> GridAccessible::selectedColumns() const {
    QList<int> columns;
    for (int c = 0; c < columnCount(); ++c)
        if (isColumnSelected(c)) columns << c;
    return columns;
}

// ---- A cell ------------------------------------------------------------------------

GridCellAccessible::GridCellAccessible(CGridCtrl* grid, int32_t row, int32_t column)
    : grid_(grid), row_(row), column_(column) {}

bool GridCellAccessible::isValid() const { return grid_ && grid_->isValidCell(row_, column_); }

GridAccessible* GridCellAccessible::tableOf() const {
    return grid_ ? dynamic_cast<GridAccessible*>(QAccessible::queryAccessibleInterface(grid_.data())) : nullptr;
}

QAccessibleInterface* GridCellAccessible::parent() const { return tableOf(); }

QWindow* GridCellAccessible::window() const {
    GridAccessible* table = tableOf();
    return table ? table->window() : nullptr;
}

QString GridCellAccessible::text(QAccessible::Text t) const {
    if (!isValid() || (t != QAccessible::Name && t != QAccessible::Value)) return {};
    return displayedText(*grid_, row_, column_);
}

QRect GridCellAccessible::rect() const {
    if (!isValid()) return {};
    const QRect r = grid_->cellRect(row_, column_);
    return QRect(grid_->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::Role GridCellAccessible::role() const {
    if (!grid_) return QAccessible::Cell;
    if (row_ < grid_->fixedRowCount()) return QAccessible::ColumnHeader;
    if (column_ < grid_->fixedColumnCount()) return QAccessible::RowHeader;
    return QAccessible::Cell;
}

QAccessible::State GridCellAccessible::state() const {
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    const bool data = grid_->isDataCell(row_, column_);
    s.focusable = data;
    s.selectable = data;
    s.focused = grid_->focusCell() == CellId{row_, column_};
    s.selected = grid_->isCellMarked(row_, column_);
    s.readOnly = !data || !grid_->settings()[forms::gridprop::Editable];
    if (data && grid_->columnType(column_) == coltype::CheckBox) {
        s.checkable = true;
        s.checked = grid_->cellChecked(row_, column_);
    }
    const QRect r = grid_->cellRect(row_, column_);
    if (!r.intersects(grid_->cellArea())) {
        s.invisible = true;
        s.offscreen = true;
    }
    return s;
}

void* GridCellAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableCellInterface) return static_cast<QAccessibleTableCellInterface*>(this);
    return nullptr;
}

bool GridCellAccessible::isSelected() const { return isValid() && grid_->isCellMarked(row_, column_); }

QList<QAccessibleInterface*> GridCellAccessible::columnHeaderCells() const {
    QList<QAccessibleInterface*> headers;
    GridAccessible* table = tableOf();
    if (!isValid() || !table || !grid_->isDataCell(row_, column_)) return headers;
    for (int32_t r = 0; r < grid_->fixedRowCount(); ++r) headers << table->cellAt(r, column_);
    return headers;
}

QList<QAccessibleInterface*> GridCellAccessible::rowHeaderCells() const {
    QList<QAccessibleInterface*> headers;
    GridAccessible* table = tableOf();
    if (!isValid() || !table || !grid_->isDataCell(row_, column_)) return headers;
    for (int32_t c = 0; c < grid_->fixedColumnCount(); ++c) headers << table->cellAt(row_, c);
    return headers;
}

void installGridAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(gridFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace grid
