// The two-plate search's loop and the seeded orderings of the command line.
#include "calc/CutTrials.h"

#include <algorithm>
#include <random>

namespace calc {

TrialOrderings seededOrderings(uint64_t seed) {
    return [random = std::mt19937_64(seed)](std::vector<int32_t>& sequence) mutable {
        std::shuffle(sequence.begin(), sequence.end(), random);
    };
}

CutTrials::CutTrials(std::span<const int32_t> quantities, int32_t upsPerPlate, int32_t minStyles)
    : sequence_(quantities.begin(), quantities.end()), ups_(upsPerPlate), minStyles_(minStyles) {
    // Equal quantities keep their style order, so that the sorted cut is the
    // same for every source of orderings.
    std::stable_sort(sequence_.begin(), sequence_.end());
    best_ = bestCut(sequence_, ups_, minStyles_);
}

int32_t CutTrials::run(int32_t trials, const TrialOrderings& orderings, const TrialHooks& hooks) {
    if (!best_.found) return 0;
    int32_t run = 0;
    for (int32_t t = 1; t <= trials; ++t) {
        if (hooks.beforeTrial && !hooks.beforeTrial(t)) break;
        orderings(sequence_);
        Cut trial = reference_ ? referenceBestCut(sequence_, ups_, minStyles_)
                               : bestCutBelow(sequence_, ups_, minStyles_, best_.sheets);
        ++run;
        // Only a strictly better cut replaces the best: ties keep the earlier one.
        if (trial.found && trial.sheets < best_.sheets) {
            best_ = std::move(trial);
            if (hooks.improved) hooks.improved(best_);
        }
        if (hooks.afterTrial && !hooks.afterTrial(t)) break;
    }
    return run;
}

}  // namespace calc
