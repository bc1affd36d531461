// The exact two-plate division.
//
// Plate one prints s1 sheets and plate two s2. For a fixed pair (s1, s2)
// style i needs a_i = ceil(q_i / s1) slots on plate one or b_i =
// ceil(q_i / s2) on plate two, and the question "does some division fit?"
// is a 0/1 knapsack: put a set X on plate one with sum of a over X <= ups,
// such that the b of the rest add up to at most ups. The search rests on
// three facts:
//
// 1. Monotone: a division that fits at (s1, s2) fits at any larger pair,
//    since shares never grow with the sheets. So for each s1 there is a least
//    s2 that fits, and it never grows as s1 grows.
// 2. Few values matter: the answer to "does it fit?" changes only where some
//    share that is at most ups changes, i.e. at s = ceil(q_i / k) for a style
//    i and 1 <= k <= ups (the least s giving style i at most k slots). A
//    plate's own sheet count, the least s at which its group fits, is always
//    such a value. These are the candidates.
// 3. Symmetric: the plates can be swapped, so only s1 <= s2 need be tried;
//    a division with fewer than `best` sheets has s1 <= (best - 1) / 2.
//
// The search first computes, for every candidate s1, the least s2 at which
// the fractional relaxation of the knapsack (styles may be split between the
// plates) fits; s1 plus that s2 is a lower bound on every division whose
// plate one prints s1 sheets. It then takes the candidates in order of that
// bound, cheapest first, and for each one asks the exact knapsack whether
// s2 = best - 1 - s1 still fits; if so, the least fitting s2 is found by
// bisection over the candidates and the division is rebuilt from the
// knapsack. The search is done when the next bound reaches the best
// division; if the clock runs out first, that next bound is the lower bound.
#include <algorithm>
#include <numeric>

#include "calc/CutSearch.h"
#include "calc/DivisionSearch.h"

namespace calc::detail {
namespace {

constexpr int64_t kNoBound = INT64_MAX;

class TwoPlateSearch {
public:
    TwoPlateSearch(std::span<const uint32_t> quantities, uint32_t ups) : q_(quantities), ups_(ups) {}

    // The sorted cut: the starting division every answer must match or beat.
    Assignment sortedCut() const {
        std::vector<int32_t> sorted(q_.begin(), q_.end());
        const std::vector<size_t> order = ascendingOrder(q_);
        for (size_t i = 0; i < order.size(); ++i) sorted[i] = static_cast<int32_t>(q_[order[i]]);
        const auto ups = static_cast<int32_t>(ups_);
        const Cut cut = bestCut(sorted, ups, minStylesForCut(sorted.size(), ups));
        Assignment a;
        a.plateOf.assign(q_.size(), 0);
        for (size_t i = cut.first.size(); i < order.size(); ++i) a.plateOf[order[i]] = 1;
        a.sheets = sheetsOfAssignment(a);
        return a;
    }

    int64_t sheetsOfAssignment(const Assignment& a) const {
        return assignmentSheets(q_, a, 2, static_cast<uint32_t>(ups_));
    }

    // The candidates up to `limit`, ascending.
    std::vector<uint64_t> candidates(uint64_t limit) const {
        std::vector<uint64_t> values{1};
        for (uint32_t q : q_)
            for (uint64_t k = 1; k <= ups_; ++k) {
                const uint64_t s = shareOf(q, k);
                if (s <= limit) values.push_back(s);
                if (s == 1) break;
            }
        std::sort(values.begin(), values.end());
        values.erase(std::unique(values.begin(), values.end()), values.end());
        return values;
    }

    // Does some division fit when the styles may be split between the plates?
    // A necessary condition for fits(); solved greedily by the ratio b / a.
    bool fitsSplit(uint64_t s1, uint64_t s2) {
        if (!classify(s1, s2)) return false;
        if (need_ <= 0) return true;
        std::sort(free_.begin(), free_.end(), [&](size_t x, size_t y) { return b_[x] * a_[y] > b_[y] * a_[x]; });
        uint64_t room = cap1_;
        double gained = 0;
        for (size_t i : free_) {
            if (a_[i] <= room) {
                room -= a_[i];
                gained += static_cast<double>(b_[i]);
            } else {
                gained += static_cast<double>(b_[i]) * static_cast<double>(room) / static_cast<double>(a_[i]);
                break;
            }
        }
        // The fractional optimum is a ratio of integers; the tolerance keeps
        // rounding from refusing an exact fit.
        return gained + 1e-9 >= static_cast<double>(need_);
    }

