// The best cut of a sequence of styles, and the seeded cut search.
#include "calc/CutSearch.h"

#include <algorithm>
#include <chrono>
#include <random>

#include "calc/PlateLayout.h"

namespace calc {

Cut bestCut(std::span<const int32_t> sequence, int32_t upsPerPlate, int32_t minStyles) {
    Cut best;
    const size_t n = sequence.size();
    const int64_t m = minStyles;
    for (size_t k = 1; k < n; ++k) {
        if (static_cast<int64_t>(k) <= m || static_cast<int64_t>(n - k) <= m) continue;
        std::span<const int32_t> first = sequence.first(k), second = sequence.subspan(k);
        PlateLayout one = layoutOnePlate(first, upsPerPlate);
        PlateLayout two = layoutOnePlate(second, upsPerPlate);
        // A part that does not fit on its plate has no sheet count to compare;
        // the bound the calculation passes never lets that happen.
        if (!one.ok || !two.ok) continue;
        const int32_t sheets = one.sheets + two.sheets;
        if (best.found && sheets >= best.sheets) continue;  // ties keep the earlier cut
        best.found = true;
        best.sheets = sheets;
        best.sheetsOne = one.sheets;
        best.sheetsTwo = two.sheets;
        best.first.assign(first.begin(), first.end());
        best.second.assign(second.begin(), second.end());
    }
    return best;
}

Cut bestCutBelow(std::span<const int32_t> sequence, int32_t upsPerPlate, int32_t minStyles, int64_t below) {
    Cut cut = bestCut(sequence, upsPerPlate, minStyles);
    if (cut.found && cut.sheets >= below) return Cut{};
    return cut;
}

int32_t minStylesForCut(size_t styles, int32_t upsPerPlate) {
    const int64_t bound = static_cast<int64_t>(styles) - upsPerPlate - 1;
    return bound >= 1 ? static_cast<int32_t>(bound) : 0;
}

CutSearch searchCuts(std::span<const int32_t> quantities, int32_t upsPerPlate, int32_t trials, uint64_t seed,
                     double timeLimitSeconds, const std::function<void(const CutSearch&)>& afterTrial) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const int32_t m = minStylesForCut(quantities.size(), upsPerPlate);
    std::vector<int32_t> sequence(quantities.begin(), quantities.end());
    std::stable_sort(sequence.begin(), sequence.end());
    CutSearch search;
    search.best = bestCut(sequence, upsPerPlate, m);
    if (!search.best.found) return search;
    std::mt19937_64 random(seed);
    for (int32_t t = 0; t < trials; ++t) {
        if (timeLimitSeconds > 0 && std::chrono::duration<double>(Clock::now() - start).count() >= timeLimitSeconds) {
            search.timedOut = true;
            break;
        }
        std::shuffle(sequence.begin(), sequence.end(), random);
        Cut trial = bestCut(sequence, upsPerPlate, m);
        ++search.trialsRun;
        if (trial.found && trial.sheets < search.best.sheets) search.best = std::move(trial);
        if (afterTrial) afterTrial(search);
    }
    return search;
}

}  // namespace calc
