// Steps shared by the bisecting layout and the step-by-step reference loop:
// collecting the valid styles, the refusal when they do not fit, and the
// figures derived from a final sheet count.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "calc/PlateLayout.h"

namespace calc::detail {

struct ValidStyles {
    std::vector<int32_t> values;  // in input order
    int64_t total = 0;
};

ValidStyles collectValid(std::span<const int32_t> quantities);

// The layout for ups < 1: nothing can be placed.
PlateLayout noSlots(int64_t total);

// The layout when the styles outnumber the slots: only the first estimate of
// the sheet count and the total are given.
PlateLayout tooManyStyles(int64_t total, int32_t upsPerPlate);

// The complete layout for the final sheet count and the slots given to each
// style (whose sum is at most upsPerPlate).
PlateLayout finish(const ValidStyles& styles, int32_t upsPerPlate, int32_t sheets, std::vector<int32_t> slots);

}  // namespace calc::detail
