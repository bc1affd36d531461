// Reading the order grid into the order model, tidying the grid on the way,
// and the checks that refuse an order before a calculation starts.
#pragma once

#include <cstdint>

namespace calc {

// Rebuilds the order model from the order grid (quantity columns 1 to 3, read
// column by column, data rows only), rewrites each valid cell as its plain
// decimal quantity and empties every other cell, and refreshes the count
// label "共N款合计T个". The quantity columns are switched to Text first.
void recountOrder();

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
