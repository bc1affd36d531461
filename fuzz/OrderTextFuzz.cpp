// Reads arbitrary bytes as an order text, checks what the reader promises,
// and lays the result out on a plate whose size comes from the input too.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "calc/LinearLayout.h"
#include "calc/OrderText.h"
#include "calc/PlateLayout.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    calc::OrderText order = calc::parseOrderText(text);
    for (int32_t q : order.quantities) check(calc::isValidQuantity(q));
    check(order.dropped >= 0);
    if (!order.ok) {
        check(order.errorLine >= 1 && !order.errorField.empty());
        check(text.find(order.errorField) != std::string_view::npos);
        std::string shown = calc::printableField(order.errorField);
        for (unsigned char c : shown) check(c >= 0x20 && c != 0x7F);
    }

    int32_t ups = static_cast<int32_t>(size % 64);  // 0 included: no slots at all
    calc::PlateLayout layout = calc::layoutOnePlate(order.quantities, ups);
    if (layout.ok && !order.quantities.empty()) {
        check(layout.slotsPerStyle.size() == order.quantities.size());
        int64_t used = 0;
        for (size_t i = 0; i < order.quantities.size(); ++i) {
            check(layout.slotsPerStyle[i] >= 1);
            check(static_cast<int64_t>(layout.slotsPerStyle[i]) * layout.sheets >= order.quantities[i]);
            used += layout.slotsPerStyle[i];
        }
        check(used + layout.remainingSlots == ups);
        check(layout.printedQuantity == static_cast<int64_t>(layout.sheets) * ups);
        check(layout.wasteQuantity == layout.printedQuantity - layout.totalQuantity);
    }

    // The step-by-step loop as reference, where it stays quick.
    int32_t largest = 0;
    for (int32_t q : order.quantities) largest = q > largest ? q : largest;
    if (order.quantities.size() <= 64 && largest <= 5000) {
        calc::PlateLayout literal = calc::layoutOnePlateLinear(order.quantities, ups);
        check(literal.ok == layout.ok && literal.sheets == layout.sheets);
        check(literal.totalQuantity == layout.totalQuantity && literal.remainingSlots == layout.remainingSlots);
        check(literal.slotsPerStyle == layout.slotsPerStyle && literal.wastePerStyle == layout.wastePerStyle);
        bool bothNaN = literal.wasteRatio != literal.wasteRatio && layout.wasteRatio != layout.wasteRatio;
        check(literal.wasteRatio == layout.wasteRatio || bothNaN);
    }
    return 0;
}
