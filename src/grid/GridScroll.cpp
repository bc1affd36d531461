// The grid's geometry and scrolling: the cell area left of and above the
// scroll bars, cell rectangles under the scroll position, the scroll ranges,
// the wheel and the cell scrolled into view; an open editor goes with its cell.
#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

#include "grid/GridCtrl.h"
#include "grid/GridEditor.h"

namespace grid {
namespace {

int clampToInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -(1 << 24), 1 << 24)); }

}  // namespace

void CGridCtrl::createScrollBars() {
    vbar_ = new QScrollBar(Qt::Vertical, this);
    hbar_ = new QScrollBar(Qt::Horizontal, this);
    vbar_->hide();
    hbar_->hide();
    // The bars take no focus, so Tab and the keys stay with the grid.
    vbar_->setFocusPolicy(Qt::NoFocus);
    hbar_->setFocusPolicy(Qt::NoFocus);
    connect(vbar_, &QScrollBar::valueChanged, this, [this] { onScrollBar(); });
    connect(hbar_, &QScrollBar::valueChanged, this, [this] { onScrollBar(); });
}

QRect CGridCtrl::cellArea() const {
    QRect area = contentsRect();
    if (vbar_ && !vbar_->isHidden()) area.setRight(area.right() - vbar_->sizeHint().width());
    if (hbar_ && !hbar_->isHidden()) area.setBottom(area.bottom() - hbar_->sizeHint().height());
    return area;
}

QRect CGridCtrl::cellRect(int32_t row, int32_t column) const {
    if (!isValidCell(row, column)) return QRect();
    const QRect area = cellArea();
    auto offset = [](const std::vector<int32_t>& extents, int32_t fixed, int32_t scroll, int32_t index) {
        int64_t at = 0;
        if (index < fixed) {
            for (int32_t i = 0; i < index; ++i) at += extents[static_cast<size_t>(i)];
            return at;
        }
        for (int32_t i = 0; i < fixed; ++i) at += extents[static_cast<size_t>(i)];
        if (index >= scroll) {
            for (int32_t i = scroll; i < index; ++i) at += extents[static_cast<size_t>(i)];
        } else {
            for (int32_t i = index; i < scroll; ++i) at -= extents[static_cast<size_t>(i)];
        }
        return at;
    };
    const int64_t x = area.left() + offset(columnWidths_, fixedColumns_, scrollColumn(), column);
    const int64_t y = area.top() + offset(rowHeights_, fixedRows_, scrollRow(), row);
    return QRect(clampToInt(x), clampToInt(y), columnWidth(column), rowHeight(row));
}

int64_t CGridCtrl::fixedRowsHeight() const {
    int64_t height = 0;
    for (int32_t r = 0; r < fixedRows_; ++r) height += rowHeights_[static_cast<size_t>(r)];
    return height;
}

int64_t CGridCtrl::fixedColumnsWidth() const {
    int64_t width = 0;
    for (int32_t c = 0; c < fixedColumns_; ++c) width += columnWidths_[static_cast<size_t>(c)];
    return width;
}

CellRange CGridCtrl::visibleCells() const {
    const QRect area = cellArea();
    CellRange range;
    int64_t y = area.top() + fixedRowsHeight();
    int32_t lastRow = -1;
    for (int32_t r = scrollRow(); r < rowCount() && y <= area.bottom(); ++r) {
        y += rowHeights_[static_cast<size_t>(r)];
        lastRow = r;
    }
    int64_t x = area.left() + fixedColumnsWidth();
    int32_t lastColumn = -1;
    for (int32_t c = scrollColumn(); c < columnCount() && x <= area.right(); ++c) {
        x += columnWidths_[static_cast<size_t>(c)];
        lastColumn = c;
    }
    if (lastRow < 0 || lastColumn < 0) return range;
    return CellRange{scrollRow(), scrollColumn(), lastRow, lastColumn};
}

CellId CGridCtrl::cellAt(const QPoint& point) const {
    const QRect area = cellArea();
    if (!area.contains(point)) return {};
    auto find = [](const std::vector<int32_t>& extents, int32_t fixed, int32_t scroll, int64_t pos) -> int32_t {
        int64_t at = 0;
        for (int32_t i = 0; i < fixed; ++i) {
            at += extents[static_cast<size_t>(i)];
            if (pos < at) return i;
        }
        for (int32_t i = scroll; i < static_cast<int32_t>(extents.size()); ++i) {
            at += extents[static_cast<size_t>(i)];
            if (pos < at) return i;
        }
        return -1;
    };
    const int32_t row = find(rowHeights_, fixedRows_, scrollRow(), point.y() - area.top());
    const int32_t column = find(columnWidths_, fixedColumns_, scrollColumn(), point.x() - area.left());
    if (row < 0 || column < 0) return {};
    return {row, column};
}

int32_t CGridCtrl::maxScrollRow(int32_t height) const {
    int64_t room = height - fixedRowsHeight();
    int32_t top = rowCount();
    int64_t used = 0;
    while (top > fixedRows_ && used + rowHeights_[static_cast<size_t>(top - 1)] <= room) {
        used += rowHeights_[static_cast<size_t>(top - 1)];
        --top;
    }
    // Rows that do not fit even alone still get a position of their own.
    return std::max(fixedRows_, std::min(top, rowCount() - 1));
}

