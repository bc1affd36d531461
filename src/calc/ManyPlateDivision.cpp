// The division over three or more plates.
//
// 1. The best division of the sorted order into consecutive runs, one per
//    plate (each run at most ups styles), by dynamic programming over the
//    cut points. Where that takes only a moment (small orders) it runs over
//    every cut point at once. Otherwise a first division is built in a few
//    passes over the sorted order, and the dynamic programming runs over
//    fewer cut points, ever more of them, for as long as half the budget
//    allows (see sortedRuns).
// 2. Improved by dividing the styles of every two plates anew with the exact
//    two-plate search, until no pair of plates gains a sheet. The result can
//    only get better, and no single pair of plates can then be bettered.
//    Pairs too large for that search to start within the budget are left.
// 3. A branch-and-bound over the plate of each style, largest quantity
//    first, proves the result optimal or finds a better one when half the
//    remaining budget allows; a plate's sheet count never falls as styles
//    join it, so the sheets of a partial division bound all its completions.
//    Only for orders of up to kLargeOrderStyles styles.
// 4. When that cannot finish, the rest of the budget goes to moving a few
//    styles at random and improving the pairs again from there.
//
// The lower bound when the budget runs out first is sheetsLowerBound.
#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <optional>
#include <random>

#include "calc/DivisionSearch.h"

