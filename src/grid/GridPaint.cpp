// Painting of a grid: the window background, the header bands, the cell area
// and the empty area; then the cells in four passes (the fixed corner, the
// fixed columns, the fixed rows, the data cells), the grid lines over the data
// area and the border. Only the rows and columns shown are laid out, and only
// those that meet the paint area are drawn.
#include "grid/GridPaint.h"

#include <QFontInfo>
#include <QPainter>
#include <QPalette>
#include <qdrawutil.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <vector>

#include "forms/Units.h"
#include "grid/GridCtrl.h"
#include "platform/Gbk.h"

namespace grid {
namespace {

namespace gp = forms::gridprop;

// The size of the check-box glyphs.
constexpr int kCheckGlyph = 13;
// Room between a cell's edges and its text.
constexpr int kTextMarginX = 2, kTextMarginY = 1;

// A row or column shown, with its start and extent in pixels.
struct Band {
    int32_t index;
    int start;
    int extent;
    int end() const { return start + extent; }
    bool meets(int from, int to) const { return end() > from && start < to; }
};

// Where the rows and columns of the view lie. The fixed ones start at the
// top left of the cell area; the data ones from the first row and column
// scrolled to, where the grid places them; any that would lie under the
// headers are left out. Extents of 0 take no space.
struct Layout {
    std::vector<Band> fixedRows, fixedColumns, rows, columns;
    int fixedBottom = 0, fixedRight = 0;  // end of the header bands
    int rowsEnd = 0, columnsEnd = 0;      // end of the last row and column shown
};

template <typename Extent>
void layOut(int32_t first, int32_t count, int origin, int limit, Extent extentOf, std::vector<Band>& bands, int& end,
            int hiddenBefore = INT32_MIN) {
    long long at = origin;
    for (int32_t i = first; i < count && at < limit; ++i) {
        int extent = extentOf(i);
        if (extent > 0 && at + extent > hiddenBefore) bands.push_back({i, static_cast<int>(at), extent});
        at += extent;
    }
    end = static_cast<int>(std::min<long long>(at, limit));
}

Layout layoutOf(const CGridCtrl& grid) {
    Layout l;
    const QRect area = grid.cellArea();
    const int bottom = area.bottom() + 1, right = area.right() + 1;
    auto height = [&grid](int32_t r) { return grid.rowHeight(r); };
    auto width = [&grid](int32_t c) { return grid.columnWidth(c); };
    const int32_t fixedRows = std::min(grid.fixedRowCount(), grid.rowCount());
    const int32_t fixedColumns = std::min(grid.fixedColumnCount(), grid.columnCount());
    layOut(0, fixedRows, area.top(), bottom, height, l.fixedRows, l.fixedBottom);
    layOut(0, fixedColumns, area.left(), right, width, l.fixedColumns, l.fixedRight);
    l.rowsEnd = l.fixedBottom;
    l.columnsEnd = l.fixedRight;
    if (grid.columnCount() == 0 || grid.rowCount() == 0) return l;
    const int32_t firstRow = std::max(grid.scrollRow(), fixedRows);
    const int32_t firstColumn = std::max(grid.scrollColumn(), fixedColumns);
    if (firstRow < grid.rowCount())
        layOut(firstRow, grid.rowCount(), grid.cellRect(firstRow, 0).top(), bottom, height, l.rows, l.rowsEnd,
               l.fixedBottom);
    if (firstColumn < grid.columnCount())
        layOut(firstColumn, grid.columnCount(), grid.cellRect(0, firstColumn).left(), right, width, l.columns,
               l.columnsEnd, l.fixedRight);
    l.rowsEnd = std::max(l.rowsEnd, l.fixedBottom);
    l.columnsEnd = std::max(l.columnsEnd, l.fixedRight);
    return l;
}

// A colour setting; values with the top byte set stand for the system colour.
QColor settingColour(const CGridCtrl& grid, uint32_t own, QPalette::ColorRole fallback) {
    QColor c = forms::colourOf(static_cast<uint32_t>(grid.settings()[own]));
    return c.isValid() ? c : grid.palette().color(fallback);
}

bool isFixedCell(const CGridCtrl& grid, int32_t row, int32_t column) {
    return row < grid.fixedRowCount() || column < grid.fixedColumnCount();
}

int32_t typeOf(const CGridCtrl& grid, int32_t column) {
    const ColumnTypeRecord* record = grid.columnTypeRecord(column);
    return record ? record->type : coltype::Text;
}

Qt::Alignment alignmentOf(uint32_t format) {
    Qt::Alignment a = (format & textformat::Centre)  ? Qt::AlignHCenter
                      : (format & textformat::Right) ? Qt::AlignRight
                                                     : Qt::AlignLeft;
    // Vertical centring applies to a single line only; other texts start at the top.
    bool vcentre = (format & textformat::VerticalCentre) && (format & textformat::SingleLine);
    return a | (vcentre ? Qt::AlignVCenter : Qt::AlignTop);
}

// The check-box glyphs: a framed white box, with a tick when checked.
void drawCheckGlyph(QPainter& p, const QRect& box, bool checked) {
    p.fillRect(box, Qt::white);
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(box.adjusted(0, 0, -1, -1));
    if (!checked) return;
    QPen tick(Qt::black, 2);
    tick.setCapStyle(Qt::FlatCap);
    p.setPen(tick);
    const QPoint o = box.topLeft();
    const QPoint points[] = {o + QPoint(3, 6), o + QPoint(5, 9), o + QPoint(10, 3)};
    p.drawPolyline(points, 3);
}

}  // namespace

void drawCellPicture(QPainter& p, const QRect& cell, const QImage& picture, int32_t mode) {
    p.save();
    p.setClipRect(cell, Qt::IntersectClip);
    const QSize natural = picture.size();
    auto centredAt = [&cell](QSize size) {
        return QRect(QPoint(cell.left() + (cell.width() - size.width()) / 2,
                            cell.top() + (cell.height() - size.height()) / 2),
                     size);
    };
    switch (mode) {
        case picturemode::Stretched:
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(cell, picture);
            break;
        case picturemode::Tiled: {
            QBrush brush(picture);
            brush.setTransform(QTransform::fromTranslate(cell.left(), cell.top()));
            p.fillRect(cell, brush);
            break;
        }
        case picturemode::Centred: p.drawImage(centredAt(natural).topLeft(), picture); break;
        case picturemode::Fitted:
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(centredAt(natural.scaled(cell.size(), Qt::KeepAspectRatio)), picture);
            break;
        default: p.drawImage(cell.topLeft(), picture); break;  // top left, natural size
    }
    p.restore();
}

namespace {

class Painter {
public:
    Painter(const CGridCtrl& grid, QPainter& p) : grid_(grid), p_(p), layout_(layoutOf(grid)) {
        const QPalette& pal = grid.palette();
        const uint32_t fixedSetting = static_cast<uint32_t>(grid.settings()[gp::FixedBackColor]);
        fixedBack_ = forms::colourOf(fixedSetting == kDefaultColour ? grid.buttonFaceColour() : fixedSetting);
        if (!fixedBack_.isValid()) fixedBack_ = pal.color(QPalette::Button);
        cellBack_ = settingColour(grid, gp::CellBackColor, QPalette::Base);
        cellText_ = settingColour(grid, gp::CellTextColor, QPalette::Text);
        focus_ = settingColour(grid, gp::FocusColor, QPalette::Text);
        selectionBack_ = settingColour(grid, gp::SelectionBackColor, QPalette::Highlight);
        selectionText_ = grid.settings()[gp::SelectionTextColor] == grid.settings()[gp::SelectionBackColor]
                             ? pal.color(QPalette::HighlightedText)
                             : settingColour(grid, gp::SelectionTextColor, QPalette::HighlightedText);
        fixedText_ = pal.color(QPalette::WindowText);
        empty_ = settingColour(grid, gp::EmptyAreaColor, QPalette::Base);
        lines_ = grid.settings()[gp::GridLines];
        lineWidth_ = std::max(grid.settings()[gp::GridLineWidth], 0);
        linePen_ = QPen(settingColour(grid, gp::GridLineColor, QPalette::Mid), lineWidth_, Qt::SolidLine, Qt::FlatCap);
    }

