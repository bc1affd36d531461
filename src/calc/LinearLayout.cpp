// The literal one-plate loop: the sheet count rises one at a time, each share rounded up through its rendering. The reference for tests and benchmarks.
#include "calc/LinearLayout.h"

#include <vector>

#include "calc/LayoutSteps.h"

namespace calc {

PlateLayout layoutOnePlateLinear(std::span<const int32_t> quantities, int32_t upsPerPlate) {
    detail::ValidStyles styles = detail::collectValid(quantities);
    // Without a slot the loop below would divide by zero or never end.
    if (upsPerPlate < 1) return detail::noSlots(styles.total);
    if (styles.values.size() > static_cast<size_t>(upsPerPlate)) return detail::tooManyStyles(styles.total, upsPerPlate);

    const double total = static_cast<double>(styles.total);
    int32_t sheets = ceilByText(total / upsPerPlate);
    std::vector<int32_t> slots(styles.values.size());
    for (;;) {
        int64_t used = 0;
        for (size_t i = 0; i < styles.values.size(); ++i) {
            slots[i] = ceilByText(static_cast<double>(styles.values[i]) / sheets);
            used += slots[i];
        }
        if (used <= upsPerPlate) break;
        ++sheets;
    }
    return detail::finish(styles, upsPerPlate, sheets, std::move(slots));
}

}  // namespace calc
