// Plain painting of a grid. Only the rows and columns inside the paint area
// are visited; scrolling, check boxes, pictures and the currency and date
// display are not drawn here.
#include "grid/GridPaint.h"

#include <QPainter>
#include <QPalette>
#include <qdrawutil.h>

#include <vector>

#include "forms/Units.h"
#include "grid/GridCtrl.h"

namespace grid {
namespace {

namespace gp = forms::gridprop;

// A row or column inside the paint area, with its start and extent in pixels.
struct Band {
    int32_t index;
    int start;
    int extent;
};

// The rows (or columns) with a nonzero extent that meet [from, to), laid out
// from `origin`. Stops at the first one past `to`.
template <typename Extent>
std::vector<Band> visibleBands(int32_t count, int origin, int from, int to, Extent extentOf, int& end) {
    std::vector<Band> bands;
    long long at = origin;
    for (int32_t i = 0; i < count && at < to; ++i) {
        int extent = extentOf(i);
        if (extent > 0 && at + extent > from) bands.push_back({i, static_cast<int>(at), extent});
        at += extent;
    }
    end = static_cast<int>(std::min<long long>(at, to));
    return bands;
}

// A colour setting; values with the top byte set stand for the system colour.
QColor settingColour(const CGridCtrl& grid, uint32_t own, QPalette::ColorRole fallback) {
    QColor c = forms::colourOf(static_cast<uint32_t>(grid.settings()[own]));
    return c.isValid() ? c : grid.palette().color(fallback);
}

QColor cellColour(uint32_t colorRef, const QColor& fallback) {
    QColor c = forms::colourOf(colorRef);
    return c.isValid() ? c : fallback;
}

Qt::Alignment alignmentOf(uint32_t format) {
    Qt::Alignment a = (format & textformat::Centre)  ? Qt::AlignHCenter
                      : (format & textformat::Right) ? Qt::AlignRight
                                                     : Qt::AlignLeft;
    // As with DrawText, vertical centring needs a single line.
    bool vcentre = (format & textformat::VerticalCentre) && (format & textformat::SingleLine);
    return a | (vcentre ? Qt::AlignVCenter : Qt::AlignTop);
}

class Painter {
public:
    Painter(const CGridCtrl& grid, QPainter& p) : grid_(grid), p_(p) {
        defaultFont_ = forms::fontOf(grid.defaultFont());
        const QPalette& pal = grid.palette();
        fixedBack_ = settingColour(grid, gp::FixedBackColor, QPalette::Button);
        cellBack_ = settingColour(grid, gp::CellBackColor, QPalette::Base);
        cellText_ = settingColour(grid, gp::CellTextColor, QPalette::Text);
        focus_ = settingColour(grid, gp::FocusColor, QPalette::Text);
        selectionBack_ = settingColour(grid, gp::SelectionBackColor, QPalette::Highlight);
        selectionText_ = grid.settings()[gp::SelectionTextColor] == grid.settings()[gp::SelectionBackColor]
                             ? pal.color(QPalette::HighlightedText)
                             : settingColour(grid, gp::SelectionTextColor, QPalette::HighlightedText);
        fixedText_ = pal.color(QPalette::WindowText);
        line_ = settingColour(grid, gp::GridLineColor, QPalette::Mid);
        lineWidth_ = std::max(grid.settings()[gp::GridLineWidth], 0);
        lines_ = grid.settings()[gp::GridLines];
    }

    void paint(const QRect& clip) {
        const QRect area = grid_.cellArea();
        const QRect inside = clip & area;
        int right = area.left(), bottom = area.top();
        if (!inside.isEmpty()) {
            p_.save();
            p_.setClipRect(inside);
            columns_ = visibleBands(grid_.columnCount(), area.left(), inside.left(), inside.right() + 1,
                                    [this](int32_t c) { return grid_.columnWidth(c); }, right);
            rows_ = visibleBands(grid_.rowCount(), area.top(), inside.top(), inside.bottom() + 1,
                                 [this](int32_t r) { return grid_.rowHeight(r); }, bottom);
            for (const Band& row : rows_)
                for (const Band& column : columns_) paintCell(row, column);
            paintDataLines();
            paintEmptyArea(area, right, bottom);
            p_.restore();
        }
        paintBorder();
    }

private:
    bool isFixed(int32_t row, int32_t column) const {
        return row < grid_.fixedRowCount() || column < grid_.fixedColumnCount();
    }

    QPen linePen() const {
        QPen pen(line_);
        pen.setWidth(lineWidth_);  // 0: one pixel
        return pen;
    }

