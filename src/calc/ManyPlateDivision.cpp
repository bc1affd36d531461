// The division over three or more plates.
//
// 1. The best division of the sorted order into consecutive runs, one per
//    plate (each run at most ups styles), by dynamic programming over the
//    cut points.
// 2. Improved by dividing the styles of every two plates anew with the exact
//    two-plate search, until no pair of plates gains a sheet. The result can
//    only get better, and no single pair of plates can then be bettered.
// 3. A branch-and-bound over the plate of each style, largest quantity
//    first, proves the result optimal or finds a better one when half the
//    remaining budget allows; a plate's sheet count never falls as styles
//    join it, so the sheets of a partial division bound all its completions.
// 4. When that cannot finish, the rest of the budget goes to moving a few
//    styles at random and improving the pairs again from there.
//
// The lower bound when the budget runs out first is sheetsLowerBound.
#include <algorithm>
#include <numeric>
#include <random>

#include "calc/DivisionSearch.h"

namespace calc::detail {
namespace {

// Step 1: runs of the stably sorted order.
Assignment sortedRuns(std::span<const uint32_t> q, uint32_t ups, uint32_t plates) {
    const size_t n = q.size();
    const std::vector<size_t> order = ascendingOrder(q);
    std::vector<uint32_t> sorted(n);
    for (size_t i = 0; i < n; ++i) sorted[i] = q[order[i]];

    // cost[i][len]: sheets of the run of `len` styles from sorted position i.
    const size_t longest = std::min<size_t>(n, ups);
    std::vector<std::vector<int64_t>> cost(n, std::vector<int64_t>(longest + 1, -1));
    for (size_t i = 0; i < n; ++i)
        for (size_t len = 1; len <= longest && i + len <= n; ++len)
            cost[i][len] = static_cast<int64_t>(sheetsOf(std::span<const uint32_t>(sorted).subspan(i, len), ups));

    // best[k][j]: fewest sheets for the first j sorted styles on k plates.
    constexpr int64_t kNone = INT64_MAX;
    std::vector<std::vector<int64_t>> best(plates + 1, std::vector<int64_t>(n + 1, kNone));
    std::vector<std::vector<size_t>> from(plates + 1, std::vector<size_t>(n + 1, 0));
    best[0][0] = 0;
    for (uint32_t k = 1; k <= plates; ++k)
        for (size_t j = k; j <= n; ++j)
            for (size_t len = 1; len <= longest && len <= j; ++len) {
                const int64_t before = best[k - 1][j - len];
                if (before == kNone) continue;
                if (before + cost[j - len][len] < best[k][j]) {
                    best[k][j] = before + cost[j - len][len];
                    from[k][j] = j - len;
                }
            }

    Assignment a;
    a.plateOf.assign(n, 0);
    a.sheets = best[plates][n];
    size_t j = n;
    for (uint32_t k = plates; k >= 1; --k) {
        for (size_t i = from[k][j]; i < j; ++i) a.plateOf[order[i]] = k - 1;
        j = from[k][j];
    }
    return a;
}

// Step 2: the exact two-plate search on the styles of each pair of plates.
void improvePairs(std::span<const uint32_t> q, uint32_t ups, uint32_t plates, Assignment& a, SearchClock& clock) {
    std::vector<int64_t> sheets(plates);
    for (uint32_t k = 0; k < plates; ++k) sheets[k] = static_cast<int64_t>(sheetsOf(plateQuantities(q, a, k), ups));
    bool improved = true;
    while (improved && !clock.expired()) {
        improved = false;
        for (uint32_t x = 0; x < plates && !clock.expired(); ++x)
            for (uint32_t y = x + 1; y < plates && !clock.expired(); ++y) {
                std::vector<size_t> members;
                std::vector<uint32_t> pair;
                Assignment start;
                for (size_t i = 0; i < q.size(); ++i) {
                    if (a.plateOf[i] != x && a.plateOf[i] != y) continue;
                    members.push_back(i);
                    pair.push_back(q[i]);
                    start.plateOf.push_back(a.plateOf[i] == x ? 0u : 1u);
                }
                start.sheets = sheets[x] + sheets[y];
                const SearchAnswer answer = searchTwoPlateDivision(pair, ups, clock, false, &start);
                if (answer.best.sheets >= start.sheets) continue;
                for (size_t m = 0; m < members.size(); ++m) a.plateOf[members[m]] = answer.best.plateOf[m] == 0 ? x : y;
                sheets[x] = static_cast<int64_t>(sheetsOf(plateQuantities(q, a, x), ups));
                sheets[y] = static_cast<int64_t>(sheetsOf(plateQuantities(q, a, y), ups));
                a.sheets = std::accumulate(sheets.begin(), sheets.end(), int64_t{0});
                improved = true;
            }
    }
}

// Step 4, for orders too large to prove: move a few styles between two
// random plates, improve all pairs again from there, and keep the result
// when it is no worse, until the clock runs out. The generator has a fixed
// seed, so a run is repeatable as far as the budget allows.
void shakeAndImprove(std::span<const uint32_t> q, uint32_t ups, uint32_t plates, Assignment& best, int64_t floor,
                     SearchClock& clock) {
    std::mt19937_64 random(1);
    std::vector<size_t> count(plates, 0);
    Assignment current = best;
    while (!clock.expired() && best.sheets > floor) {
        Assignment trial = current;
        std::fill(count.begin(), count.end(), 0);
        for (uint32_t p : trial.plateOf) ++count[p];
        const size_t moves = 1 + random() % 3;
        for (size_t m = 0; m < moves; ++m) {
            const size_t style = random() % q.size();
            const uint32_t from = trial.plateOf[style], to = static_cast<uint32_t>(random() % plates);
            if (to == from || count[from] == 1 || count[to] >= ups) continue;
            trial.plateOf[style] = to;
            --count[from];
            ++count[to];
        }
        trial.sheets = assignmentSheets(q, trial, plates, ups);
        improvePairs(q, ups, plates, trial, clock);
        if (trial.sheets <= current.sheets) current = trial;
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
        if ((++nodes_ & 1023) == 0 && clock_.expired()) {
            stopped_ = timedOut_ = true;
            return;
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
    bool stopped_ = false;   // the floor was reached, or the clock ran out
    bool timedOut_ = false;
};

}  // namespace

SearchAnswer searchManyPlateDivision(std::span<const uint32_t> quantities, uint32_t ups, uint32_t plates,
                                     SearchClock& clock) {
    SearchAnswer answer;
    const int64_t floor = sheetsLowerBound(quantities, ups, plates);
    answer.best = sortedRuns(quantities, ups, plates);
    clock.bestSheets = answer.best.sheets;
    clock.lowerBound = std::min(floor, answer.best.sheets);
    improvePairs(quantities, ups, plates, answer.best, clock);
    clock.bestSheets = answer.best.sheets;
    if (answer.best.sheets > floor && !clock.expired()) {
        // The branching gets half of what is left; when it cannot finish in
        // that, the order is too large to prove and the rest goes to
        // shaking the division up and improving the pairs again.
        SearchClock half = clock.share(0.5);
        PlateBranching branching(quantities, ups, plates, answer.best, half);
        answer.optimal = branching.run(floor);
        clock.bestSheets = answer.best.sheets;
        if (!answer.optimal) shakeAndImprove(quantities, ups, plates, answer.best, floor, clock);
    }
    answer.optimal = answer.optimal || answer.best.sheets <= floor;
    answer.lowerBound = answer.optimal ? answer.best.sheets : std::min(floor, answer.best.sheets);
    return answer;
}

}  // namespace calc::detail
