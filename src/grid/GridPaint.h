// Painting of a grid: the background bands, the cells in four passes, the
// grid lines and the border; and what a cell shows, for the painter and for
// assistive technology alike.
#pragma once

#include <QFont>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class QImage;
class QPainter;
class QRect;

namespace grid {

class CGridCtrl;

// Paints the part of the grid inside `clip` (widget coordinates).
void paintGrid(const CGridCtrl& grid, QPainter& painter, const QRect& clip);

// Draws a cell's picture inside `cell` by a picture mode (201 top left at
// natural size, 202 stretched, 203 tiled, 204 centred, 205 fitted keeping
// its proportions), clipped to the cell.
void drawCellPicture(QPainter& painter, const QRect& cell, const QImage& picture, int32_t mode);

// The text a cell shows: the stored text, with the currency prefix before a
// non-empty Currency text and a Date text that reads as a date re-formatted
// by the column's date format. Cells of fixed rows show their stored text.
// Empty outside the grid.
QString displayedText(const CGridCtrl& grid, int32_t row, int32_t column);

// The font a cell's text is drawn in: its own or the grid's default, semi-bold
// for the fixed cells in the focus cell's row and column.
QFont displayFont(const CGridCtrl& grid, int32_t row, int32_t column);

// A fixed cell in the focus cell's row or column, whose text stands out.
bool isEmphasisedHeader(const CGridCtrl& grid, int32_t row, int32_t column);

// Whether the font's weight selects a cut of its own: false for a face of one
// weight (such as the usual Chinese faces), where the painter thickens the
// text itself.
bool faceHasHeavierCut(const QFont& font);

// A text that reads as a date (year, month and day with "/", "-" or "."
// between them, an optional time of day after a blank, which is dropped),
// written out by the strftime `format`. None when the text is not a date.
std::optional<std::string> reformatDate(std::string_view text, const std::string& format);

}  // namespace grid
