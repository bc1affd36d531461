// Laying out one list of style quantities on one printing plate: how many
// sheets are printed, how many slots each style gets and what that costs in
// surplus tags.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace calc {

// A quantity counts as a style only inside this range; anything else in a
// list is dropped without a trace.
inline constexpr int32_t kMinQuantity = 1;
inline constexpr int32_t kMaxQuantity = 99'999'999;

inline constexpr bool isValidQuantity(int64_t q) { return q >= kMinQuantity && q <= kMaxQuantity; }

// The result of one layout. The totals are 64-bit so that sheets x ups and
// the sum of a large order never wrap; every value that fits in 32 bits is
// the same as a 32-bit computation would give.
struct PlateLayout {
    bool ok = false;                     // false: more valid styles than slots (or no slots at all)
    int32_t sheets = 0;                  // 印刷张数
    int64_t totalQuantity = 0;           // 订单数量: sum of the valid quantities
    int64_t printedQuantity = 0;         // 印后数量: sheets x ups, empty slots included
    int32_t remainingSlots = 0;          // 剩余模数: slots left empty
    int64_t wasteQuantity = 0;           // 浪费数量: printed - total
    double wasteRatio = 0;               // 浪费比例: waste in percent of the total, 2 places
    std::vector<int32_t> slotsPerStyle;  // one entry per valid style, in input order
    std::vector<int64_t> wastePerStyle;  // slots x sheets - quantity, per valid style
};

// The rounding-up rule used for every division of the layout: when the
// rendering of x (13 significant digits) shows a decimal point the result is
// floor(x) + 1, otherwise x truncated toward zero. A positive x below 1
// always gives 1, also when it is rendered in exponent form ("2e-05").
// Results beyond the 32-bit range keep their low 32 bits, and NaN or values
// beyond +-9.2e18 give INT32_MIN, as the runtime's floor does; the layout
// only passes quotients well inside the range.
int32_t ceilByText(double x);

// Lays out the valid quantities (1..99,999,999, in input order) on a plate of
// `upsPerPlate` slots. The sheet count is the smallest S >= ceil(T / ups) for
// which the shares ceil(q / S) fit on the plate; it is found by bisection,
// since the sum of the shares never grows as S grows.
//
// - More valid styles than slots: ok = false, sheets = ceil(T / ups) and
//   totalQuantity = T; everything else stays zero or empty. A sheet count
//   beyond the 32-bit range is held at INT32_MAX.
// - An empty list: ok = true, sheets = 0, remainingSlots = ups and a ratio
//   of 0 / 0 (NaN); showing that is up to the caller.
// - upsPerPlate < 1 (never passed by the program): ok = false with
//   totalQuantity = T and everything else zero or empty.
PlateLayout layoutOnePlate(std::span<const int32_t> quantities, int32_t upsPerPlate);

}  // namespace calc
