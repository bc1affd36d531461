// The one-plate layout: slots per style and the sheet count, found by bisection.
#include "calc/PlateLayout.h"

#include <algorithm>
#include <limits>
#include <string>

#include "calc/LayoutSteps.h"
#include "runtime/Numbers.h"

namespace calc {

namespace {

// Truncation toward zero as the runtime converts doubles: the low 32 bits of
// the 64-bit conversion, INT32_MIN where that conversion has no value.
int32_t truncateToInt(double x) {
    if (!(x >= -9.2e18 && x <= 9.2e18)) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(x)));
}

}  // namespace

int32_t ceilByText(double x) {
    std::string text = rt::formatDouble(x);
    // Tiny shares are rendered in exponent form ("2e-05") without a decimal
    // point, yet still need a whole slot.
    if (x > 0 && x < 1) return 1;
    if (rt::findText(text, ".") == -1) return truncateToInt(x);
    return static_cast<int32_t>(static_cast<uint32_t>(rt::floorToInt(x)) + 1u);
}

namespace detail {

ValidStyles collectValid(std::span<const int32_t> quantities) {
    ValidStyles styles;
    styles.values.reserve(quantities.size());
    for (int32_t q : quantities) {
        if (!isValidQuantity(q)) continue;
        styles.values.push_back(q);
        styles.total += q;
    }
    return styles;
}

PlateLayout noSlots(int64_t total) {
    PlateLayout layout;
    layout.ok = false;
    layout.totalQuantity = total;
    return layout;
}

PlateLayout tooManyStyles(int64_t total, int32_t upsPerPlate) {
    PlateLayout layout;
    layout.ok = false;
    layout.totalQuantity = total;
    // One slot per plate and a long list of large quantities can need more
    // sheets than 32 bits hold; the estimate is then held at the largest value.
    double estimate = static_cast<double>(total) / upsPerPlate;
    layout.sheets = estimate > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                                    : ceilByText(estimate);
    return layout;
}

PlateLayout finish(const ValidStyles& styles, int32_t upsPerPlate, int32_t sheets, std::vector<int32_t> slots) {
    PlateLayout layout;
    layout.ok = true;
    layout.sheets = sheets;
    layout.totalQuantity = styles.total;
    layout.printedQuantity = static_cast<int64_t>(sheets) * upsPerPlate;
    layout.wasteQuantity = layout.printedQuantity - styles.total;
    int64_t used = 0;
    layout.wastePerStyle.reserve(slots.size());
    for (size_t i = 0; i < slots.size(); ++i) {
        used += slots[i];
        layout.wastePerStyle.push_back(static_cast<int64_t>(slots[i]) * sheets - styles.values[i]);
    }
    layout.remainingSlots = static_cast<int32_t>(upsPerPlate - used);
    // Formed in doubles, operation by operation, so that the rounding matches
    // the figures shown elsewhere; an empty list gives 0 / 0.
    double total = static_cast<double>(styles.total);
    double printed = static_cast<double>(sheets) * static_cast<double>(upsPerPlate);
    layout.wasteRatio = rt::roundTo((printed - total) / (total / 100.0), 2);
    layout.slotsPerStyle = std::move(slots);
    return layout;
}

}  // namespace detail

PlateLayout layoutOnePlate(std::span<const int32_t> quantities, int32_t upsPerPlate) {
    detail::ValidStyles styles = detail::collectValid(quantities);
    if (upsPerPlate < 1) return detail::noSlots(styles.total);
    const uint64_t ups = static_cast<uint64_t>(upsPerPlate);
    const uint64_t n = styles.values.size();
    if (n > ups) return detail::tooManyStyles(styles.total, upsPerPlate);
    if (n == 0) return detail::finish(styles, upsPerPlate, 0, {});

    // Every quantity and every candidate sheet count lies below 1e8, so the
    // shares are 32-bit ceiling divisions.
    auto fits = [&](uint32_t sheets) {
        uint64_t used = 0;
        for (int32_t q : styles.values) {
            used += (static_cast<uint32_t>(q) + sheets - 1) / sheets;
            if (used > ups) return false;
        }
        return true;
    };

    const uint64_t total = static_cast<uint64_t>(styles.total);
    const uint32_t largest = static_cast<uint32_t>(*std::max_element(styles.values.begin(), styles.values.end()));
    // The shares add up to at least T / S, so fewer than ceil(T / ups) sheets
    // never fit. At S = largest every share is one slot and n <= ups fit; when
    // slots are to spare, S >= T / (ups - n) fits too, since each share exceeds
    // q / S by less than one.
    uint64_t low = (total + ups - 1) / ups;
    uint64_t high = largest;
    if (ups > n) high = std::min<uint64_t>(high, (total + (ups - n) - 1) / (ups - n));
    low = std::min(low, high);
    while (low < high) {
        uint64_t mid = low + (high - low) / 2;
        if (fits(static_cast<uint32_t>(mid))) high = mid;
        else low = mid + 1;
    }
    const uint32_t sheets = static_cast<uint32_t>(low);

    std::vector<int32_t> slots;
    slots.reserve(n);
    for (int32_t q : styles.values) slots.push_back(static_cast<int32_t>((static_cast<uint32_t>(q) + sheets - 1) / sheets));
    return detail::finish(styles, upsPerPlate, static_cast<int32_t>(sheets), std::move(slots));
}

}  // namespace calc
