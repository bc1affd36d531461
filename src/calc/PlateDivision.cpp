// The division entry points: the valid styles, the cases with no division,
// the budget, and the division built from the search's assignment; and what
// the searches share: sheet counts of groups and runs, and the lower bound.
#include "calc/PlateDivision.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "calc/DivisionSearch.h"

namespace calc {

namespace detail {

uint64_t slotsAtSheets(std::span<const uint32_t> quantities, uint32_t sheets, uint64_t enough) {
    uint64_t used = 0;
    for (uint32_t q : quantities)
        if ((used += shareOf32(q, sheets)) > enough) break;
    return used;
}

namespace {

// The fewest sheets at which the quantities fit on `ups` slots, known to lie
// in [low, high] with `high` fitting.
uint64_t leastFittingSheets(std::span<const uint32_t> quantities, uint64_t ups, uint64_t low, uint64_t high) {
    low = std::min(low, high);
    while (low < high) {
        const uint64_t mid = low + (high - low) / 2;
        if (slotsAtSheets(quantities, static_cast<uint32_t>(mid), ups) <= ups) high = mid;
        else low = mid + 1;
    }
    return low;
}

}  // namespace

uint64_t sheetsOf(std::span<const uint32_t> quantities, uint32_t ups) {
    if (quantities.empty()) return 0;
    uint64_t total = 0, largest = 0;
    for (uint32_t q : quantities) {
        total += q;
        largest = std::max<uint64_t>(largest, q);
    }
    // Fewer than ceil(T / ups) sheets never fit; at the largest quantity every
    // share is one slot. The sum of shares never grows with the sheets.
    return leastFittingSheets(quantities, ups, (total + ups - 1) / ups, largest);
}

uint32_t GrowingRun::extendTo(size_t end) {
    for (; end_ < end; ++end_) {
        const uint32_t q = sequence_[end_];
        total_ += q;
        largest_ = std::max(largest_, q);
        if (sheets_ > 0) used_ += shareOf32(q, sheets_);
    }
    if (sheets_ == 0) {
        // Fewer than ceil(T / ups) sheets never fit.
        sheets_ = static_cast<uint32_t>(std::max<uint64_t>((total_ + ups_ - 1) / ups_, 1));
        used_ = slotsAt(sheets_);
    }
    if (used_ > ups_) rise();
    return sheets_;
}

uint64_t GrowingRun::slotsAt(uint32_t sheets) const {
    return slotsAtSheets(sequence_.subspan(first_, end_ - first_), sheets, UINT64_MAX);
}

// sheets_ no longer fits (used_ passes ups): moves it to the fewest that do.
// The slots lost to rounding up change little from one count to the next, so
// T / (ups - lost) comes close; a few such estimates and then halving narrow
// the counts to a range in which few shares change. There the slots fall one
// at a time, at the points ceil(q / t) where a style's share drops to t, and
// the answer is the point at which enough of them have fallen.
void GrowingRun::rise() {
    const uint64_t styles = end_ - first_;
    // At the largest quantity every style takes one slot; with slots to
    // spare, shares exceed q / S by less than one each.
    uint32_t low = sheets_, high = largest_;
    if (ups_ > styles)
        high = static_cast<uint32_t>(std::min<uint64_t>(high, (total_ + (ups_ - styles) - 1) / (ups_ - styles)));
    uint64_t usedLow = used_, usedHigh = 0;
    bool known = false;
    const double total = static_cast<double>(total_);
    for (int estimate = 0; estimate < 3 && high - low > 1; ++estimate) {
        const double room = static_cast<double>(ups_) - (static_cast<double>(usedLow) - total / low);
        const double guess = room >= 1 ? std::ceil(total / room) : static_cast<double>(high);
        const auto at = static_cast<uint32_t>(std::clamp(guess, low + 1.0, high - 1.0));
        const uint64_t used = slotsAt(at);
        if (used <= ups_) {
            high = at;
            usedHigh = used;
            known = true;
            break;
        }
        low = at;
        usedLow = used;
    }
    if (!known) usedHigh = slotsAt(high);
    while (high - low > 1 && usedLow - usedHigh > styles) {
        const uint32_t mid = low + (high - low) / 2;
        const uint64_t used = slotsAt(mid);
        if (used <= ups_) {
            high = mid;
            usedHigh = used;
        } else {
            low = mid;
            usedLow = used;
        }
    }
    if (high - low > 1) {
        drops_.clear();
        for (size_t i = first_; i < end_; ++i) {
            const uint32_t q = sequence_[i];
            for (uint32_t t = shareOf32(q, low) - 1, least = shareOf32(q, high); t >= least && t >= 1; --t)
                drops_.push_back(shareOf32(q, t));
        }
        const auto excess = static_cast<ptrdiff_t>(usedLow - ups_);
        std::nth_element(drops_.begin(), drops_.begin() + (excess - 1), drops_.end());
        high = drops_[static_cast<size_t>(excess - 1)];
        usedHigh = usedLow - static_cast<uint64_t>(
            std::count_if(drops_.begin(), drops_.end(), [&](uint32_t d) { return d <= high; }));
    }
    sheets_ = high;
    used_ = usedHigh;
}

int64_t sheetsLowerBound(std::span<const uint32_t> q, uint32_t ups, uint32_t plates) {
    uint64_t total = 0;
    for (uint32_t v : q) total += v;
    const int64_t byTags = static_cast<int64_t>((total + ups - 1) / ups);

    // Take any division and a sheet count t. The plates printing at most t
    // sheets, m of them, hold their styles at shares of at least ceil(q / t),
    // within m x ups slots; the other j = plates - m plates hold at most
    // j x ups styles. So t is at least t_j: the sheets at which the styles
    // left after the j x ups largest fit on (plates - j) x ups slots. Counting
    // the plates above each t, the plates together print at least the sum of
    // the t_j (each at least 1).
    //
    // t_j never grows with j: at t_j the ups styles dropped next take a slot
    // each, so the rest fit on ups slots fewer. Where finding every t_j would
    // take long (many plates of a large order), it is found only for every
    // stride-th j, and each j between takes the t of the next one found:
    // no more than its own, so the sum stays a lower bound.
    std::vector<uint32_t> sorted(q.begin(), q.end());
    std::sort(sorted.begin(), sorted.end());
    auto keptAfter = [&](uint32_t j) {
        const uint64_t dropped = static_cast<uint64_t>(j) * ups;
        return dropped >= sorted.size() ? size_t{0} : sorted.size() - static_cast<size_t>(dropped);
    };
    uint64_t work = 0;
    for (uint32_t j = 0; j < plates; ++j) work += keptAfter(j);
    const uint64_t stride = work / kLowerBoundStyles + 1;
    // From the last j up, so that each t found bounds the next from below;
    // prefix sums give each kept group's total.
    std::vector<uint64_t> totalBefore(sorted.size() + 1, 0);
    for (size_t i = 0; i < sorted.size(); ++i) totalBefore[i + 1] = totalBefore[i] + sorted[i];
    int64_t byThresholds = 0;
    uint64_t next = 1;  // t of the next j found, for the j before it
    for (uint32_t j = plates; j-- > 0;) {
        const size_t keep = keptAfter(j);
        if (j % stride == 0 && keep > 0) {
            // keep <= (plates - j) x ups, as no more styles than slots are given.
            const uint64_t slots = static_cast<uint64_t>(plates - j) * ups, kept = totalBefore[keep];
            // At the largest kept quantity every share is one slot; with slots
            // to spare, shares exceed q / t by less than one each.
            uint64_t high = sorted[keep - 1];
            if (slots > keep) high = std::min<uint64_t>(high, (kept + (slots - keep) - 1) / (slots - keep));
            const uint64_t low = std::max<uint64_t>(next, (kept + slots - 1) / slots);
            next = leastFittingSheets(std::span<const uint32_t>(sorted).first(keep), slots, low, high);
            next = std::max<uint64_t>(next, 1);
        }
        byThresholds += static_cast<int64_t>(next);
    }
    return std::max(byTags, byThresholds);
}

SearchClock::SearchClock(const DivisionOptions& options)
    : start_(Clock::now()), options_(options) {
    // No budget (0, negative or NaN) still allows the first division.
    const double limit = options.timeLimitSeconds > 0 ? std::min(options.timeLimitSeconds, 1e7) : 0.0;
    deadline_ = start_ + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(limit));
    nextReport_ = start_ + std::chrono::milliseconds(100);
}

SearchClock SearchClock::share(double fraction) {
    SearchClock part(options_);
    part.start_ = start_;
    const Clock::time_point now = Clock::now();
    part.deadline_ = deadline_ <= now ? now
                                      : now + std::chrono::duration_cast<Clock::duration>((deadline_ - now) * fraction);
    part.whole_ = this;
    part.bestSheets = bestSheets;
    part.lowerBound = lowerBound;
    return part;
}

bool SearchClock::expired() {
    if (expired_) return true;
    const Clock::time_point now = Clock::now();
    if (now >= deadline_) return expired_ = true;
    if (whole_) {
        whole_->bestSheets = bestSheets;
        whole_->lowerBound = lowerBound;
        return expired_ = whole_->expired();
    }
    if (options_.progress && now >= nextReport_) {
        nextReport_ = now + std::chrono::milliseconds(100);
        options_.progress(DivisionProgress{elapsedSeconds(), bestSheets, lowerBound});
        if (options_.stopRequested && options_.stopRequested()) return expired_ = true;
    }
    return false;
}

double SearchClock::remainingSeconds() const {
    if (expired_) return 0;
    return std::max(0.0, std::chrono::duration<double>(deadline_ - Clock::now()).count());
}

double SearchClock::elapsedSeconds() const {
    return std::chrono::duration<double>(Clock::now() - start_).count();
}

std::vector<size_t> ascendingOrder(std::span<const uint32_t> quantities) {
    std::vector<size_t> order(quantities.size());
    if (quantities.size() > UINT32_MAX) {
        std::iota(order.begin(), order.end(), size_t{0});
        std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) { return quantities[x] < quantities[y]; });
        return order;
    }
    // The quantity above the position in one key: a plain sort of the keys
    // is the stable sort of the positions, in a fraction of its time.
    std::vector<uint64_t> keys(quantities.size());
    for (size_t i = 0; i < quantities.size(); ++i) keys[i] = static_cast<uint64_t>(quantities[i]) << 32 | i;
    std::sort(keys.begin(), keys.end());
    for (size_t i = 0; i < keys.size(); ++i) order[i] = static_cast<size_t>(keys[i] & UINT32_MAX);
    return order;
}

