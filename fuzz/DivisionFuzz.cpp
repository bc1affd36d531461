// Divides arbitrary orders over one to six plates with a short budget and
// checks what every answer promises: each valid style on exactly one
// non-empty plate, each plate's layout that of its quantities, the sheets
// adding up, a lower bound below them, never worse than the sorted cut for
// two plates, and for small two-plate orders the optimum of all divisions.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "calc/CutSearch.h"
#include "calc/PlateDivision.h"
#include "calc/PlateLayout.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

int64_t bestOfAllTwoPlateDivisions(const std::vector<int32_t>& styles, int32_t ups) {
    const size_t n = styles.size();
    int64_t best = -1;
    for (uint32_t mask = 1; mask + 1 < (1u << n); mask += 2) {  // style 0 always on the first plate
        std::vector<int32_t> one, two;
        for (size_t i = 0; i < n; ++i) ((mask >> i) & 1 ? one : two).push_back(styles[i]);
        calc::PlateLayout a = calc::layoutOnePlate(one, ups), b = calc::layoutOnePlate(two, ups);
        if (!a.ok || !b.ok) continue;
        if (best < 0 || a.sheets + b.sheets < best) best = a.sheets + b.sheets;
    }
    return best;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const int32_t ups = 1 + ((data[0] | data[1] << 8) % 999);
    const int32_t plates = 1 + data[2] % 6;
    std::vector<int32_t> quantities;
    for (size_t at = 3; at + 4 <= size && quantities.size() < 40; at += 4) {
        int32_t q;
        std::memcpy(&q, data + at, 4);
        // Mostly valid quantities of every size, some invalid ones.
        quantities.push_back(q % 8 == 0 ? q : static_cast<int32_t>(static_cast<uint32_t>(q) % 100'000'000u));
    }
    std::vector<int32_t> styles;
    for (int32_t q : quantities)
        if (calc::isValidQuantity(q)) styles.push_back(q);

    calc::DivisionOptions options;
    options.timeLimitSeconds = 0.02;
    const calc::Division d = calc::divideOverPlates(quantities, ups, plates, options);
    const bool possible = styles.size() >= static_cast<size_t>(plates) &&
                          styles.size() <= static_cast<size_t>(plates) * static_cast<size_t>(ups);
    check(d.ok == possible);
    if (!d.ok) return 0;

    check(d.plates.size() == static_cast<size_t>(plates));
    std::vector<int> seen(quantities.size(), 0);
    int64_t sheets = 0;
    for (const calc::PlateGroup& g : d.plates) {
        check(!g.styles.empty() && g.styles.size() == g.quantities.size());
        for (size_t j = 0; j < g.styles.size(); ++j) {
            check(g.styles[j] < quantities.size() && quantities[g.styles[j]] == g.quantities[j]);
            check(j == 0 || g.styles[j - 1] < g.styles[j]);
            ++seen[g.styles[j]];
        }
        const calc::PlateLayout again = calc::layoutOnePlate(g.quantities, ups);
        check(g.layout.ok && again.sheets == g.layout.sheets && again.slotsPerStyle == g.layout.slotsPerStyle);
        sheets += g.layout.sheets;
    }
    for (size_t i = 0; i < quantities.size(); ++i) check(seen[i] == (calc::isValidQuantity(quantities[i]) ? 1 : 0));
    check(sheets == d.sheets && d.lowerBound <= d.sheets && (!d.optimal || d.lowerBound == d.sheets));

    if (plates == 2) {
        std::vector<int32_t> sorted = styles;
        std::stable_sort(sorted.begin(), sorted.end());
        check(d.sheets <= calc::bestCut(sorted, ups, calc::minStylesForCut(sorted.size(), ups)).sheets);
        if (styles.size() <= 10) {
            const int64_t best = bestOfAllTwoPlateDivisions(styles, ups);
            check(d.lowerBound <= best && (!d.optimal || d.sheets == best));
        }
    }
    return 0;
}