    // Does some division with a style on each plate fit at (s1, s2)? With
    // `plateOf`, one that does is written there.
    bool fits(uint64_t s1, uint64_t s2, std::vector<uint32_t>* plateOf) {
        if (!classify(s1, s2)) return false;
        std::vector<uint8_t> onOne(q_.size(), 0);
        for (size_t i = 0; i < q_.size(); ++i) onOne[i] = b_[i] > ups_;
        if (need_ > 0) {
            // best[c]: the most plate-two slots that styles taking c plate-one
            // slots can spare; take[j][c]: whether free style j is in that set.
            const size_t width = cap1_ + 1;
            best_.assign(width, 0);
            if (plateOf) take_.assign(free_.size() * width, 0);
            bool reached = false;
            for (size_t j = 0; j < free_.size() && !reached; ++j) {
                const uint64_t a = a_[free_[j]], b = b_[free_[j]];
                for (uint64_t c = cap1_; c >= a; --c) {
                    const int64_t with = best_[c - a] + static_cast<int64_t>(b);
                    if (with > best_[c]) {
                        best_[c] = with;
                        if (plateOf) take_[j * width + c] = 1;
                    }
                }
                reached = best_[cap1_] >= need_;
            }
            if (!reached) return false;
            if (!plateOf) return true;
            uint64_t c = cap1_;
            for (size_t j = free_.size(); j-- > 0;)
                if (take_[j * width + c]) {
                    onOne[free_[j]] = 1;
                    c -= a_[free_[j]];
                }
        }
        // A plate left empty borrows a style the other can spare; styles of
        // the full plate fit alone on the empty one whenever their share does.
        for (uint8_t side = 0; side < 2; ++side) {
            const bool empty = std::none_of(onOne.begin(), onOne.end(), [&](uint8_t v) { return v == (side == 0); });
            if (!empty) continue;
            const auto& share = side == 0 ? a_ : b_;
            size_t i = 0;
            while (i < q_.size() && share[i] > ups_) ++i;
            if (i == q_.size()) return false;
            onOne[i] = side == 0;
        }
        if (plateOf) {
            plateOf->resize(q_.size());
            for (size_t i = 0; i < q_.size(); ++i) (*plateOf)[i] = onOne[i] ? 0 : 1;
        }
        return true;
    }

private:
    // The shares at (s1, s2); the styles that can go on one plate only; the
    // room left on each plate after them and the plate-two slots the free
    // styles must give up (need_). false when some style fits on neither
    // plate or the forced styles alone overfill one.
    bool classify(uint64_t s1, uint64_t s2) {
        const size_t n = q_.size();
        a_.resize(n);
        b_.resize(n);
        free_.clear();
        uint64_t used1 = 0, used2 = 0, freeB = 0;
        for (size_t i = 0; i < n; ++i) {
            a_[i] = shareOf(q_[i], s1);
            b_[i] = shareOf(q_[i], s2);
            const bool one = a_[i] <= ups_, two = b_[i] <= ups_;
            if (!one && !two) return false;
            if (!two) used1 += a_[i];
            else if (!one) used2 += b_[i];
            else {
                free_.push_back(i);
                freeB += b_[i];
            }
        }
        if (used1 > ups_ || used2 > ups_) return false;
        cap1_ = ups_ - used1;
        need_ = static_cast<int64_t>(freeB) - static_cast<int64_t>(ups_ - used2);
        return true;
    }

