// The searches of impostra-cli, each bounded by the time limit, with a
// progress line on standard error while one runs longer than a second.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "calc/CutSearch.h"
#include "calc/PlateDivision.h"

namespace cli {

// The division over `plates` plates (2 and more).
calc::Division runDivision(std::span<const int32_t> quantities, int32_t ups, int32_t plates,
                           double timeLimitSeconds);
// The divisions over each of `plateCounts` (2 and more), one search after
// another with the time limit each, under one progress line that names the
// count being searched.
std::vector<calc::Division> runDivisions(std::span<const int32_t> quantities, int32_t ups,
                                         std::span<const int32_t> plateCounts, double timeLimitSeconds);
// The window's cut search: the sorted cut, then `trials` seeded random orderings.
calc::CutSearch runCutSearch(std::span<const int32_t> quantities, int32_t ups, int32_t trials, uint64_t seed,
                             double timeLimitSeconds);

}  // namespace cli
