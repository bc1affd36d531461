// The calculation's program-wide values: the order read from the order grid,
// the two plates' lists of the best division, the sheet counts the report
// recorded, and the report text saved after the one-plate section.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace calc {

struct OrderModel {
    std::vector<int32_t> quantities;  // one per style, in style order, each 1..99,999,999
    int32_t styleCount = 0;           // 款数
    int64_t totalQuantity = 0;        // 合计; 64-bit so that 150 large quantities cannot wrap
    int32_t upsPerPlate = 0;          // 模数, read when a calculation is asked for
};

struct CalcState {
    OrderModel order;
    std::vector<int32_t> plateOneList;  // the best division found, in the order it was cut from
    std::vector<int32_t> plateTwoList;
    int32_t minStylesBound = 0;         // m: both parts of a cut must hold more than m styles
    int64_t onePlateSheets = 0;         // recorded by the one-plate report; 0 until then
    int64_t twoPlateSheets = 0;         // recorded by the two-plate report
    bool onePlateReported = false;      // the last calculation wrote a one-plate section
    std::string savedReport;            // GBK: the report up to and including the one-plate section
};

CalcState& state();
// Back to the start-up values (empty lists, zero counts, no report).
void resetState();

}  // namespace calc