namespace calc::detail {
namespace {

// Runs of the sorted order: their cost tables and the division tables hold
// at most this many entries each (64 MB and 32 MB), so that memory follows
// the order and not its styles times its slots or plates.
constexpr uint64_t kMostRunEntries = uint64_t{1} << 24;
// The dynamic programming over every cut point runs without looking at the
// clock when its work (RunDivision::work) stays below this, a few hundredths
// of a second (orders of up to about 370 styles): the division of a small
// order is then always the best division into runs, whatever its budget.
constexpr uint64_t kQuickRunWork = uint64_t{1} << 25;
// Orders of more styles are large: the branch-and-bound, which descends one
// level per style, is left out, and neighbouring plates are paired first.
constexpr size_t kLargeOrderStyles = 2000;
// Refining around the best cuts, each grid holds the cut points up to this
// many steps either side of them.
constexpr size_t kRadius = 2;
// The speed of the dynamic programming (RunDivision::work) assumed before
// it is measured: well below that of an ordinary desktop.
constexpr double kAssumedWorkPerSecond = 2e8;
// Work between two looks at the clock (share computations).
constexpr uint64_t kWorkBetweenChecks = uint64_t{1} << 16;

// The order sorted stably from the smallest quantity up.
struct SortedOrder {
    std::vector<size_t> position;  // position[i]: the style at sorted place i
    std::vector<uint32_t> quantity;
};

SortedOrder sortOrder(std::span<const uint32_t> q) {
    SortedOrder s;
    s.position = ascendingOrder(q);
    s.quantity.resize(q.size());
    for (size_t i = 0; i < q.size(); ++i) s.quantity[i] = q[s.position[i]];
    return s;
}

// A division of the sorted order into runs: plate k takes the sorted places
// cuts[k]..cuts[k + 1].
struct Runs {
    std::vector<size_t> cuts;
    int64_t sheets = 0;
};

Assignment runsAssignment(const SortedOrder& s, const Runs& runs) {
    Assignment a;
    a.plateOf.assign(s.position.size(), 0);
    for (size_t k = 0; k + 1 < runs.cuts.size(); ++k)
        for (size_t i = runs.cuts[k]; i < runs.cuts[k + 1]; ++i) a.plateOf[s.position[i]] = static_cast<uint32_t>(k);
    a.sheets = runs.sheets;
    return a;
}

uint32_t runSheets(const SortedOrder& s, size_t from, size_t to, uint32_t ups) {
    return GrowingRun(s.quantity, from, ups).extendTo(to);
}

// Every cut point 0..n when `parts` >= n, otherwise the points i x n / parts.
// Each grid of twice the parts holds the points of this one.
std::vector<size_t> gridCuts(size_t n, uint64_t parts) {
    std::vector<size_t> cuts;
    if (parts >= n) {
        cuts.resize(n + 1);
        std::iota(cuts.begin(), cuts.end(), size_t{0});
        return cuts;
    }
    cuts.reserve(parts + 1);
    for (uint64_t i = 0; i <= parts; ++i) cuts.push_back(static_cast<size_t>(i * n / parts));
    return cuts;
}

// The first division when the dynamic programming over every cut point
// would take long. The sorted order is cut into `full` runs of ups styles,
// the smallest, then runs of equal counts (differing by one at most).
// Filled plates print exactly their largest quantity; plates of few styles
// lose little to rounding up and suit the largest quantities; and with many
// more slots than styles the equal runs alone spread the order thinly. The
// first division is the better of none and as many filled plates as leave a
// style for every other plate; while `clock` allows, the count in between
// is looked for by golden-section narrowing (one new count per step, the
// range shrinking to 0.618 of itself), as if the sheets fell and rose once.
Runs firstRuns(const SortedOrder& s, uint32_t ups, uint32_t plates, SearchClock& clock) {
    const size_t n = s.quantity.size();
    auto withFull = [&](uint64_t full) {
        Runs runs;
        runs.cuts.reserve(plates + 1);
        for (uint64_t k = 0; k <= full; ++k) runs.cuts.push_back(static_cast<size_t>(k * ups));
        for (size_t k = 1; k < runs.cuts.size(); ++k) runs.sheets += s.quantity[runs.cuts[k] - 1];
        const size_t from = runs.cuts.back(), rest = n - from;
        const uint64_t others = plates - full;
        for (uint64_t k = 1; k <= others; ++k) {
            runs.cuts.push_back(from + static_cast<size_t>(k * rest / others));
            runs.sheets += runSheets(s, runs.cuts[runs.cuts.size() - 2], runs.cuts.back(), ups);
        }
        return runs;
    };
    // The other plates need a style each and hold at most ups.
    const uint64_t most = ups == 1 ? 0 : std::min<uint64_t>(plates - 1, (n - plates) / (ups - 1));
    Runs best = withFull(0);
    clock.bestSheets = best.sheets;
    if (most == 0) return best;
    std::map<uint64_t, int64_t> known;
    auto sheetsWith = [&](uint64_t full) {
        if (auto at = known.find(full); at != known.end()) return at->second;
        Runs runs = withFull(full);
        const int64_t sheets = known[full] = runs.sheets;
        if (sheets < best.sheets) {
            best = std::move(runs);
            clock.bestSheets = best.sheets;
        }
        return sheets;
    };
    known[0] = best.sheets;
    sheetsWith(most);
    constexpr double kInner = 0.381966;
    uint64_t low = 0, high = most;
    auto inner = [&](bool left) {
        const auto offset = static_cast<uint64_t>(std::llround(static_cast<double>(high - low) * kInner));
        return left ? low + offset : high - offset;
    };
    uint64_t one = 0, two = 0;
    while (high - low > 2 && !clock.expired()) {
        if (!(low < one && one < two && two < high)) {
            one = inner(true);
            two = std::max(inner(false), one + 1);
        }
        if (sheetsWith(one) <= sheetsWith(two)) {
            high = two;
            two = one;
            one = inner(true);
        } else {
            low = one;
            one = two;
            two = inner(false);
        }
    }
    for (uint64_t full = low; full <= high && !clock.expired(); ++full) sheetsWith(full);
    return best;
}

// The best division of the sorted order into `plates` runs that start and
// end at the given cut points (ascending, from 0 to n), each run at most
// ups styles. With a clock, nothing when it runs out first; nothing either
// when the tables would pass kMostRunEntries or no such division exists.
//
// Where a run of k plates may end is limited by the plates before it (k to
// k x ups styles) and after it (1 to ups styles each); only those places
// are kept. Among runs of equal sheets the shortest last run is taken, as
// the dynamic programming over every cut point always has.
class RunDivision {
public:
    RunDivision(const SortedOrder& s, std::span<const size_t> cuts, uint32_t ups, uint32_t plates)
        : s_(s), cuts_(cuts), ups_(ups), plates_(plates) {}