std::vector<std::vector<uint32_t>> quantitiesByPlate(std::span<const uint32_t> quantities,
                                                     const Assignment& assignment, uint32_t plates) {
    std::vector<size_t> count(plates, 0);
    for (uint32_t p : assignment.plateOf) ++count[p];
    std::vector<std::vector<uint32_t>> groups(plates);
    for (uint32_t k = 0; k < plates; ++k) groups[k].reserve(count[k]);
    for (size_t i = 0; i < quantities.size(); ++i) groups[assignment.plateOf[i]].push_back(quantities[i]);
    return groups;
}

int64_t assignmentSheets(std::span<const uint32_t> quantities, const Assignment& assignment, uint32_t plates,
                         uint32_t ups) {
    int64_t sheets = 0;
    for (const std::vector<uint32_t>& group : quantitiesByPlate(quantities, assignment, plates))
        sheets += static_cast<int64_t>(sheetsOf(group, ups));
    return sheets;
}

Division makeDivision(std::span<const int32_t> quantities, std::span<const size_t> positions,
                      const Assignment& assignment, int32_t plates, int32_t ups) {
    Division division;
    division.ok = true;
    division.plates.resize(static_cast<size_t>(plates));
    // The positions ascend, so numbering the plates as their first styles
    // come puts them in the order of their first style.
    constexpr uint32_t kUnnumbered = UINT32_MAX;
    std::vector<uint32_t> shown(static_cast<size_t>(plates), kUnnumbered);
    std::vector<size_t> count(static_cast<size_t>(plates), 0);
    uint32_t numbered = 0;
    for (size_t i = 0; i < positions.size(); ++i) {
        uint32_t& plate = shown[assignment.plateOf[i]];
        if (plate == kUnnumbered) plate = numbered++;
        ++count[plate];
    }
    for (size_t p = 0; p < division.plates.size(); ++p) {
        division.plates[p].styles.reserve(count[p]);
        division.plates[p].quantities.reserve(count[p]);
    }
    for (size_t i = 0; i < positions.size(); ++i) {
        PlateGroup& group = division.plates[shown[assignment.plateOf[i]]];
        group.styles.push_back(positions[i]);
        group.quantities.push_back(quantities[positions[i]]);
    }
    for (PlateGroup& group : division.plates) {
        group.layout = layoutOnePlate(group.quantities, ups);
        division.sheets += group.layout.sheets;
    }
    return division;
}

}  // namespace detail

