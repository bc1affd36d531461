// What the division searches share: the time budget with its progress
// reports, exact shares, and turning an assignment of styles to plates into
// the division the callers get.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "calc/PlateDivision.h"

namespace calc::detail {

// The slots a style of q tags needs when its plate prints s sheets. For
// valid quantities this is exactly the layout's rounded-up share: q < 1e8,
// so a fractional q / s has a fraction of at least 1e-8 and shows in the
// 13 significant digits the layout's rounding looks at.
inline uint64_t shareOf(uint64_t q, uint64_t s) { return (q + s - 1) / s; }

// The same for a valid quantity and a sheet count below 1e8, whose sum fits
// in 32 bits: a 32-bit division, about twice as fast.
inline uint32_t shareOf32(uint32_t q, uint32_t s) { return (q + s - 1) / s; }

// The slots the quantities need at `sheets` sheets; the count stops as soon
// as it passes `enough`, so a result above it says only "does not fit".
uint64_t slotsAtSheets(std::span<const uint32_t> quantities, uint32_t sheets, uint64_t enough);

// The sheets of one group on `ups` slots, the same as layoutOnePlate's
// (which the tests check) but on integers and without building the layout:
// the smallest s with sum of shares <= ups; 0 for an empty group. The group
// must fit (size <= ups).
uint64_t sheetsOf(std::span<const uint32_t> quantities, uint32_t ups);

// The sheets of a run of a sequence of valid quantities, sequence[first,
// end), as the run grows at its end: after each extendTo, sheetsOf the run.
// The sheet count never falls as styles join, so each new one is looked for
// upwards from the last: while the slots used there still fit, one division
// per new style, and otherwise a few passes over the run (see rise).
class GrowingRun {
public:
    GrowingRun(std::span<const uint32_t> sequence, size_t first, uint32_t ups)
        : sequence_(sequence), first_(first), end_(first), ups_(ups) {}

    // The sheets of the run up to `end` (no earlier than the last end; the
    // run holds at least one style and at most ups).
    uint32_t extendTo(size_t end);

private:
    uint64_t slotsAt(uint32_t sheets) const;
    void rise();

    std::span<const uint32_t> sequence_;
    size_t first_, end_;
    uint64_t ups_;
    uint64_t total_ = 0;
    uint32_t largest_ = 0;
    uint32_t sheets_ = 0;  // 0 before the first style
    uint64_t used_ = 0;    // slots at sheets_, exact
    std::vector<uint32_t> drops_;
};

// The positions of the quantities from the smallest up; equal quantities
// keep their order, as in the sorted cut.
std::vector<size_t> ascendingOrder(std::span<const uint32_t> quantities);

// A lower bound on the sheets of every division of the styles over `plates`
// plates: the plates together print at least the order (sheets x ups >=
// total), and a bound by sheet-count thresholds (see its definition). It
// comes before the search first looks at the clock, so the styles its
// thresholds pass over are held to about kLowerBoundStyles a bisection step
// (a few hundredths of a second); small orders get the full bound.
inline constexpr uint64_t kLowerBoundStyles = uint64_t{1} << 20;
int64_t sheetsLowerBound(std::span<const uint32_t> quantities, uint32_t ups, uint32_t plates);

// The time budget of one search. Searches call expired() between units of
// work of a few microseconds; it reads the clock and, every tenth of a
// second after the first, hands the figures of the outermost search to the
// progress callback.
struct Assignment;

class SearchClock {
public:
    explicit SearchClock(const DivisionOptions& options);
    bool expired();
    double elapsedSeconds() const;
    // Until this clock runs out; 0 once it has.
    double remainingSeconds() const;
    // A clock for part of the search: it runs out after `fraction` of the
    // time left here, or with this one, and reports progress as this one.
    SearchClock share(double fraction);

    // Written only by the outermost search, for the progress reports.
    int64_t bestSheets = 0;
    int64_t lowerBound = 0;
    // Told by the outermost two-plate search of each better division it finds.
    std::function<void(const Assignment&)> improved;

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point start_, deadline_, nextReport_;
    const DivisionOptions& options_;
    SearchClock* whole_ = nullptr;  // the clock this one is a share of
    bool expired_ = false;
};

// A search's answer on the valid styles: the plate (0-based) of each style.
struct Assignment {
    std::vector<uint32_t> plateOf;
    int64_t sheets = 0;  // sum of sheetsOf over the plates
};

// The sheets of all the plates of an assignment together.
int64_t assignmentSheets(std::span<const uint32_t> quantities, const Assignment& assignment, uint32_t plates,
                         uint32_t ups);
// The quantities of every plate, in one pass over the styles.
std::vector<std::vector<uint32_t>> quantitiesByPlate(std::span<const uint32_t> quantities,
                                                     const Assignment& assignment, uint32_t plates);

// The division for an assignment of the valid styles (`positions` says where
// each stands in the caller's list), with the plates' layouts, ordered by
// their first style.
Division makeDivision(std::span<const int32_t> quantities, std::span<const size_t> positions,
                      const Assignment& assignment, int32_t plates, int32_t ups);

// The exact two-plate search on valid quantities (2 <= n <= 2 * ups).
// `start`, when given, is a division to improve on. The answer is never worse
// than it nor than the best cut of the stably sorted order. `lowerBound` and
// `optimal` say what was proven when the clock ran out or the search ended.
struct SearchAnswer {
    Assignment best;
    int64_t lowerBound = 0;
    bool optimal = false;
};
SearchAnswer searchTwoPlateDivision(std::span<const uint32_t> quantities, uint32_t ups, SearchClock& clock,
                                      bool outermost, const Assignment* start = nullptr);

// The search over k >= 3 plates on valid quantities (k <= n <= k * ups).
SearchAnswer searchManyPlateDivision(std::span<const uint32_t> quantities, uint32_t ups, uint32_t plates,
                                        SearchClock& clock);

}  // namespace calc::detail