    // Only runs that reach at most `span` cuts ahead, with plate k ending
    // within `distance` places of around.cuts[k].
    void keepNear(const Runs& around, size_t distance, size_t span) {
        around_ = &around;
        distance_ = distance;
        span_ = span;
    }

    // The entries of its two tables; 0 when one would pass kMostRunEntries.
    uint64_t entries() {
        const size_t m = cuts_.size();
        reach_.resize(m);
        costAt_.assign(m + 1, 0);
        size_t b = 0;
        for (size_t a = 0; a < m; ++a) {
            while (b + 1 < m && cuts_[b + 1] - cuts_[a] <= ups_ && b + 1 - a <= span_) ++b;
            reach_[a] = std::max(a, b);
        }
        // Runs ending at cut j start at cuts j - 1 down to the first in reach.
        size_t a = 0;
        for (size_t j = 0; j < m; ++j) {
            while (cuts_[j] - cuts_[a] > ups_ || j - a > span_) ++a;
            costAt_[j + 1] = costAt_[j] + (j - a);
        }
        if (costAt_[m] > kMostRunEntries) return 0;
        const uint64_t n = s_.quantity.size();
        windowLow_.resize(plates_ + 1);
        windowHigh_.resize(plates_ + 1);
        backAt_.assign(plates_ + 2, 0);
        for (uint32_t k = 0; k <= plates_; ++k) {
            const uint64_t mostAfter = static_cast<uint64_t>(plates_ - k) * ups_, leastAfter = plates_ - k;
            uint64_t low = std::max<uint64_t>(k, n > mostAfter ? n - mostAfter : 0);
            uint64_t high = std::min<uint64_t>(static_cast<uint64_t>(k) * ups_, n - leastAfter);
            if (around_) {
                const size_t near = around_->cuts[k];
                low = std::max<uint64_t>(low, near > distance_ ? near - distance_ : 0);
                high = std::min<uint64_t>(high, near + distance_);
            }
            windowLow_[k] = static_cast<size_t>(std::lower_bound(cuts_.begin(), cuts_.end(), low) - cuts_.begin());
            windowHigh_[k] = static_cast<size_t>(std::upper_bound(cuts_.begin(), cuts_.end(), high) - cuts_.begin());
            windowHigh_[k] = std::max(windowHigh_[k], windowLow_[k]);
            backAt_[k + 1] = backAt_[k] + (windowHigh_[k] - windowLow_[k]);
            if (backAt_[k + 1] > kMostRunEntries) return 0;
        }
        return costAt_[m] + backAt_[plates_ + 1];
    }

    // The work of the dynamic programming, in shares and table steps: each
    // run grows from its start with a few passes over it at every cut it
    // reaches, and the division looks at every run ending at every place.
    // entries() must have been called (and be above 0).
    uint64_t work() const {
        constexpr uint64_t kPassesPerCut = 4;
        const size_t m = cuts_.size();
        std::vector<uint64_t> cutsBefore(m + 1, 0);
        for (size_t a = 0; a < m; ++a) cutsBefore[a + 1] = cutsBefore[a] + cuts_[a];
        uint64_t work = 0;
        for (size_t a = 0; a + 1 < m; ++a)
            work += kPassesPerCut * (cutsBefore[reach_[a] + 1] - cutsBefore[a + 1] - (reach_[a] - a) * cuts_[a]);
        const uint64_t runsPerEnd = costAt_[m] / m + 1;
        for (uint32_t k = 1; k <= plates_; ++k)
            work += static_cast<uint64_t>(windowHigh_[k] - windowLow_[k]) *
                    std::min<uint64_t>(runsPerEnd, windowHigh_[k - 1] - windowLow_[k - 1]);
        return work;
    }

    // entries() must have been called (and be above 0).
    std::optional<Runs> solve(SearchClock* clock) {
        if (!fillCosts(clock)) return std::nullopt;
        return divide(clock);
    }

private:
    bool stop(SearchClock* clock, uint64_t& work) {
        if (!clock || work < kWorkBetweenChecks) return false;
        work = 0;
        return clock->expired();
    }

