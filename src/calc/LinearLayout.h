// The one-plate layout computed step by step: the sheet count starts at
// ceil(T / ups) and rises by one sheet until the shares fit, every share
// rounded up with ceilByText on its double quotient. This is the literal form
// of the rule; it can take millions of steps on orders that mix very large and
// very small quantities on few slots. It serves as the reference against
// which tests and the benchmark check layoutOnePlate, which gives the same
// result by bisection; the program itself uses layoutOnePlate.
#pragma once

#include <cstdint>
#include <span>

#include "calc/PlateLayout.h"

namespace calc {

// Same contract and results as layoutOnePlate, including upsPerPlate < 1.
PlateLayout layoutOnePlateLinear(std::span<const int32_t> quantities, int32_t upsPerPlate);

}  // namespace calc