    void paint(const QRect& clip) {
        p_.fillRect(clip, grid_.palette().color(QPalette::Window));
        const QRect area = grid_.cellArea();
        clip_ = clip & area;
        if (!clip_.isEmpty()) {
            p_.save();
            paintBands(area);
            paintCells();
            paintLines();
            p_.restore();
        }
        paintBorder();
    }

private:
    bool horizontalLines() const { return lines_ == 1 || lines_ == 3; }
    bool verticalLines() const { return lines_ == 2 || lines_ == 3; }

    void fill(const QRect& r, const QColor& c) {
        if (r.isValid()) p_.fillRect(r, c);
    }

    void paintBands(const QRect& area) {
        p_.setClipRect(clip_);
        const Layout& l = layout_;
        const int left = area.left(), top = area.top();
        fill(QRect(QPoint(left, top), QPoint(l.columnsEnd - 1, l.fixedBottom - 1)), fixedBack_);
        fill(QRect(QPoint(left, l.fixedBottom), QPoint(l.fixedRight - 1, l.rowsEnd - 1)), fixedBack_);
        fill(QRect(QPoint(l.fixedRight, l.fixedBottom), QPoint(l.columnsEnd - 1, l.rowsEnd - 1)), cellBack_);
        fill(QRect(QPoint(l.columnsEnd, top), area.bottomRight()), empty_);
        fill(QRect(QPoint(left, l.rowsEnd), QPoint(l.columnsEnd - 1, area.bottom())), empty_);
    }

