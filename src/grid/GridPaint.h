// Plain painting of a grid: cell backgrounds and texts, grid lines, the
// empty area and the border.
#pragma once

class QPainter;
class QRect;

namespace grid {

class CGridCtrl;

// Paints the part of the grid inside `clip` (widget coordinates).
void paintGrid(const CGridCtrl& grid, QPainter& painter, const QRect& clip);

}  // namespace grid
