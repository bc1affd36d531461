// The grid as assistive technology sees it: a table whose cells are the
// grid's cells at the same rows and columns, the fixed rows and columns
// being header cells, and the focus cell the focused child.
#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

#include <cstdint>

namespace grid {

class CGridCtrl;

// The table over a grid. Its first rowCount() x columnCount() children are
// the cells, row by row; the grid's child widgets (scroll bars, an open
// editor) follow them.
class GridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit GridAccessible(CGridCtrl* grid);
    ~GridAccessible() override;

    // QAccessibleInterface
    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::Role role() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return static_cast<int>(selectedColumns().size()); }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    // The selection belongs to the user's keyboard and mouse; these change nothing.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    // Cells are looked up by position each time, so nothing is kept to update.
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

    CGridCtrl* grid() const;

private:
    int cellCount() const { return rowCount() * columnCount(); }
    // Every data cell of the row (column) marked, and at least one of them.
    bool allMarked(int32_t firstRow, int32_t lastRow, int32_t firstColumn, int32_t lastColumn) const;

    // Cell interfaces made so far, by position, registered with QAccessible
    // so that a cell keeps one identity for assistive technology.
    mutable QHash<quint64, QAccessible::Id> cells_;
};

// One cell of the grid.
class GridCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    GridCellAccessible(CGridCtrl* grid, int32_t row, int32_t column);

    // QAccessibleInterface
    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTableCellInterface
    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    GridAccessible* tableOf() const;

    QPointer<CGridCtrl> grid_;
    int32_t row_;
    int32_t column_;
};

// Makes grids known to assistive technology as tables (once per process).
void installGridAccessibility();

}  // namespace grid