int32_t CGridCtrl::maxScrollColumn(int32_t width) const {
    int64_t room = width - fixedColumnsWidth();
    int32_t left = columnCount();
    int64_t used = 0;
    while (left > fixedColumns_ && used + columnWidths_[static_cast<size_t>(left - 1)] <= room) {
        used += columnWidths_[static_cast<size_t>(left - 1)];
        --left;
    }
    return std::max(fixedColumns_, std::min(left, columnCount() - 1));
}

void CGridCtrl::layoutChanged() {
    updateScrollBars();
    update();
}

void CGridCtrl::updateScrollBars() {
    if (!vbar_ || updatingBars_) return;
    updatingBars_ = true;
    const QRect inside = contentsRect();
    const int barWidth = vbar_->sizeHint().width();
    const int barHeight = hbar_->sizeHint().height();
    // Each bar takes room from the other direction: decide both twice.
    bool needV = false, needH = false;
    for (int pass = 0; pass < 2; ++pass) {
        const int h = inside.height() - (needH ? barHeight : 0);
        const int w = inside.width() - (needV ? barWidth : 0);
        needV = maxScrollRow(h) > fixedRows_;
        needH = maxScrollColumn(w) > fixedColumns_;
    }
    const int h = inside.height() - (needH ? barHeight : 0);
    const int w = inside.width() - (needV ? barWidth : 0);
    const int32_t maxRow = needV ? maxScrollRow(h) : fixedRows_;
    const int32_t maxColumn = needH ? maxScrollColumn(w) : fixedColumns_;
    scrollRow_ = std::clamp(scrollRow_, fixedRows_, std::max(fixedRows_, maxRow));
    scrollColumn_ = std::clamp(scrollColumn_, fixedColumns_, std::max(fixedColumns_, maxColumn));

    vbar_->setVisible(needV);
    hbar_->setVisible(needH);
    vbar_->setGeometry(inside.right() - barWidth + 1, inside.top(), barWidth, h);
    hbar_->setGeometry(inside.left(), inside.bottom() - barHeight + 1, w, barHeight);
    vbar_->setRange(0, std::max(0, maxRow - fixedRows_));
    hbar_->setRange(0, std::max(0, maxColumn - fixedColumns_));
    const CellRange shown = visibleCells();
    vbar_->setPageStep(shown.isEmpty() ? 1 : std::max(1, shown.lastRow - shown.firstRow));
    hbar_->setPageStep(shown.isEmpty() ? 1 : std::max(1, shown.lastColumn - shown.firstColumn));
    vbar_->setValue(scrollRow_ - fixedRows_);
    hbar_->setValue(scrollColumn_ - fixedColumns_);
    updatingBars_ = false;
}

void CGridCtrl::onScrollBar() {
    if (updatingBars_) return;
    scrollRow_ = fixedRows_ + vbar_->value();
    scrollColumn_ = fixedColumns_ + hbar_->value();
    if (!keepEditorWithItsCell()) return;
    update();
}

QRect CGridCtrl::scrolledArea() const {
    const QRect area = cellArea();
    return QRect(QPoint(clampToInt(area.left() + fixedColumnsWidth()), clampToInt(area.top() + fixedRowsHeight())),
                 area.bottomRight());
}

bool CGridCtrl::keepEditorWithItsCell() {
    QWidget* editor = editor_.data();
    EditorSession* session = editorSession_.data();
    if (!editor || !session) return true;
    const QRect cell = cellRect(session->row(), session->column());
    if (!cell.isEmpty() && scrolledArea().contains(cell)) {
        editor->move(cell.topLeft());  // a widened editor keeps its size
        return true;
    }
    // The cell has slid under the headers or out of view: the edit ends and
    // commits, as a click elsewhere would, and the keys go back to the grid,
    // so that nothing is typed into a cell the user cannot see.
    QPointer<CGridCtrl> alive(this);
    session->finish(0);
    return alive;
}

void CGridCtrl::scrollToRow(int32_t row) {
    if (!vbar_) return;
    QPointer<CGridCtrl> alive(this);
    vbar_->setValue(row - fixedRows_);  // the bar bounds it
    if (alive) onScrollBar();
}

void CGridCtrl::scrollToColumn(int32_t column) {
    if (!hbar_) return;
    QPointer<CGridCtrl> alive(this);
    hbar_->setValue(column - fixedColumns_);
    if (alive) onScrollBar();
}

void CGridCtrl::ensureCellVisible(int32_t row, int32_t column) {
    if (!isValidCell(row, column)) return;
    const QRect area = cellArea();
    if (row >= fixedRows_) {
        if (row < scrollRow_) {
            scrollToRow(row);
        } else {
            while (scrollRow_ < row && cellRect(row, column).bottom() > area.bottom()) {
                const int32_t before = scrollRow_;
                scrollToRow(scrollRow_ + 1);
                if (scrollRow_ == before) break;
            }
        }
    }
    if (column >= fixedColumns_) {
        if (column < scrollColumn_) {
            scrollToColumn(column);
        } else {
            while (scrollColumn_ < column && cellRect(row, column).right() > area.right()) {
                const int32_t before = scrollColumn_;
                scrollToColumn(scrollColumn_ + 1);
                if (scrollColumn_ == before) break;
            }
        }
    }
}

void CGridCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    updateScrollBars();
    keepEditorWithItsCell();
}

void CGridCtrl::wheelEvent(QWheelEvent* event) {
    const int notches = event->angleDelta().y() / 120;
    if (notches == 0 || !vbar_ || vbar_->isHidden()) {
        event->ignore();
        return;
    }
    scrollToRow(scrollRow_ - notches * QApplication::wheelScrollLines());
    event->accept();
}

}  // namespace grid
