// The best cut of a sequence of styles, and the seeded cut search.
//
// The straightforward best cut lays out both parts of every cut. The quick
// one rules most cuts out by counting slots at two chosen sheet counts (one
// pass over the sequence for a run of cuts) and lays out exactly only the
// cuts that may beat the best division known; both always agree.
#include "calc/CutSearch.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "calc/CutTrials.h"
#include "calc/PlateLayout.h"

namespace calc {

Cut referenceBestCut(std::span<const int32_t> sequence, int32_t upsPerPlate, int32_t minStyles) {
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

namespace {

// The slots each style needs at `sheets` sheets, ceil(q / sheets), into
// `slots`, and their sum. One multiplication per style: the reciprocal is
// shrunk by 2^-49 so that an exact quotient never rounds above its integer,
// while a quotient with a remainder (at least 1 / sheets above an integer,
// that is at least 1e-8 of itself for quantities below 1e8) stays above it.
uint64_t slotsAt(const double* q, size_t count, uint32_t sheets, int32_t* slots) {
    const double inverse = (1.0 / sheets) * (1.0 - 0x1p-49);
    size_t i = 0;
    double used = 0;
#if defined(__SSE2__)
    const __m128d scale = _mm_set1_pd(inverse), one = _mm_set1_pd(1.0);
    __m128d sum = _mm_setzero_pd();
    for (; i + 2 <= count; i += 2) {
        const __m128d x = _mm_mul_pd(_mm_loadu_pd(q + i), scale);
        const __m128d whole = _mm_cvtepi32_pd(_mm_cvttpd_epi32(x));
        const __m128d up = _mm_add_pd(whole, _mm_and_pd(_mm_cmplt_pd(whole, x), one));
        sum = _mm_add_pd(sum, up);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(slots + i), _mm_cvttpd_epi32(up));
    }
    double lanes[2];
    _mm_storeu_pd(lanes, sum);
    used = lanes[0] + lanes[1];
#endif
    for (; i < count; ++i) {
        const double x = q[i] * inverse;
        const double whole = static_cast<double>(static_cast<int32_t>(x));
        const double up = whole + (whole < x ? 1.0 : 0.0);
        slots[i] = static_cast<int32_t>(up);
        used += up;
    }
    return static_cast<uint64_t>(used);
}

uint32_t ceilDivide(uint32_t q, uint32_t d) { return (q + d - 1) / d; }

// The fewest sheets at which a part's styles fit on the plate, found from a
// count known to be no higher. Between a count that does not fit and one
// that does, each style gives up its slots one at a time, its t-th at
// ceil(q / (t - 1)) sheets; the answer is the point at which the excess over
// the plate has been given up. The buffers are kept from one call to the next.
class PartSheets {
public:
    uint32_t fewest(std::span<const double> q, std::span<const uint32_t> whole, uint64_t total, uint32_t largest,
                    uint32_t ups, uint32_t low) {
        const size_t count = q.size();
        for (std::vector<int32_t>* v : {&lowSlots_, &highSlots_, &scratch_})
            if (v->size() < count) v->resize(count);
        uint32_t sheets = std::max<uint32_t>(low, 1);
        uint64_t used = slotsAt(q.data(), count, sheets, lowSlots_.data());
        if (used <= ups) return sheets;

        // At `largest` sheets every style needs one slot, and count <= ups.
        uint32_t high = largest;
        if (ups > count) high = static_cast<uint32_t>(std::min<uint64_t>(high, (total + (ups - count) - 1) / (ups - count)));
        uint64_t usedHigh = 0;
        bool haveHigh = false;
        // An estimate from the slots lost to rounding up at the count below,
        // a little generous so that it usually fits on the first try.
        const double margin = 1.0 + std::sqrt(static_cast<double>(count)) * 0.5;
        for (int attempt = 1; attempt <= 3 && !haveHigh; ++attempt) {
            const double lost = static_cast<double>(used) - static_cast<double>(total) / sheets;
            const double room = static_cast<double>(ups) - lost - attempt * margin;
            const double guess = room > 0.5 ? std::ceil(static_cast<double>(total) / room) : static_cast<double>(high);
            const uint32_t s = guess >= high ? high : std::max<uint32_t>(static_cast<uint32_t>(guess), sheets + 1);
            const uint64_t u = slotsAt(q.data(), count, s, highSlots_.data());
            if (u <= ups) {
                high = s;
                usedHigh = u;
                haveHigh = true;
            } else {
                sheets = s;
                used = u;
                lowSlots_.swap(highSlots_);
            }
        }
        if (!haveHigh) usedHigh = slotsAt(q.data(), count, high, highSlots_.data());
        // Halve the gap while many styles still give up slots inside it.
        while (used - usedHigh > kFewDrops && high - sheets > 1) {
            const uint32_t mid = sheets + (high - sheets) / 2;
            const uint64_t u = slotsAt(q.data(), count, mid, scratch_.data());
            if (u <= ups) {
                high = mid;
                usedHigh = u;
                highSlots_.swap(scratch_);
            } else {
                sheets = mid;
                used = u;
                lowSlots_.swap(scratch_);
            }
        }
        drops_.clear();
        for (size_t i = 0; i < count; ++i)
            for (int32_t t = lowSlots_[i] - 1; t >= highSlots_[i]; --t) drops_.push_back(ceilDivide(whole[i], static_cast<uint32_t>(t)));
        const size_t excess = static_cast<size_t>(used - ups);
        std::nth_element(drops_.begin(), drops_.begin() + static_cast<ptrdiff_t>(excess - 1), drops_.end());
        return drops_[excess - 1];
    }

private:
    static constexpr uint64_t kFewDrops = 64;

    std::vector<int32_t> lowSlots_, highSlots_, scratch_;  // slots of each style at a count too low, one enough, one between
    std::vector<uint32_t> drops_;
};

// What one thread's cut searches reuse from one sequence to the next.
struct CutBuffers {
    std::vector<double> asDouble;
    std::vector<uint32_t> whole;
    std::vector<uint64_t> totalBefore;                  // totalBefore[k]: the first k styles together
    std::vector<uint32_t> largestBefore, largestFrom;  // of the first k styles, of the styles from k on
    std::vector<int32_t> slots;
    PartSheets part;
};

uint32_t ceilDivide64(uint64_t q, uint64_t d) { return static_cast<uint32_t>((q + d - 1) / d); }

}  // namespace

// The cuts are taken in order. Most cannot beat the best division known:
// for a cut to beat `best` sheets its first part must fit at some count a
// and its second at best - 1 - a. So when the first part does not fit at a
// and the second not at best - 1 - a, the cut is out, and so are the cuts
// after it as long as the second part (which only loses styles) still does
// not fit: the first (which only gains styles) cannot fit again. The count a
// is chosen between estimates of the two parts' sheet counts from the slots
// they lost to rounding up so far, so that one pass over the sequence usually
// rules out a run of cuts. Cuts that cannot be ruled out this way, and the
// first cut when no division is known yet, are laid out exactly.
Cut bestCutBelow(std::span<const int32_t> sequence, int32_t upsPerPlate, int32_t minStyles, int64_t below) {
    const size_t n = sequence.size();
    const bool allValid = std::all_of(sequence.begin(), sequence.end(), [](int32_t q) { return isValidQuantity(q); });
    // Parts that would hold invalid entries or not fit on a plate are left to
    // the layout itself; the calculation never passes them.
    const int64_t m = std::max<int64_t>(minStyles, 0);
    if (!allValid || upsPerPlate < 1 || n < 2 || static_cast<int64_t>(n) - m - 1 < m + 1 ||
        static_cast<int64_t>(n) - (m + 1) > upsPerPlate) {
        Cut cut = referenceBestCut(sequence, upsPerPlate, minStyles);
        if (cut.found && cut.sheets >= below) return Cut{};
        return cut;
    }
    // Admissible cuts k (the first part holds k styles): m < k < n - m.
    const size_t firstCut = static_cast<size_t>(m + 1), lastCut = n - static_cast<size_t>(m) - 1;
    const uint32_t ups = static_cast<uint32_t>(upsPerPlate);

    thread_local CutBuffers b;
    b.asDouble.resize(n);
    b.whole.resize(n);
    b.totalBefore.resize(n + 1);
    b.largestBefore.resize(n + 1);
    b.largestFrom.resize(n + 1);
    b.slots.resize(n);
    b.totalBefore[0] = 0;
    b.largestBefore[0] = 0;
    for (size_t i = 0; i < n; ++i) {
        b.whole[i] = static_cast<uint32_t>(sequence[i]);
        b.asDouble[i] = sequence[i];
        b.totalBefore[i + 1] = b.totalBefore[i] + b.whole[i];
        b.largestBefore[i + 1] = std::max(b.largestBefore[i], b.whole[i]);
    }
    b.largestFrom[n] = 0;
    for (size_t i = n; i-- > 0;) b.largestFrom[i] = std::max(b.largestFrom[i + 1], b.whole[i]);
    const uint64_t total = b.totalBefore[n];
    const std::span<const double> q(b.asDouble);
    const std::span<const uint32_t> whole(b.whole);

    // Sheets no part can go below: the slots cover its total, and its largest
    // style has at most the slots the others leave it.
    auto lowest = [&](uint64_t partTotal, uint32_t largest, size_t count) {
        return std::max(ceilDivide64(partTotal, ups), ceilDivide64(largest, ups - count + 1));
    };

    int64_t best = below;
    size_t bestK = 0;
    uint32_t bestOne = 0, bestTwo = 0;
    uint32_t firstAtLeast = 0;  // the first part's sheets of the last cut laid out: later ones need no fewer
    // Slots lost to rounding up, per style, as last seen in each part.
    double lostFirst = 0.5, lostSecond = 0.5;

    auto layOut = [&](size_t k) {
        const uint64_t totalOne = b.totalBefore[k], totalTwo = total - totalOne;
        const uint32_t lowOne = std::max(firstAtLeast, lowest(totalOne, b.largestBefore[k], k));
        const uint32_t lowTwo = lowest(totalTwo, b.largestFrom[k], n - k);
        if (static_cast<int64_t>(lowOne) + lowTwo >= best) return;
        const uint32_t one = b.part.fewest(q.first(k), whole.first(k), totalOne, b.largestBefore[k], ups, lowOne);
        firstAtLeast = one;
        if (static_cast<int64_t>(one) + lowTwo >= best) return;
        const uint32_t two = b.part.fewest(q.subspan(k), whole.subspan(k), totalTwo, b.largestFrom[k], ups, lowTwo);
        if (static_cast<int64_t>(one) + two < best) {
            best = static_cast<int64_t>(one) + two;
            bestK = k;
            bestOne = one;
            bestTwo = two;
        }
    };

    size_t k = firstCut;
    while (k <= lastCut) {
        if (best == INT64_MAX) {
            layOut(k++);
            continue;
        }
        const uint64_t totalOne = b.totalBefore[k], totalTwo = total - totalOne;
        const double c1 = static_cast<double>(k), c2 = static_cast<double>(n - k);
        const double roomOne = ups - lostFirst * c1, roomTwo = ups - lostSecond * c2;
        const double guessOne = roomOne > 1 ? std::max<double>(static_cast<double>(totalOne) / roomOne, lowest(totalOne, b.largestBefore[k], k)) : 0;
        const double guessTwo = roomTwo > 1 ? std::max<double>(static_cast<double>(totalTwo) / roomTwo, lowest(totalTwo, b.largestFrom[k], n - k)) : 0;
        // The count a must lie below the first part's sheets and at or above
        // best - 1 minus the second's: take the middle of the estimates. A
        // count of 0 (or a second part of best - 1 - a = 0 sheets) is a part
        // that fits nowhere, so only the other part is looked at.
        if (guessOne == 0 || guessTwo == 0 || guessOne + guessTwo < static_cast<double>(best) + 1) {
            layOut(k++);
            continue;
        }
        const double middle = (guessOne - 1 + static_cast<double>(best) - 1 - guessTwo) / 2;
        const int64_t a = std::clamp<int64_t>(static_cast<int64_t>(std::floor(middle)), 0, best - 1);
        const int64_t r = best - 1 - a;
        constexpr uint64_t kNowhere = UINT64_MAX / 2;
        uint64_t usedOne = kNowhere, usedTwo = kNowhere;
        if (a > 0) {
            usedOne = slotsAt(q.data(), k, static_cast<uint32_t>(a), b.slots.data());
            lostFirst = (static_cast<double>(usedOne) - static_cast<double>(totalOne) / static_cast<double>(a)) / c1;
        }
        if (r > 0) {
            usedTwo = slotsAt(q.data() + k, n - k, static_cast<uint32_t>(r), b.slots.data() + k);
            lostSecond = (static_cast<double>(usedTwo) - static_cast<double>(totalTwo) / static_cast<double>(r)) / c2;
        }
        if (usedOne <= ups || usedTwo <= ups) {
            layOut(k++);
            continue;
        }
        // Ruled out; so are the next cuts while the second part still overflows.
        for (++k; k <= lastCut && r > 0; ++k) {
            usedTwo -= static_cast<uint64_t>(b.slots[k - 1]);
            if (usedTwo <= ups) break;
        }
        if (r == 0) break;  // the first part alone needs best sheets, and only grows
    }
    Cut cut;
    if (bestK == 0) return cut;
    cut.found = true;
    cut.sheets = static_cast<int32_t>(best);
    cut.sheetsOne = static_cast<int32_t>(bestOne);
    cut.sheetsTwo = static_cast<int32_t>(bestTwo);
    cut.first.assign(sequence.begin(), sequence.begin() + static_cast<ptrdiff_t>(bestK));
    cut.second.assign(sequence.begin() + static_cast<ptrdiff_t>(bestK), sequence.end());
    return cut;
}

Cut bestCut(std::span<const int32_t> sequence, int32_t upsPerPlate, int32_t minStyles) {
    return bestCutBelow(sequence, upsPerPlate, minStyles, INT64_MAX);
}

int32_t minStylesForCut(size_t styles, int32_t upsPerPlate) {
    const int64_t bound = static_cast<int64_t>(styles) - upsPerPlate - 1;
    return bound >= 1 ? static_cast<int32_t>(bound) : 0;
}

CutSearch searchCuts(std::span<const int32_t> quantities, int32_t upsPerPlate, int32_t trials, uint64_t seed,
                     double timeLimitSeconds, const std::function<void(const CutSearch&)>& afterTrial) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    CutTrials cuts(quantities, upsPerPlate, minStylesForCut(quantities.size(), upsPerPlate));
    CutSearch search;
    search.best = cuts.best();
    TrialHooks hooks;
    hooks.beforeTrial = [&](int32_t) {
        search.timedOut =
            timeLimitSeconds > 0 && std::chrono::duration<double>(Clock::now() - start).count() >= timeLimitSeconds;
        return !search.timedOut;
    };
    hooks.improved = [&](const Cut& best) { search.best = best; };
    hooks.afterTrial = [&](int32_t trial) {
        search.trialsRun = trial;
        if (afterTrial) afterTrial(search);
        return true;
    };
    cuts.run(trials, seededOrderings(seed), hooks);
    return search;
}

}  // namespace calc