    // One pass over rows x columns, clipped to `region` so that data cells
    // slid under the headers do not cover them.
    void pass(const std::vector<Band>& rows, const std::vector<Band>& columns, const QRect& region) {
        const QRect bounds = region & clip_;
        if (bounds.isEmpty()) return;
        p_.setClipRect(bounds);
        for (const Band& row : rows) {
            if (!row.meets(bounds.top(), bounds.bottom() + 1)) continue;
            for (const Band& column : columns)
                if (column.meets(bounds.left(), bounds.right() + 1)) paintCell(row, column);
        }
    }

    void paintCells() {
        const Layout& l = layout_;
        const QRect area = grid_.cellArea();
        const QPoint dataTopLeft(l.fixedRight, l.fixedBottom);
        pass(l.fixedRows, l.fixedColumns, QRect(area.topLeft(), dataTopLeft - QPoint(1, 1)));
        pass(l.rows, l.fixedColumns, QRect(QPoint(area.left(), l.fixedBottom), QPoint(l.fixedRight - 1, area.bottom())));
        pass(l.fixedRows, l.columns, QRect(QPoint(l.fixedRight, area.top()), QPoint(area.right(), l.fixedBottom - 1)));
        pass(l.rows, l.columns, QRect(dataTopLeft, area.bottomRight()));
    }

    void paintCell(const Band& row, const Band& column) {
        const CGridCellBase& cell = *grid_.cell(row.index, column.index);
        const QRect rect(column.start, row.start, column.extent, row.extent);
        const bool fixed = isFixedCell(grid_, row.index, column.index);
        // Keep clear of the lines on the right and bottom edges.
        const bool lineRight = fixed ? lines_ != 0 : verticalLines();
        const bool lineBottom = fixed ? lines_ != 0 : horizontalLines();
        const int half = lineWidth_ / 2;
        const QRect inner = rect.adjusted(half, half, -(half + (lineRight ? 1 : 0)), -(half + (lineBottom ? 1 : 0)));

        const QColor own = forms::colourOf(cell.backColour());
        const QColor ownText = forms::colourOf(cell.textColour());
        QColor text = ownText.isValid() ? ownText : fixed ? fixedText_ : cellText_;
        if (cell.hasState(cellstate::Focused)) {
            fill(inner, own.isValid() ? own : fixed ? fixedBack_ : cellBack_);
            p_.setPen(QPen(focus_, 1));
            p_.setBrush(Qt::NoBrush);
            if (inner.width() > 1 && inner.height() > 1) p_.drawRect(inner.adjusted(0, 0, -1, -1));
            text = focus_;
        } else if (cell.hasState(cellstate::Marked)) {
            fill(inner, selectionBack_);
            text = selectionText_;
        } else if (own.isValid()) {
            fill(inner, own);
        }
        if (fixed && lines_ != 0) {
            p_.setPen(linePen_);
            p_.drawLine(rect.topRight(), rect.bottomRight());
            p_.drawLine(rect.bottomLeft(), rect.bottomRight());
        }
        paintContents(cell, row.index, column.index, inner, text);
    }

