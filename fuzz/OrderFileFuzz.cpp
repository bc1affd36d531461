// Reads arbitrary bytes as an order file and checks what the reader
// promises: quantities valid and in cell order below the limit, the named
// entries bounded and in the file, a limit that only moves quantities to the
// ones beyond, and every reading written back and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string_view>
#include <vector>

#include "calc/OrderFile.h"
#include "calc/PlateLayout.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

void checkEntries(const calc::OrderFileEntries& entries) {
    check(entries.count >= static_cast<int64_t>(entries.named.size()));
    check(entries.named.size() <= calc::kNamedEntries);
    for (const calc::OrderFileEntry& e : entries.named) check(e.line >= 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    constexpr int64_t kCells = calc::kMaxOrderStyles;
    const calc::OrderFile file = calc::parseOrderFile(bytes, kCells);
    if (!file.text) {
        check(file.quantities.empty() && !file.ups && file.rejected.count == 0 && file.beyond.count == 0);
        return 0;
    }
    int64_t previous = -1;
    for (const calc::PlacedQuantity& q : file.quantities) {
        check(q.position > previous && q.position < kCells);
        check(calc::isValidQuantity(q.quantity));
        previous = q.position;
    }
    if (file.ups) check(*file.ups >= 1 && *file.ups <= calc::kMaxUpsPerPlate);
    checkEntries(file.rejected);
    checkEntries(file.beyond);
    if (file.plain) check(file.headed && file.ups && file.rejected.count == 0 && file.beyond.count == 0);

    // Without a limit the same quantities come first, and those beyond join them.
    const calc::OrderFile whole = calc::parseOrderFile(bytes, std::numeric_limits<int64_t>::max());
    check(whole.rejected.count == file.rejected.count && whole.beyond.count == 0);
    check(static_cast<int64_t>(whole.quantities.size()) ==
          static_cast<int64_t>(file.quantities.size()) + file.beyond.count);
    for (size_t i = 0; i < file.quantities.size(); ++i) check(whole.quantities[i] == file.quantities[i]);
    check(whole.ups == file.ups && whole.headed == file.headed);

    // What 打开 loads, 保存 writes, and 打开 reads back the same.
    std::vector<int32_t> cells(static_cast<size_t>(kCells), 0);
    for (const calc::PlacedQuantity& q : file.quantities) cells[static_cast<size_t>(q.position)] = q.quantity;
    const int32_t ups = file.ups.value_or(48);
    const calc::OrderFile again = calc::parseOrderFile(calc::formatOrderFile(cells, ups), kCells);
    check(again.text && again.plain && again.ups == ups);
    check(again.quantities == file.quantities);
    return 0;
}