    void paintCell(const Band& row, const Band& column) {
        const CGridCellBase& cell = *grid_.cell(row.index, column.index);
        const QRect rect(column.start, row.start, column.extent, row.extent);
        const bool fixed = isFixed(row.index, column.index);
        QColor back = cellColour(cell.backColour(), fixed ? fixedBack_ : cellBack_);
        QColor text = cellColour(cell.textColour(), fixed ? fixedText_ : cellText_);
        const bool focused = !fixed && cell.hasState(cellstate::Focused);
        if (focused) {
            text = focus_;
        } else if (!fixed && cell.hasState(cellstate::Marked)) {
            back = selectionBack_;
            text = selectionText_;
        }
        p_.fillRect(rect, back);
        if (focused) {
            p_.setPen(focus_);
            p_.drawRect(rect.adjusted(0, 0, -1, -1));
        }
        if (fixed && lines_ != 0) {
            p_.setPen(linePen());
            p_.drawLine(rect.topRight(), rect.bottomRight());
            p_.drawLine(rect.bottomLeft(), rect.bottomRight());
        }
        if (cell.text().empty()) return;
        QFont font = cell.font() ? forms::fontOf(*cell.font()) : defaultFont_;
        // The headers of the focus cell's row and column stand out.
        CellId f = grid_.focusCell();
        if (fixed && !f.isNone() && (row.index == f.row || column.index == f.column)) font.setWeight(QFont::DemiBold);
        p_.setFont(font);
        p_.setPen(text);
        int flags = static_cast<int>(alignmentOf(cell.format()));
        if (cell.format() & textformat::WordBreak) flags |= Qt::TextWordWrap;
        QString shown = forms::fromGbk(cell.text());
        if (cell.format() & textformat::SingleLine) shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
        p_.drawText(rect.adjusted(2, 1, -2, -1), flags, shown);
    }

    // Lines over the data area: 1 horizontal, 2 vertical, 3 both, 0 none.
    void paintDataLines() {
        const bool horizontal = lines_ == 1 || lines_ == 3;
        const bool vertical = lines_ == 2 || lines_ == 3;
        if (!horizontal && !vertical) return;
        std::vector<Band> dataRows, dataColumns;
        for (const Band& b : rows_)
            if (b.index >= grid_.fixedRowCount()) dataRows.push_back(b);
        for (const Band& b : columns_)
            if (b.index >= grid_.fixedColumnCount()) dataColumns.push_back(b);
        if (dataRows.empty() || dataColumns.empty()) return;
        const int left = dataColumns.front().start, top = dataRows.front().start;
        const int right = dataColumns.back().start + dataColumns.back().extent - 1;
        const int bottom = dataRows.back().start + dataRows.back().extent - 1;
        p_.setPen(linePen());
        if (vertical) {
            for (const Band& c : dataColumns) p_.drawLine(c.start + c.extent - 1, top, c.start + c.extent - 1, bottom);
            if (!horizontal) p_.drawLine(left, bottom, right, bottom);
        }
        if (horizontal) {
            for (const Band& r : dataRows) p_.drawLine(left, r.start + r.extent - 1, right, r.start + r.extent - 1);
            if (!vertical) p_.drawLine(right, top, right, bottom);
        }
    }

    void paintEmptyArea(const QRect& area, int right, int bottom) {
        QColor empty = settingColour(grid_, gp::EmptyAreaColor, QPalette::Base);
        if (right <= area.right()) p_.fillRect(QRect(QPoint(right, area.top()), area.bottomRight()), empty);
        if (bottom <= area.bottom()) p_.fillRect(QRect(QPoint(area.left(), bottom), QPoint(right - 1, area.bottom())), empty);
    }

    void paintBorder() {
        const QPalette& pal = grid_.palette();
        const QRect all = grid_.rect();
        switch (grid_.settings()[gp::BorderStyle]) {
            case 1: qDrawShadePanel(&p_, all, pal, true, 2); break;
            case 2: qDrawShadePanel(&p_, all, pal, false, 3); break;
            case 3: qDrawShadePanel(&p_, all, pal, true, 1); break;
            case 4:
                qDrawShadePanel(&p_, all, pal, false, 3);
                qDrawShadePanel(&p_, all.adjusted(3, 3, -3, -3), pal, true, 2);
                break;
            case 5: qDrawPlainRect(&p_, all, pal.color(QPalette::WindowText), 1); break;
            default: break;
        }
    }

    const CGridCtrl& grid_;
    QPainter& p_;
    QFont defaultFont_;
    QColor fixedBack_, cellBack_, cellText_, focus_, selectionBack_, selectionText_, fixedText_, line_;
    int lineWidth_ = 0;
    int32_t lines_ = 0;
    std::vector<Band> rows_, columns_;
};

}  // namespace

void paintGrid(const CGridCtrl& grid, QPainter& painter, const QRect& clip) { Painter(grid, painter).paint(clip); }

}  // namespace grid
