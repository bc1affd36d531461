// The loop of the two-plate search, shared by the window and the command
// line: the best cut of the stably sorted order, then one ordering per trial
// from a source the caller chooses, a trial's cut kept only when it has
// strictly fewer sheets than the best so far.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "calc/CutSearch.h"

namespace calc {

// Puts the next trial's ordering of the order's quantities into `sequence`,
// which holds the previous trial's ordering (the sorted order before the
// first trial).
using TrialOrderings = std::function<void(std::vector<int32_t>& sequence)>;

// The command line's orderings: std::mt19937_64(seed), each trial a
// std::shuffle of the previous trial's ordering. The same seed gives the same
// orderings.
TrialOrderings seededOrderings(uint64_t seed);

// What the caller sees of the trials; every hook may be left empty.
struct TrialHooks {
    // Before trial `trial` (1-based); false ends the search without it.
    std::function<bool(int32_t trial)> beforeTrial;
    // The best cut has just been replaced by a trial's.
    std::function<void(const Cut& best)> improved;
    // After trial `trial`; false ends the search.
    std::function<bool(int32_t trial)> afterTrial;
};

class CutTrials {
public:
    // Starts from the best cut of the stably sorted quantities, with `minStyles`
    // the bound on each part (minStylesForCut).
    CutTrials(std::span<const int32_t> quantities, int32_t upsPerPlate, int32_t minStyles);

    // The best cut so far; not found when the sorted order has no admissible
    // cut (then no trial can have one either, and run does nothing).
    const Cut& best() const { return best_; }

    // Up to `trials` trials, each cutting the ordering `orderings` gives with
    // bestCutBelow the best so far. Returns the trials whose cut was tried.
    int32_t run(int32_t trials, const TrialOrderings& orderings, const TrialHooks& hooks = {});

    // Cuts the trials' orderings with referenceBestCut instead, for measuring
    // the quick cut against it; the results are the same.
    void useReferenceCut() { reference_ = true; }

private:
    std::vector<int32_t> sequence_;
    int32_t ups_;
    int32_t minStyles_;
    Cut best_;
    bool reference_ = false;
};

}  // namespace calc