    std::span<const uint32_t> q_;
    uint64_t ups_;
    std::vector<uint64_t> a_, b_;
    std::vector<size_t> free_;
    uint64_t cap1_ = 0;
    int64_t need_ = 0;
    std::vector<int64_t> best_;
    std::vector<uint8_t> take_;
};

}  // namespace

SearchAnswer searchTwoPlateDivision(std::span<const uint32_t> quantities, uint32_t ups, SearchClock& clock,
                                    bool outermost, const Assignment* start) {
    TwoPlateSearch search(quantities, ups);
    SearchAnswer answer;
    answer.best = search.sortedCut();
    if (start && start->sheets < answer.best.sheets) answer.best = *start;
    if (outermost && clock.improved) clock.improved(answer.best);
    int64_t& best = answer.best.sheets;
    const int64_t floor = sheetsLowerBound(quantities, ups, 2);
    auto report = [&](int64_t bound) {
        answer.lowerBound = std::min(best, std::max(floor, bound));
        if (outermost) {
            clock.bestSheets = best;
            clock.lowerBound = answer.lowerBound;
        }
    };
    report(floor);
    if (best <= floor) {
        answer.optimal = true;
        return answer;
    }

    const std::vector<uint64_t> values = search.candidates(static_cast<uint64_t>(best));
    // Lower bound for each candidate s1 from the split relaxation: s1 plus the
    // least s2 at which the split fits, found by one pointer that only moves
    // down (fact 1 holds for the relaxation too).
    struct Entry {
        uint64_t s1;
        int64_t bound;
        size_t low;  // index of the least s2 where the split fits
    };
    std::vector<Entry> entries;
    size_t j = values.size() - 1;
    size_t next = 0;  // first candidate without a bound yet
    for (; next < values.size() && 2 * values[next] <= static_cast<uint64_t>(best - 1); ++next) {
        if (clock.expired()) break;
        const uint64_t s1 = values[next];
        const uint64_t cap = static_cast<uint64_t>(best - 1) - s1;
        while (j > 0 && values[j] > cap) --j;
        if (values[j] > cap || !search.fitsSplit(s1, values[j])) continue;
        while (j > 0 && search.fitsSplit(s1, values[j - 1])) --j;
        entries.push_back({s1, static_cast<int64_t>(s1 + values[j]), j});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& x, const Entry& y) { return x.bound < y.bound; });
    // Divisions with plate one at a candidate not reached have at least twice
    // that candidate, since plate one is the cheaper plate.
    const int64_t unreached = next < values.size() ? static_cast<int64_t>(2 * values[next]) : kNoBound;

    // Entries before e are done: none of them leads below the best division.
    std::vector<uint32_t> plateOf;
    size_t e = 0;
    while (e < entries.size()) {
        const Entry& entry = entries[e];
        if (entry.bound >= best) break;  // and so are all after it
        report(std::min(entry.bound, unreached));
        if (2 * entry.s1 > static_cast<uint64_t>(best - 1)) {
            ++e;  // the plates the other way round are tried from the cheaper one
            continue;
        }
        if (clock.expired()) break;
        const uint64_t cap = static_cast<uint64_t>(best - 1) - entry.s1;
        if (!search.fits(entry.s1, cap, nullptr)) {
            ++e;
            continue;
        }
        // The least fitting s2 lies between the relaxation's and the last
        // candidate not above cap, which fits.
        size_t low = entry.low;
        size_t high = static_cast<size_t>(std::upper_bound(values.begin(), values.end(), cap) - values.begin()) - 1;
        while (low < high && !clock.expired()) {
            const size_t mid = low + (high - low) / 2;
            if (search.fits(entry.s1, values[mid], nullptr)) high = mid;
            else low = mid + 1;
        }
        // values[high] fits even when the clock stopped the bisection early;
        // the entry is then not done, as a smaller s2 may still fit.
        search.fits(entry.s1, values[high], &plateOf);
        Assignment found{plateOf, 0};
        found.sheets = search.sheetsOfAssignment(found);
        if (found.sheets < best) {
            answer.best = std::move(found);
            if (outermost && clock.improved) clock.improved(answer.best);
        }
        if (low < high) break;
        ++e;
    }
    int64_t bound = unreached;
    for (size_t r = e; r < entries.size(); ++r)
        if (2 * entries[r].s1 <= static_cast<uint64_t>(best - 1)) bound = std::min(bound, entries[r].bound);
    answer.optimal = std::max(floor, bound) >= best;
    report(bound);
    return answer;
}

}  // namespace calc::detail