    // cost_[costAt_[b] + (b - a - 1)]: sheets of the run from cut a to cut b,
    // kept by their end so that the division reads them in a row.
    bool fillCosts(SearchClock* clock) {
        cost_.resize(costAt_.back());
        uint64_t work = 0;
        for (size_t a = 0; a + 1 < cuts_.size(); ++a) {
            GrowingRun run(s_.quantity, cuts_[a], ups_);
            for (size_t b = a + 1; b <= reach_[a]; ++b) {
                cost_[costAt_[b] + (b - a - 1)] = run.extendTo(cuts_[b]);
                work += cuts_[b] - cuts_[a];
            }
            if (stop(clock, work)) return false;
        }
        return true;
    }

    std::optional<Runs> divide(SearchClock* clock) {
        constexpr int64_t kNone = INT64_MAX;
        // back_[backAt_[k] + (j - windowLow_[k])]: how many cuts back the
        // best run of plate k ending at cut j starts.
        back_.assign(backAt_.back(), 0);
        std::vector<int64_t> before{0}, now;
        uint64_t work = 0;
        for (uint32_t k = 1; k <= plates_; ++k) {
            const size_t low = windowLow_[k], high = windowHigh_[k];
            const size_t prevLow = windowLow_[k - 1], prevHigh = windowHigh_[k - 1];
            now.assign(high - low, kNone);
            for (size_t j = low; j < high; ++j) {
                int64_t& best = now[j - low];
                uint16_t& back = back_[backAt_[k] + (j - low)];
                // From the shortest run up, as far back as a run may reach.
                const size_t reachBack = static_cast<size_t>(costAt_[j + 1] - costAt_[j]);
                const size_t first = std::max(prevLow, j - reachBack);
                const uint32_t* costs = cost_.data() + costAt_[j];
                for (size_t a = std::min(j, prevHigh); a-- > first;) {
                    const int64_t start = before[a - prevLow];
                    if (start == kNone) continue;
                    const int64_t sheets = start + costs[j - a - 1];
                    if (sheets < best) {
                        best = sheets;
                        back = static_cast<uint16_t>(j - a);
                    }
                }
                work += reachBack + 1;
                if (stop(clock, work)) return std::nullopt;
            }
            before.swap(now);
        }
        const size_t last = cuts_.size() - 1;
        if (windowLow_[plates_] != last || windowHigh_[plates_] != last + 1 || before[0] == kNone) return std::nullopt;
        Runs runs;
        runs.sheets = before[0];
        runs.cuts.resize(plates_ + 1);
        size_t j = last;
        for (uint32_t k = plates_; k >= 1; --k) {
            runs.cuts[k] = cuts_[j];
            j -= back_[backAt_[k] + (j - windowLow_[k])];
        }
        runs.cuts[0] = 0;
        return runs;
    }

