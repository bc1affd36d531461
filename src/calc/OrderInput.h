// Reading the order grid into the order model, tidying the grid on the way,
// the grid's cells in style order read and written whole (for order files),
// and the checks that refuse an order before a calculation starts.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace calc {

// Rebuilds the order model from the order grid (quantity columns 1 to 3, read
// column by column, data rows only), rewrites each valid cell as its plain
// decimal quantity and empties every other cell, and refreshes the count
// label "共N款合计T个". The quantity columns are switched to Text first.
void recountOrder();

// How many quantity cells the order grid has: three columns of all its data
// rows (150 with the 50 rows it starts with).
int32_t orderCellCount();

// The quantity cells in style order (column 1 from row 1 down, then columns
// 2 and 3), each read as recountOrder reads it: its quantity, or 0 for a cell
// that holds none. The grid is left as it is.
std::vector<int32_t> orderCells();

// True when any quantity cell holds text, valid or not.
bool orderGridHoldsAnything();

// Writes `cells` in style order into the quantity cells, replacing all they
// held (0, and every cell past the end of `cells`, is left empty), then
// recounts.
void fillOrderCells(std::span<const int32_t> cells);

// The order grid's key-released event: recounts after Delete, or after 'V' or
// 'X' with Ctrl alone held (paste and cut); any other key does nothing.
void onOrderKeyReleased(int32_t keyCode, int32_t keyState);

// The order grid's editor-opening event: the quantity columns become Number
// columns, so the editor takes numbers only.
void onOrderEditorOpening();

// The two refusals before a calculation (an empty order; more styles than
// twice the ups per plate), each with its message. True when it may start.
// Uses the order model as recounted and upsPerPlate as just read.
bool checkOrderForCompute();

}  // namespace calc
