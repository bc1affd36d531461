// The mouse on the grid: focus and selection by pressing and dragging,
// whole rows and columns by their headers, click-to-edit on the focus cell,
// check-box clicks, border dragging in the headers, and the click events.
#include <QMouseEvent>

#include <algorithm>

#include "grid/GridCtrl.h"

namespace grid {

namespace gp = forms::gridprop;

namespace {
// How near a border the pointer must be to grab it.
constexpr int kBorderSlack = 3;
}  // namespace

int32_t CGridCtrl::columnBorderAt(const QPoint& p) const {
    if (!setting(gp::AllowColumnResize)) return -1;
    const CellId at = cellAt(p);
    if (at.isNone() || at.row >= fixedRows_) return -1;
    for (int32_t c = std::max(0, at.column - 1); c <= at.column + 1 && c < columnCount(); ++c) {
        const QRect r = cellRect(at.row, c);
        if (columnWidth(c) > 0 && std::abs(p.x() - (r.right() + 1)) <= kBorderSlack) return c;
    }
    return -1;
}

int32_t CGridCtrl::rowBorderAt(const QPoint& p) const {
    if (!setting(gp::AllowRowResize)) return -1;
    const CellId at = cellAt(p);
    if (at.isNone() || at.column >= fixedColumns_) return -1;
    for (int32_t r = std::max(0, at.row - 1); r <= at.row + 1 && r < rowCount(); ++r) {
        const QRect rect = cellRect(r, at.column);
        if (rowHeight(r) > 0 && std::abs(p.y() - (rect.bottom() + 1)) <= kBorderSlack) return r;
    }
    return -1;
}

void CGridCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    const QPoint p = event->position().toPoint();
    pressPoint_ = p;
    pressFocus_ = focus_;
    movedWhilePressed_ = false;
    pressCell_ = cellAt(p);
    if (const int32_t c = columnBorderAt(p); c >= 0) {
        mouseMode_ = MouseMode::ColumnResize;
        resizeIndex_ = c;
        resizeStartExtent_ = columnWidth(c);
        resizeStartPos_ = p.x();
        return;
    }
    if (const int32_t r = rowBorderAt(p); r >= 0) {
        mouseMode_ = MouseMode::RowResize;
        resizeIndex_ = r;
        resizeStartExtent_ = rowHeight(r);
        resizeStartPos_ = p.y();
        return;
    }
    mouseMode_ = MouseMode::None;
    if (pressCell_.isNone()) return;
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    if (!isDataCell(pressCell_.row, pressCell_.column)) {
        pressOnHeader(pressCell_, extend);
        return;
    }
    if (pressCell_ == focus_) {
        mouseMode_ = MouseMode::ClickPending;
        return;
    }
    if (!extend || anchor_.isNone()) anchor_ = pressCell_;
    restartSelection(anchor_, pressCell_);
    setFocusCell(pressCell_.row, pressCell_.column);
    ensureCellVisible(pressCell_.row, pressCell_.column);
    mouseMode_ = MouseMode::Selecting;
    update();
}

// ---- Selecting by the headers ----------------------------------------------------------

void CGridCtrl::selectColumns(int32_t from, int32_t to) {
    if (rowCount() <= fixedRows_) return clearSelection();
    restartSelection(CellId{fixedRows_, from}, CellId{rowCount() - 1, to});
}

void CGridCtrl::selectRows(int32_t from, int32_t to) {
    if (columnCount() <= fixedColumns_) return clearSelection();
    restartSelection(CellId{from, fixedColumns_}, CellId{to, columnCount() - 1});
}

void CGridCtrl::pressOnHeader(const CellId& at, bool extend) {
    if (!setting(gp::WholeLineSelection)) return clearSelection();
    const bool columnHeader = at.row < fixedRows_, rowHeader = at.column < fixedColumns_;
    if (columnHeader && rowHeader) {
        // The corner stands for every row and column; the focus, if any, lies inside.
        selectAll();
        return;
    }
    // The focus goes into the chosen line, where it was in the other
    // direction (the first cell in view without a focus), so that Delete
    // clears the line and nothing outside it.
    const CellRange shown = visibleCells();
    const int32_t firstRow = nextShownRow(shown.firstRow - 1, 1), firstColumn = nextShownColumn(shown.firstColumn - 1, 1);
    if (shown.isEmpty() || firstRow < 0 || firstColumn < 0) return clearSelection();
    const CellId to = columnHeader ? CellId{focus_.isNone() ? firstRow : focus_.row, at.column}
                                   : CellId{at.row, focus_.isNone() ? firstColumn : focus_.column};
    // Shift extends from the anchor's line.
    const bool extending = extend && !anchor_.isNone();
    const int32_t line = columnHeader ? to.column : to.row;
    lineAnchor_ = !extending ? line : columnHeader ? anchor_.column : anchor_.row;
    if (!extending) anchor_ = to;
    if (columnHeader) selectColumns(lineAnchor_, line);
    else selectRows(lineAnchor_, line);
    setFocusCell(to.row, to.column);
    ensureCellVisible(to.row, to.column);
    mouseMode_ = columnHeader ? MouseMode::SelectingColumns : MouseMode::SelectingRows;
    update();
}