    const SortedOrder& s_;
    std::span<const size_t> cuts_;
    uint32_t ups_, plates_;
    const Runs* around_ = nullptr;
    size_t distance_ = 0, span_ = SIZE_MAX;
    std::vector<size_t> reach_;   // reach_[a]: the last cut a run from cut a may end at
    std::vector<uint64_t> costAt_;
    std::vector<uint32_t> cost_;  // sheets are below 1e8
    std::vector<size_t> windowLow_, windowHigh_;  // cuts where k plates may end, [low, high)
    std::vector<uint64_t> backAt_;
    std::vector<uint16_t> back_;  // a run spans at most ups <= 999 cuts
};

// The cut points within `radius` steps of `step` of each cut of `runs`.
std::vector<size_t> cutsAround(const Runs& runs, size_t n, size_t step, size_t radius) {
    std::vector<size_t> cuts;
    cuts.reserve(runs.cuts.size() * (2 * radius + 1));
    for (size_t c : runs.cuts)
        for (size_t r = radius; r > 0; --r)
            if (c >= r * step) cuts.push_back(c - r * step);
    for (size_t c : runs.cuts)
        for (size_t r = 0; r <= radius && c + r * step <= n; ++r) cuts.push_back(c + r * step);
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    return cuts;
}

// The most cuts (of `cuts`, which hold those of `runs`) that one run of
// `runs` spans.
size_t cutsSpanned(const Runs& runs, std::span<const size_t> cuts) {
    size_t most = 0, at = 0;
    for (size_t k = 1; k < runs.cuts.size(); ++k) {
        const auto next = static_cast<size_t>(std::lower_bound(cuts.begin(), cuts.end(), runs.cuts[k]) - cuts.begin());
        most = std::max(most, next - at);
        at = next;
    }
    return most;
}

// The points of `grid` together with the cuts of `runs`, so that the runs
// stay a division over the grid and its best can only be better.
std::vector<size_t> withCutsOf(const Runs& runs, std::vector<size_t> grid) {
    grid.insert(grid.end(), runs.cuts.begin(), runs.cuts.end());
    std::sort(grid.begin(), grid.end());
    grid.erase(std::unique(grid.begin(), grid.end()), grid.end());
    return grid;
}

// Step 1: runs of the stably sorted order. Small orders go straight to the
// best division into runs at every cut point. Larger ones start from
// firstRuns and, within half of what `clock` allows, take the best division
// over grids of 2, 4, 8, ... times the plates in cut points, each with the
// best cuts so far, while the grids cover the whole order in time (each
// takes about four times the last); then, with each plate ending near its
// best cut, over the cut points around the best cuts at half the last
// spacing each time, down to single styles, and there again while it gains.
// A grid is not begun when its work at the speed measured so far would not
// end in time; one the clock stops leaves the best division found before.
Assignment sortedRuns(std::span<const uint32_t> q, uint32_t ups, uint32_t plates, SearchClock& clock) {
    const SortedOrder s = sortOrder(q);
    const size_t n = q.size();
    {
        const std::vector<size_t> every = gridCuts(n, n);
        RunDivision exact(s, every, ups, plates);
        if (exact.entries() > 0 && exact.work() <= kQuickRunWork)
            if (std::optional<Runs> runs = exact.solve(nullptr)) return runsAssignment(s, *runs);
    }
    SearchClock grids = clock.share(0.5);
    SearchClock first = grids.share(0.5);
    Runs best = firstRuns(s, ups, plates, first);
    grids.bestSheets = best.sheets;
    // One grid, when its work at the speed of the last grid (or a modest
    // one before the first) ends in time; false when it is not begun or does
    // not end, whether for the clock or its size.
    double workPerSecond = kAssumedWorkPerSecond;
    bool gained = false;
    auto tryGrid = [&](const std::vector<size_t>& cuts, size_t step) {
        if (grids.expired()) return false;
        const double started = grids.elapsedSeconds();
        RunDivision level(s, cuts, ups, plates);
        const Runs around = best;
        if (step > 0) level.keepNear(around, kRadius * step, cutsSpanned(around, cuts) + 2 * kRadius);
        if (level.entries() == 0) return false;
        const double work = static_cast<double>(level.work());
        if (work / workPerSecond > grids.remainingSeconds()) return false;
        std::optional<Runs> runs = level.solve(&grids);
        if (!runs) return false;
        const double seconds = grids.elapsedSeconds() - started;
        if (seconds > 0.001) workPerSecond = work / seconds;
        gained = runs->sheets < best.sheets;
        if (gained) {
            best = std::move(*runs);
            grids.bestSheets = best.sheets;
        }
        return true;
    };
    // A grid of as many parts as plates holds only the runs of equal counts.
    uint64_t parts = 2 * static_cast<uint64_t>(plates);
    while (parts < n && tryGrid(withCutsOf(best, gridCuts(n, parts)), 0)) parts *= 2;
    // Every cut point: the best division into runs.
    if (parts >= n && tryGrid(gridCuts(n, n), 0)) return runsAssignment(s, best);
    for (size_t step = std::max<size_t>(n / parts, 1);;) {
        if (!tryGrid(cutsAround(best, n, step, kRadius), step)) break;
        if (step == 1 && !gained) break;
        step = std::max<size_t>(step / 2, 1);
    }
    return runsAssignment(s, best);
}

// Whether the exact two-plate search can take a pair of plates holding
// `styles` styles: it prepares the sorted cut and the candidate sheet counts
// (up to styles x ups of them) before it first looks at the clock, and that
// must end in time. Pairs of small orders always can.
bool pairSearchFits(size_t styles, uint32_t ups, double secondsLeft) {
    // Generous figures per candidate and per pair of styles (for the sorted cut).
    constexpr double kSecondsPerCandidate = 6e-8, kSecondsPerStylePair = 1e-8;
    const double m = static_cast<double>(styles);
    const double estimate = m * ups * kSecondsPerCandidate + m * m * kSecondsPerStylePair;
    return estimate <= 0.002 || (estimate <= 0.06 && estimate <= secondsLeft);
}

// Step 2: the exact two-plate search on the styles of each pair of plates.
// `sheets` holds the sheets of each plate of `a`, before and after. The
// pairs are taken plate by plate; in large orders, whose plates are too many
// to pair all within the budget, neighbouring plates come first (the plates
// of runs of the sorted order are numbered from the smallest quantities up,
// and neighbours share the most).
void improvePairs(std::span<const uint32_t> q, uint32_t ups, uint32_t plates, Assignment& a,
                  std::vector<int64_t>& sheets, SearchClock& clock) {
    std::vector<size_t> count(plates, 0);
    for (uint32_t p : a.plateOf) ++count[p];
    // The smallest pair decides whether any pair can be searched at all.
    std::vector<size_t> smallest(count);
    std::partial_sort(smallest.begin(), smallest.begin() + 2, smallest.end());
    if (!pairSearchFits(smallest[0] + smallest[1], ups, clock.remainingSeconds())) return;

    std::vector<std::vector<size_t>> members(plates);
    for (uint32_t k = 0; k < plates; ++k) members[k].reserve(count[k]);
    for (size_t i = 0; i < q.size(); ++i) members[a.plateOf[i]].push_back(i);
    bool improved = true;
    // false when the clock has run out.
    auto searchPair = [&](uint32_t x, uint32_t y) {
        if (!pairSearchFits(members[x].size() + members[y].size(), ups, clock.remainingSeconds())) return true;
        if (clock.expired()) return false;
        std::vector<size_t> pairMembers(members[x].size() + members[y].size());
        std::merge(members[x].begin(), members[x].end(), members[y].begin(), members[y].end(), pairMembers.begin());
        std::vector<uint32_t> pair;
        Assignment start;
        pair.reserve(pairMembers.size());
        start.plateOf.reserve(pairMembers.size());
        for (size_t i : pairMembers) {
            pair.push_back(q[i]);
            start.plateOf.push_back(a.plateOf[i] == x ? 0u : 1u);
        }
        start.sheets = sheets[x] + sheets[y];
        const SearchAnswer answer = searchTwoPlateDivision(pair, ups, clock, false, &start);
        if (answer.best.sheets >= start.sheets) return true;
        members[x].clear();
        members[y].clear();
        std::vector<uint32_t> onX, onY;
        for (size_t m = 0; m < pairMembers.size(); ++m) {
            const bool toX = answer.best.plateOf[m] == 0;
            a.plateOf[pairMembers[m]] = toX ? x : y;
            (toX ? members[x] : members[y]).push_back(pairMembers[m]);
            (toX ? onX : onY).push_back(pair[m]);
        }
        sheets[x] = static_cast<int64_t>(sheetsOf(onX, ups));
        sheets[y] = static_cast<int64_t>(sheetsOf(onY, ups));
        a.sheets = std::accumulate(sheets.begin(), sheets.end(), int64_t{0});
        improved = true;
        return true;
    };
    const bool neighboursFirst = q.size() > kLargeOrderStyles;
    while (improved && !clock.expired()) {
        improved = false;
        if (neighboursFirst) {
            for (uint32_t apart = 1; apart < plates; ++apart)
                for (uint32_t x = 0; x + apart < plates; ++x)
                    if (!searchPair(x, x + apart)) return;
        } else {
            for (uint32_t x = 0; x < plates; ++x)
                for (uint32_t y = x + 1; y < plates; ++y)
                    if (!searchPair(x, y)) return;
        }
    }
}

std::vector<int64_t> plateSheets(std::span<const uint32_t> q, const Assignment& a, uint32_t plates, uint32_t ups) {
    std::vector<int64_t> sheets(plates);
    const std::vector<std::vector<uint32_t>> groups = quantitiesByPlate(q, a, plates);
    for (uint32_t k = 0; k < plates; ++k) sheets[k] = static_cast<int64_t>(sheetsOf(groups[k], ups));
    return sheets;
}

void improvePairs(std::span<const uint32_t> q, uint32_t ups, uint32_t plates, Assignment& a, SearchClock& clock) {
    std::vector<int64_t> sheets = plateSheets(q, a, plates, ups);
    improvePairs(q, ups, plates, a, sheets, clock);
}

// Step 4, for orders too large to prove: move a few styles between two
// random plates, improve all pairs again from there, and keep the result
// when it is no worse, until the clock runs out. The generator has a fixed
// seed, so a run is repeatable as far as the budget allows. Only the plates
// a move touches are counted anew.
void shakeAndImprove(std::span<const uint32_t> q, uint32_t ups, uint32_t plates, Assignment& best, int64_t floor,
                     SearchClock& clock) {
    std::mt19937_64 random(1);
    Assignment current = best;
    std::vector<int64_t> currentSheets = plateSheets(q, current, plates, ups);
    std::vector<size_t> currentCount(plates, 0);
    for (uint32_t p : current.plateOf) ++currentCount[p];
    std::vector<size_t> count;
    std::vector<uint32_t> touched, group;
    while (!clock.expired() && best.sheets > floor) {
        Assignment trial = current;
        count = currentCount;
        touched.clear();
        const size_t moves = 1 + random() % 3;
        for (size_t m = 0; m < moves; ++m) {
            const size_t style = random() % q.size();
            const uint32_t from = trial.plateOf[style], to = static_cast<uint32_t>(random() % plates);
            if (to == from || count[from] == 1 || count[to] >= ups) continue;
            trial.plateOf[style] = to;
            --count[from];
            ++count[to];
            touched.push_back(from);
            touched.push_back(to);
        }
        std::sort(touched.begin(), touched.end());
        touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
        std::vector<int64_t> sheets = currentSheets;
        for (uint32_t k : touched) {
            group.clear();
            for (size_t i = 0; i < q.size(); ++i)
                if (trial.plateOf[i] == k) group.push_back(q[i]);
            sheets[k] = static_cast<int64_t>(sheetsOf(group, ups));
        }
        trial.sheets = std::accumulate(sheets.begin(), sheets.end(), int64_t{0});
        improvePairs(q, ups, plates, trial, sheets, clock);
        if (trial.sheets <= current.sheets) {
            current = std::move(trial);
            currentSheets = std::move(sheets);
            currentCount.assign(plates, 0);
            for (uint32_t p : current.plateOf) ++currentCount[p];
        }
        if (current.sheets < best.sheets) {
            best = current;
            clock.bestSheets = best.sheets;
        }
    }
}

// Step 3: depth-first over the styles, largest first. A style joins one of
// the plates that already have styles, or the first empty one (the empty
// plates are interchangeable); a branch ends when its sheets, plus one sheet
// for every plate still empty, reach the best division's.
class PlateBranching {
public:
    PlateBranching(std::span<const uint32_t> q, uint32_t ups, uint32_t plates, Assignment& best, SearchClock& clock)
        : q_(q), ups_(ups), plates_(plates), best_(best), clock_(clock), groups_(plates), sheets_(plates, 0),
          current_(q.size(), 0) {
        // Largest first.
        order_ = ascendingOrder(q);
        std::reverse(order_.begin(), order_.end());
    }

