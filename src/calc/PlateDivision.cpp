// The division entry points: the valid styles, the cases with no division,
// the budget, and the division built from the search's assignment.
#include "calc/PlateDivision.h"

#include <algorithm>
#include <numeric>

#include "calc/DivisionSearch.h"

namespace calc {

namespace detail {

uint64_t sheetsOf(std::span<const uint32_t> quantities, uint32_t ups) {
    if (quantities.empty()) return 0;
    uint64_t total = 0, largest = 0;
    for (uint32_t q : quantities) {
        total += q;
        largest = std::max<uint64_t>(largest, q);
    }
    // Fewer than ceil(T / ups) sheets never fit; at the largest quantity every
    // share is one slot. The sum of shares never grows with the sheets.
    uint64_t low = (total + ups - 1) / ups, high = largest;
    low = std::min(low, high);
    while (low < high) {
        const uint64_t mid = low + (high - low) / 2;
        uint64_t used = 0;
        for (uint32_t q : quantities)
            if ((used += shareOf(q, mid)) > ups) break;
        if (used <= ups) high = mid;
        else low = mid + 1;
    }
    return low;
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
    std::vector<uint32_t> sorted(q.begin(), q.end());
    std::sort(sorted.begin(), sorted.end());
    int64_t byThresholds = 0;
    for (uint32_t j = 0; j < plates; ++j) {
        const uint64_t dropped = static_cast<uint64_t>(j) * ups;
        const size_t keep = dropped >= sorted.size() ? 0 : sorted.size() - static_cast<size_t>(dropped);
        const uint64_t t = sheetsOf(std::span<const uint32_t>(sorted).first(keep), (plates - j) * ups);
        byThresholds += static_cast<int64_t>(std::max<uint64_t>(t, 1));
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
    }
    return false;
}

double SearchClock::elapsedSeconds() const {
    return std::chrono::duration<double>(Clock::now() - start_).count();
}

std::vector<size_t> ascendingOrder(std::span<const uint32_t> quantities) {
    std::vector<size_t> order(quantities.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) { return quantities[x] < quantities[y]; });
    return order;
}

std::vector<uint32_t> plateQuantities(std::span<const uint32_t> quantities, const Assignment& assignment,
                                      uint32_t plate) {
    std::vector<uint32_t> group;
    for (size_t i = 0; i < quantities.size(); ++i)
        if (assignment.plateOf[i] == plate) group.push_back(quantities[i]);
    return group;
}

int64_t assignmentSheets(std::span<const uint32_t> quantities, const Assignment& assignment, uint32_t plates,
                         uint32_t ups) {
    int64_t sheets = 0;
    for (uint32_t k = 0; k < plates; ++k)
        sheets += static_cast<int64_t>(sheetsOf(plateQuantities(quantities, assignment, k), ups));
    return sheets;
}

Division makeDivision(std::span<const int32_t> quantities, std::span<const size_t> positions,
                      const Assignment& assignment, int32_t plates, int32_t ups) {
    Division division;
    division.ok = true;
    division.plates.resize(static_cast<size_t>(plates));
    for (size_t i = 0; i < positions.size(); ++i) {
        PlateGroup& group = division.plates[assignment.plateOf[i]];
        group.styles.push_back(positions[i]);
        group.quantities.push_back(quantities[positions[i]]);
    }
    std::sort(division.plates.begin(), division.plates.end(),
              [](const PlateGroup& x, const PlateGroup& y) { return x.styles.front() < y.styles.front(); });
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
