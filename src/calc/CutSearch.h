// Dividing an order over two plates by cutting a sequence of its styles in
// two: the best cut of one sequence, and the search that tries the sorted
// order and then random orderings of it.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace calc {

struct Cut {
    bool found = false;
    int32_t sheets = 0;  // both plates together
    int32_t sheetsOne = 0, sheetsTwo = 0;
    std::vector<int32_t> first, second;
};

// The admissible cut with the fewest sheets (both parts hold more than
// `minStyles` styles); ties keep the earliest cut. Quick: most cuts are ruled
// out without laying them out (see bestCutBelow).
Cut bestCut(std::span<const int32_t> sequence, int32_t upsPerPlate, int32_t minStyles);

// The same cut found by laying out both parts of every admissible cut anew:
// the straightforward evaluation that bestCut must always agree with.
Cut referenceBestCut(std::span<const int32_t> sequence, int32_t upsPerPlate, int32_t minStyles);

// The cut bestCut gives, but only when it has strictly fewer sheets than
// `below`; otherwise found = false. This is what a search that already holds
// a division of `below` sheets asks for each new sequence.
Cut bestCutBelow(std::span<const int32_t> sequence, int32_t upsPerPlate, int32_t minStyles, int64_t below);

// The bound on the styles of each part that makes both parts fit on their
// plates: each part needs more than n - ups - 1 styles (never below 0).
int32_t minStylesForCut(size_t styles, int32_t upsPerPlate);

// The cut search on its own, with a seeded generator instead of the
// program's clock-seeded one: the best cut of the stably sorted quantities,
// then of `trials` random orderings, keeping a division only when it has
// strictly fewer sheets. The same seed gives the same result. With a time
// limit above 0 the trials stop once it has passed (the sorted cut is always
// tried). `afterTrial`, when given, sees the search after every trial.
struct CutSearch {
    Cut best;
    int32_t trialsRun = 0;
    bool timedOut = false;
};
CutSearch searchCuts(std::span<const int32_t> quantities, int32_t upsPerPlate, int32_t trials, uint64_t seed,
                     double timeLimitSeconds = 0, const std::function<void(const CutSearch&)>& afterTrial = {});

}  // namespace calc