    // true when every branch was followed to its end.
    bool run(int64_t floor) {
        floor_ = floor;
        branch(0, 0, 0);
        return !timedOut_;
    }

private:
    void branch(size_t depth, int64_t sheets, uint32_t used) {
        if (stopped_) return;
        // Every 1024 nodes, or sooner where large plates make nodes slow.
        if ((++nodes_ & 1023) == 0 || work_ >= kWorkBetweenChecks) {
            work_ = 0;
            if (clock_.expired()) {
                stopped_ = timedOut_ = true;
                return;
            }
        }
        const size_t left = q_.size() - depth;
        if (left < plates_ - used) return;  // some plate would stay empty
        if (depth == q_.size()) {
            best_.plateOf = current_;
            best_.sheets = sheets;
            clock_.bestSheets = sheets;
            if (sheets <= floor_) stopped_ = true;  // nothing can be better
            return;
        }
        const size_t style = order_[depth];
        const uint32_t open = std::min(used + 1, plates_);
        for (uint32_t k = 0; k < open && !stopped_; ++k) {
            if (groups_[k].size() >= ups_) continue;
            groups_[k].push_back(q_[style]);
            const int64_t was = sheets_[k];
            sheets_[k] = static_cast<int64_t>(sheetsOf(groups_[k], ups_));
            work_ += groups_[k].size() * 24;  // a bisection of about 24 steps
            const uint32_t nowUsed = k == used ? used + 1 : used;
            const int64_t total = sheets - was + sheets_[k];
            if (total + (plates_ - nowUsed) < best_.sheets) {
                current_[style] = k;
                branch(depth + 1, total, nowUsed);
            }
            sheets_[k] = was;
            groups_[k].pop_back();
        }
    }