    void paintContents(const CGridCellBase& cell, int32_t row, int32_t column, const QRect& inner, const QColor& text) {
        if (inner.isEmpty()) return;
        const int32_t type = typeOf(grid_, column);
        if (type == coltype::Picture && !cell.picture().isNull()) {
            drawCellPicture(p_, inner, cell.picture(), grid_.pictureMode(column));
            return;
        }
        if (type == coltype::CheckBox && grid_.isDataCell(row, column)) {
            if (inner.width() >= kCheckGlyph && inner.height() >= kCheckGlyph) {
                QRect box(0, 0, kCheckGlyph, kCheckGlyph);
                box.moveCenter(inner.center());
                drawCheckGlyph(p_, box, cell.checked());
            }
            return;
        }
        QString shown = displayedText(grid_, row, column);
        if (shown.isEmpty()) return;
        const uint32_t format = cell.format();
        int flags = static_cast<int>(alignmentOf(format));
        if (format & textformat::SingleLine) {
            shown.replace(QLatin1String("\r\n"), QLatin1String(" "));
            shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
            shown.replace(QLatin1Char('\r'), QLatin1Char(' '));
        } else if (format & textformat::WordBreak) {
            flags |= Qt::TextWordWrap;
        }
        const QFont font = displayFont(grid_, row, column);
        const QRect textRect = inner.adjusted(kTextMarginX, kTextMarginY, -kTextMarginX, -kTextMarginY);
        p_.setFont(font);
        p_.setPen(text);
        p_.drawText(textRect, flags, shown);
        // A face of one weight draws the emphasis the same as the normal
        // text: the text is drawn again a pixel to the right to thicken it.
        if (isEmphasisedHeader(grid_, row, column) && !faceHasHeavierCut(font))
            p_.drawText(textRect.translated(1, 0), flags, shown);
    }

    // Lines over the data area: 1 horizontal, 2 vertical, 3 both, 0 none.
    void paintLines() {
        const Layout& l = layout_;
        if (lines_ == 0 || l.rows.empty() || l.columns.empty()) return;
        p_.setClipRect(clip_);
        p_.setPen(linePen_);
        const int top = std::max(l.rows.front().start, l.fixedBottom);
        const int left = std::max(l.columns.front().start, l.fixedRight);
        const int bottom = l.rows.back().end() - 1, right = l.columns.back().end() - 1;
        if (verticalLines()) {
            for (const Band& c : l.columns) p_.drawLine(c.end() - 1, top, c.end() - 1, bottom);
            if (!l.fixedColumns.empty()) p_.drawLine(left - 1, top, left - 1, bottom);
            if (!horizontalLines()) p_.drawLine(left, bottom, right, bottom);
        }
        if (horizontalLines()) {
            for (const Band& r : l.rows) p_.drawLine(left, r.end() - 1, right, r.end() - 1);
            if (!l.fixedRows.empty()) p_.drawLine(left, top - 1, right, top - 1);
            if (!verticalLines()) p_.drawLine(right, top, right, bottom);
        }
    }

