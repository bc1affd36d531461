// The result grids and the text report: start-up configuration of every grid,
// clearing and filling the result grids, the two radio handlers, the report
// sections and the sheet-difference label.
#pragma once

#include <cstdint>
#include <span>

#include "calc/PlateLayout.h"

namespace calc {

// Headers, row counts and column widths of the order grid and the result grids.
void setUpGrids();
// Per-style grids back to their header row; summary values emptied (labels stay).
void clearResultTables();
// Lays the list out with the order's upsPerPlate and shows it in the A grids
// (target 1) or the B grids (target 2).
void fillPlateTables(std::span<const int32_t> quantities, int32_t target);
// Click handlers of 单选框1 (the whole order on one plate) and 单选框2 (the two plates).
void onOnePlateClicked();
void onTwoPlatesClicked();

// The report's order lines and plate line, appended to the report box.
void reportOrder();
// Appends the one-plate section for the layout and records its sheet count.
void reportOnePlate(const PlateLayout& layout);
// Replaces the report by the saved report plus the two-plate section for the
// two plates' sheet counts, and records their sum.
void reportTwoPlates(int32_t sheetsOne, int32_t sheetsTwo);
// Ends the two-plate section of the proven-best division with whether it is
// proven, or the sheets no division can go below.
void reportDivisionProof(bool proven, int64_t lowerBound);
// "相差N张" in 标签A1, made visible.
void showSheetDifference();

}  // namespace calc