// ---- Moving and releasing ------------------------------------------------------------

void CGridCtrl::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (!(event->buttons() & Qt::LeftButton)) {
        // The resize cursors show where a border can be grabbed.
        if (columnBorderAt(p) >= 0) setCursor(Qt::SizeHorCursor);
        else if (rowBorderAt(p) >= 0) setCursor(Qt::SizeVerCursor);
        else unsetCursor();
        return;
    }
    if (p != pressPoint_) movedWhilePressed_ = true;
    switch (mouseMode_) {
        case MouseMode::ColumnResize:
            setColumnWidth(resizeIndex_, std::max(0, resizeStartExtent_ + p.x() - resizeStartPos_));
            break;
        case MouseMode::RowResize:
            setRowHeight(resizeIndex_, std::max(0, resizeStartExtent_ + p.y() - resizeStartPos_));
            break;
        case MouseMode::Selecting:
        case MouseMode::ClickPending: {
            const CellId at = cellAt(p);
            if (!at.isNone() && isDataCell(at.row, at.column) && !anchor_.isNone()) {
                restartSelection(anchor_, at);
                update();
            }
            break;
        }
        case MouseMode::SelectingColumns: {
            const CellId at = cellAt(p);
            if (!at.isNone() && at.column >= fixedColumns_) selectColumns(lineAnchor_, at.column);
            break;
        }
        case MouseMode::SelectingRows: {
            const CellId at = cellAt(p);
            if (!at.isNone() && at.row >= fixedRows_) selectRows(lineAnchor_, at.row);
            break;
        }
        case MouseMode::None: break;
    }
}

void CGridCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    const QPoint p = event->position().toPoint();
    const MouseMode mode = mouseMode_;
    mouseMode_ = MouseMode::None;
    const bool afterDouble = afterDoubleClick_;
    afterDoubleClick_ = false;
    QPointer<CGridCtrl> alive(this);
    if (mode == MouseMode::ColumnResize || mode == MouseMode::RowResize) {
        if (mode == MouseMode::ColumnResize && columnWidth(resizeIndex_) != resizeStartExtent_)
            raiseGridEvent(gridevent::ColumnResized, {resizeIndex_});
        else if (mode == MouseMode::RowResize && rowHeight(resizeIndex_) != resizeStartExtent_)
            raiseGridEvent(gridevent::RowResized, {resizeIndex_});
        return;
    }
    const CellId at = cellAt(p);
    if (!at.isNone() && at == pressCell_ && isDataCell(at.row, at.column) && columnType(at.column) == coltype::CheckBox) {
        toggleCheck(at.row, at.column);
        if (!alive) return;
    } else if (mode == MouseMode::ClickPending && focus_ == pressFocus_ && !movedWhilePressed_ && at == focus_) {
        openEditor(focus_.row, focus_.column, 1);
        if (!alive) return;
    }
    if (!(focus_ == pressFocus_)) {
        update();
        raiseGridEvent(gridevent::FocusChanged);
        if (!alive) return;
    }
    if (movedWhilePressed_ || afterDouble) return;
    raiseGridEvent(gridevent::Clicked, {p.x(), p.y()});
    if (!alive) return;
    if (!at.isNone() && !isDataCell(at.row, at.column)) raiseGridEvent(gridevent::FixedCellClicked, {at.row, at.column});
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(event);
    const CellId at = cellAt(event->position().toPoint());
    QPointer<CGridCtrl> alive(this);
    if (!at.isNone() && !isDataCell(at.row, at.column)) {
        raiseGridEvent(gridevent::FixedCellDoubleClicked, {at.row, at.column});
        if (!alive) return;
    }
    // The second press of a double click is a press as well.
    mousePressEvent(event);
    afterDoubleClick_ = true;
}

}  // namespace grid