    void paintBorder() {
        const QPalette& pal = grid_.palette();
        const QRect all = grid_.rect();
        p_.setClipping(false);
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
    const Layout layout_;
    QRect clip_;
    QColor fixedBack_, cellBack_, cellText_, focus_, selectionBack_, selectionText_, fixedText_, empty_;
    int32_t lines_ = 0;
    int lineWidth_ = 0;
    QPen linePen_;
};

// ---- Dates -----------------------------------------------------------------------

// Reads 1 to `most` digits at `at`; false when there are none.
bool readNumber(std::string_view s, size_t& at, size_t most, int& value, size_t& digits) {
    value = 0;
    digits = 0;
    while (at < s.size() && digits < most && s[at] >= '0' && s[at] <= '9') {
        value = value * 10 + (s[at++] - '0');
        ++digits;
    }
    return digits > 0 && !(at < s.size() && s[at] >= '0' && s[at] <= '9');
}

bool skip(std::string_view s, size_t& at, std::string_view what) {
    if (s.substr(at, what.size()) != what) return false;
    at += what.size();
    return true;
}

// A time of day "H:MM" or "H:MM:SS" (the part that a date value drops).
bool readTime(std::string_view s, size_t& at) {
    int h = 0, m = 0, sec = 0;
    size_t n = 0;
    if (!readNumber(s, at, 2, h, n) || !skip(s, at, ":") || !readNumber(s, at, 2, m, n) || h > 23 || m > 59) return false;
    if (skip(s, at, ":") && (!readNumber(s, at, 2, sec, n) || sec > 59)) return false;
    return true;
}

}  // namespace

std::optional<std::string> reformatDate(std::string_view text, const std::string& format) {
    static const std::string yearMark = platform::utf8ToGbk("年"), monthMark = platform::utf8ToGbk("月"),
                             dayMark = platform::utf8ToGbk("日");
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    size_t at = 0, digits = 0;
    int year = 0, month = 0, day = 0;
    if (!readNumber(text, at, 4, year, digits) || digits == 3) return std::nullopt;
    if (digits <= 2) year += year < 30 ? 2000 : 1900;
    const bool chinese = text.substr(at, yearMark.size()) == yearMark;
    std::string_view separator = chinese ? std::string_view(yearMark) : text.substr(at, 1);
    if (!chinese && separator != "/" && separator != "-" && separator != ".") return std::nullopt;
    at += separator.size();
    if (!readNumber(text, at, 2, month, digits)) return std::nullopt;
    if (!skip(text, at, chinese ? std::string_view(monthMark) : separator)) return std::nullopt;
    if (!readNumber(text, at, 2, day, digits)) return std::nullopt;
    if (chinese) skip(text, at, dayMark);
    if (at < text.size()) {
        size_t before = at;
        while (at < text.size() && blank(text[at])) ++at;
        if (at == before || !readTime(text, at) || at != text.size()) return std::nullopt;
    }
    using namespace std::chrono;
    const year_month_day date{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                              std::chrono::day(static_cast<unsigned>(day))};
    if (!date.ok() || year < 100) return std::nullopt;
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_wday = static_cast<int>(weekday(sys_days(date)).c_encoding());
    tm.tm_yday = static_cast<int>((sys_days(date) - sys_days(std::chrono::year(year) / January / 1)).count());
    char out[256];
    const size_t n = std::strftime(out, sizeof out, format.c_str(), &tm);
    if (n == 0 && !format.empty()) return std::nullopt;
    return std::string(out, n);
}

QString displayedText(const CGridCtrl& grid, int32_t row, int32_t column) {
    const CGridCellBase* cell = grid.cell(row, column);
    if (!cell) return {};
    const std::string& text = cell->text();
    const ColumnTypeRecord* record = grid.columnTypeRecord(column);
    if (text.empty() || row < grid.fixedRowCount() || !record) return forms::fromGbk(text);
    if (record->type == coltype::Currency) return forms::fromGbk(record->prefix + text);
    if (record->type == coltype::Date) {
        std::optional<std::string> date = reformatDate(text, record->dateFormat.empty() ? kDateFormat : record->dateFormat);
        if (date) return forms::fromGbk(*date);
    }
    return forms::fromGbk(text);
}

bool isEmphasisedHeader(const CGridCtrl& grid, int32_t row, int32_t column) {
    const CellId focus = grid.focusCell();
    return grid.cell(row, column) && isFixedCell(grid, row, column) && !focus.isNone() &&
           (row == focus.row || column == focus.column);
}

bool faceHasHeavierCut(const QFont& font) {
    QFont normal(font);
    normal.setWeight(QFont::Normal);
    // The font database reports the weight asked for, whatever the face;
    // the face matched (its family and style) tells whether it is another cut.
    const QFontInfo asked(font), plain(normal);
    return asked.family() != plain.family() || asked.styleName() != plain.styleName();
}

QFont displayFont(const CGridCtrl& grid, int32_t row, int32_t column) {
    const CGridCellBase* cell = grid.cell(row, column);
    QFont font = forms::fontOf(cell && cell->font() ? *cell->font() : grid.defaultFont());
    // The headers of the focus cell's row and column stand out.
    if (isEmphasisedHeader(grid, row, column)) font.setWeight(QFont::DemiBold);
    return font;
}

void paintGrid(const CGridCtrl& grid, QPainter& painter, const QRect& clip) { Painter(grid, painter).paint(clip); }

}  // namespace grid
