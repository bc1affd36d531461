// The division of an order over several plates with the fewest sheets: exact
// for two plates wherever the search finishes within its time budget, and
// for more plates where the order is small enough; otherwise the best
// division found, with a lower bound that no division can beat.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "calc/PlateLayout.h"

namespace calc {

// Where a running division search stands.
struct DivisionProgress {
    double elapsedSeconds = 0;
    int64_t bestSheets = 0;  // sheets of the best division found so far
    int64_t lowerBound = 0;  // no division has fewer sheets
};

struct Division;

struct DivisionOptions {
    // The search stops after this long with what it has; the answer is then
    // the best division found, with its lower bound. At least one complete
    // division is always returned, however small the budget; 0 or less (or
    // NaN) asks for that first division only.
    double timeLimitSeconds = 2.0;
    // Called on the searching thread about ten times a second once the
    // search has run for a tenth of a second (not at all for quicker ones).
    std::function<void(const DivisionProgress&)> progress;
    // Asked right after each progress call; true stops the search as if its
    // time had run out (the best division found so far is returned).
    std::function<bool()> stopRequested;
    // Two plates only: called on the searching thread with each division that
    // has fewer sheets than every one the search held before it.
    std::function<void(const Division&)> improved;
};

// One plate of a division.
struct PlateGroup {
    std::vector<size_t> styles;       // positions in the list given, ascending
    std::vector<int32_t> quantities;  // the quantities at those positions, in that order
    PlateLayout layout;               // layoutOnePlate(quantities, ups)
};

struct Division {
    // false: no division into that many plates exists, because there are
    // fewer valid styles than plates, more than plates x ups, ups < 1 or
    // plates < 1. Nothing else is filled in then.
    bool ok = false;
    // true: no division over this many plates has fewer sheets. false: the
    // time budget ran out first; lowerBound then says how far off it may be.
    bool optimal = false;
    int64_t sheets = 0;      // all plates together: the sum of their layouts' sheets
    int64_t lowerBound = 0;  // no division has fewer sheets; equals sheets when optimal
    // Every plate holds at least one style and every valid style is on exactly
    // one plate. Plates are given in the order of their first style.
    std::vector<PlateGroup> plates;
    double elapsedSeconds = 0;
};

// The two-plate division with the fewest sheets. Quantities outside
// 1..99,999,999 are not styles and are left out, as in the one-plate layout.
// Never has more sheets than the best cut of the sorted order.
Division divideTwoPlates(std::span<const int32_t> quantities, int32_t upsPerPlate, const DivisionOptions& options = {});

// The same over `plates` plates (>= 1; 1 is the one-plate layout, 2 is
// divideTwoPlates).
Division divideOverPlates(std::span<const int32_t> quantities, int32_t upsPerPlate, int32_t plates,
                          const DivisionOptions& options = {});

}  // namespace calc