    std::span<const uint32_t> q_;
    uint32_t ups_, plates_;
    Assignment& best_;
    SearchClock& clock_;
    std::vector<size_t> order_;
    std::vector<std::vector<uint32_t>> groups_;
    std::vector<int64_t> sheets_;
    std::vector<uint32_t> current_;
    int64_t floor_ = 0;
    uint64_t nodes_ = 0;
    uint64_t work_ = 0;      // share computations since the clock was last read
    bool stopped_ = false;   // the floor was reached, or the clock ran out
    bool timedOut_ = false;
};

}  // namespace

SearchAnswer searchManyPlateDivision(std::span<const uint32_t> quantities, uint32_t ups, uint32_t plates,
                                     SearchClock& clock) {
    SearchAnswer answer;
    if (quantities.size() == plates) {
        // A style on every plate: the only division there is.
        answer.best.plateOf.resize(plates);
        std::iota(answer.best.plateOf.begin(), answer.best.plateOf.end(), 0u);
        for (uint32_t q : quantities) answer.best.sheets += static_cast<int64_t>(shareOf(q, ups));
        answer.optimal = true;
        answer.lowerBound = answer.best.sheets;
        return answer;
    }
    const int64_t floor = sheetsLowerBound(quantities, ups, plates);
    clock.lowerBound = floor;
    answer.best = sortedRuns(quantities, ups, plates, clock);
    clock.bestSheets = answer.best.sheets;
    clock.lowerBound = std::min(floor, answer.best.sheets);
    if (answer.best.sheets > floor) improvePairs(quantities, ups, plates, answer.best, clock);
    clock.bestSheets = answer.best.sheets;
    if (answer.best.sheets > floor && !clock.expired()) {
        // The branching gets half of what is left; when it cannot finish in
        // that, the order is too large to prove and the rest goes to
        // shaking the division up and improving the pairs again.
        if (quantities.size() <= kLargeOrderStyles) {
            SearchClock half = clock.share(0.5);
            PlateBranching branching(quantities, ups, plates, answer.best, half);
            answer.optimal = branching.run(floor);
            clock.bestSheets = answer.best.sheets;
        }
        if (!answer.optimal) shakeAndImprove(quantities, ups, plates, answer.best, floor, clock);
    }
    answer.optimal = answer.optimal || answer.best.sheets <= floor;
    answer.lowerBound = answer.optimal ? answer.best.sheets : std::min(floor, answer.best.sheets);
    return answer;
}

}  // namespace calc::detail