namespace {

struct ValidStyles {
    std::vector<size_t> positions;
    std::vector<uint32_t> quantities;
};

ValidStyles validStyles(std::span<const int32_t> quantities) {
    ValidStyles valid;
    for (size_t i = 0; i < quantities.size(); ++i) {
        if (!isValidQuantity(quantities[i])) continue;
        valid.positions.push_back(i);
        valid.quantities.push_back(static_cast<uint32_t>(quantities[i]));
    }
    return valid;
}

}  // namespace

Division divideTwoPlates(std::span<const int32_t> quantities, int32_t upsPerPlate, const DivisionOptions& options) {
    return divideOverPlates(quantities, upsPerPlate, 2, options);
}

Division divideOverPlates(std::span<const int32_t> quantities, int32_t upsPerPlate, int32_t plates,
                          const DivisionOptions& options) {
    detail::SearchClock clock(options);
    const ValidStyles valid = validStyles(quantities);
    const uint64_t n = valid.quantities.size();
    // Every plate needs a style, and no plate takes more styles than slots.
    if (upsPerPlate < 1 || plates < 1 || n < static_cast<uint64_t>(plates) ||
        n > static_cast<uint64_t>(plates) * static_cast<uint64_t>(upsPerPlate))
        return Division{};

    const auto ups = static_cast<uint32_t>(upsPerPlate);
    detail::SearchAnswer answer;
    if (plates == 1) {
        answer.best.plateOf.assign(n, 0);
        answer.best.sheets = static_cast<int64_t>(detail::sheetsOf(valid.quantities, ups));
        answer.lowerBound = answer.best.sheets;
        answer.optimal = true;
    } else if (plates == 2) {
        if (options.improved)
            clock.improved = [&](const detail::Assignment& better) {
                options.improved(detail::makeDivision(quantities, valid.positions, better, plates, upsPerPlate));
            };
        answer = detail::searchTwoPlateDivision(valid.quantities, ups, clock, true);
    } else {
        answer = detail::searchManyPlateDivision(valid.quantities, ups, static_cast<uint32_t>(plates), clock);
    }

    Division division = detail::makeDivision(quantities, valid.positions, answer.best, plates, upsPerPlate);
    division.optimal = answer.optimal;
    division.lowerBound = answer.optimal ? division.sheets : std::min(answer.lowerBound, division.sheets);
    division.elapsedSeconds = clock.elapsedSeconds();
    return division;
}

}  // namespace calc
