// Enumerating every division of a small order, and generating orders.
#include "calc/division/BruteForce.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <sstream>

#include "calc/CutSearch.h"
#include "calc/PlateLayout.h"

namespace calc::reference {

namespace {

// Sheets of every subset of the styles that fits on one plate (by bit mask);
// -1 for the empty set and for sets with more styles than slots.
std::vector<int64_t> subsetSheets(std::span<const int32_t> styles, int32_t ups) {
    const uint32_t count = 1u << styles.size();
    std::vector<int64_t> sheets(count, -1);
    std::vector<int32_t> group;
    for (uint32_t mask = 1; mask < count; ++mask) {
        if (std::popcount(mask) > ups) continue;
        group.clear();
        for (size_t i = 0; i < styles.size(); ++i)
            if (mask & (1u << i)) group.push_back(styles[i]);
        PlateLayout layout = layoutOnePlate(group, ups);
        assert(layout.ok);
        sheets[mask] = layout.sheets;
    }
    return sheets;
}

struct Enumeration {
    std::vector<int64_t> sheets;
    int32_t ups;
    std::vector<std::vector<int64_t>> memo;  // [plates][mask], -2 not yet known

    // The fewest sheets for the styles in `mask` over `plates` plates. The
    // plate holding the lowest style of the mask is chosen first, so that no
    // division is counted once per relabelling of its plates.
    int64_t best(uint32_t mask, int32_t plates) {
        if (plates == 1) return sheets[mask];
        int64_t& known = memo[plates][mask];
        if (known != -2) return known;
        int64_t result = -1;
        const uint32_t low = mask & (~mask + 1);
        const uint32_t rest = mask ^ low;
        for (uint32_t sub = rest;; sub = (sub - 1) & rest) {
            const uint32_t group = sub | low;
            const uint32_t others = mask ^ group;
            const int left = std::popcount(others);
            if (std::popcount(group) <= ups && left >= plates - 1 &&
                static_cast<int64_t>(left) <= static_cast<int64_t>(plates - 1) * ups) {
                const int64_t tail = best(others, plates - 1);
                if (tail >= 0 && sheets[group] >= 0 && (result < 0 || sheets[group] + tail < result))
                    result = sheets[group] + tail;
            }
            if (sub == 0) break;
        }
        known = result;
        return result;
    }
};

}  // namespace

int64_t bruteForceSheets(std::span<const int32_t> styles, int32_t ups, int32_t plates) {
    assert(styles.size() <= 20);
    if (ups < 1 || plates < 1 || styles.size() < static_cast<size_t>(plates) ||
        styles.size() > static_cast<size_t>(plates) * static_cast<size_t>(ups))
        return -1;
    Enumeration e{subsetSheets(styles, ups), ups, {}};
    e.memo.assign(static_cast<size_t>(plates) + 1, std::vector<int64_t>(e.sheets.size(), -2));
    return e.best(static_cast<uint32_t>(e.sheets.size() - 1), plates);
}

int64_t sortedCutSheets(std::span<const int32_t> quantities, int32_t ups) {
    std::vector<int32_t> sequence;
    for (int32_t q : quantities)
        if (isValidQuantity(q)) sequence.push_back(q);
    std::stable_sort(sequence.begin(), sequence.end());
    Cut cut = bestCut(sequence, ups, minStylesForCut(sequence.size(), ups));
    return cut.found ? cut.sheets : -1;
}

const char* kindName(OrderKind kind) {
    switch (kind) {
        case OrderKind::Small: return "small";
        case OrderKind::Wide: return "wide";
        case OrderKind::Skewed: return "skewed";
        case OrderKind::Equal: return "equal";
        case OrderKind::Huge: return "huge";
    }
    return "?";
}

std::vector<int32_t> makeOrder(OrderKind kind, size_t styles, std::mt19937_64& random) {
    auto uniform = [&](int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(random); };
    std::vector<int32_t> order(styles);
    switch (kind) {
        case OrderKind::Small:
            for (int32_t& q : order) q = uniform(1, 20);
            break;
        case OrderKind::Wide:
            for (int32_t& q : order) q = uniform(1, 1'000'000);
            break;
        case OrderKind::Skewed: {
            for (int32_t& q : order) q = uniform(1, 50);
            const int huge = std::min<int>(static_cast<int>(styles), uniform(1, 3));
            const int32_t last = static_cast<int32_t>(styles) - 1;
            for (int h = 0; h < huge; ++h) order[static_cast<size_t>(uniform(0, last))] = uniform(100'000, 1'000'000);
            break;
        }
        case OrderKind::Equal: {
            const int32_t q = uniform(1, 5000);
            std::fill(order.begin(), order.end(), q);
            break;
        }
        case OrderKind::Huge:
            for (int32_t& q : order) q = uniform(1, kMaxQuantity);
            break;
    }
    return order;
}

std::string describe(std::span<const int32_t> quantities, int32_t ups) {
    // Large orders by their size and first quantities, so that a failure
    // does not flood the log.
    constexpr size_t kShownInFull = 200, kShownOfLarge = 8;
    std::ostringstream out;
    const bool large = quantities.size() > kShownInFull;
    out << "ups " << ups << ", order";
    if (large) out << " of " << quantities.size() << " styles";
    out << " {";
    for (size_t i = 0; i < (large ? kShownOfLarge : quantities.size()); ++i) out << (i ? ", " : "") << quantities[i];
    out << (large ? ", ...}" : "}");
    return out.str();
}

}  // namespace calc::reference
