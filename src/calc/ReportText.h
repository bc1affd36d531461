// The words of the window's report box, of its sheet-difference label and of
// the compute button's refusals, built apart from the controls so that the
// command line prints the same text. GBK; lines end in CR LF.
#pragma once

#include <cstdint>
#include <string>

#include "calc/PlateLayout.h"

namespace calc {

// The order grid holds 50 rows in each of its three quantity columns.
inline constexpr int32_t kMaxOrderStyles = 150;

// The sections a calculation reports: one plate when the styles fit on one
// plate, two plates when there are at least two styles and they fit on two.
struct ReportSections {
    bool onePlate = false;
    bool twoPlates = false;
};
ReportSections reportSections(int64_t styles, int64_t upsPerPlate);

// The waste ratio as the window shows it, without the percent sign. A
// layout of no tags at all has the ratio 0 / 0; nothing was printed, so
// nothing was wasted: it shows as 0.
std::string wasteRatioText(double ratio);

// "共N款\r\n合计T个\r\n": the order's lines.
std::string orderLinesText(int64_t styles, int64_t totalQuantity);
// "每张印版排U模": the plate line.
std::string plateLineText(int64_t upsPerPlate);
// "\r\n\r\n排1张版  R%" and the waste, sheets and printed lines of the layout.
std::string onePlateSectionText(const PlateLayout& layout);
// The same section for two plates of `sheets` sheets together, with the
// waste and its ratio worked out from the order's total.
std::string twoPlateSectionText(int64_t totalQuantity, int64_t upsPerPlate, int64_t sheets);
// The line that ends the two-plate section of the proven-best division:
// "\r\n已证明最优" when it is proven, else "\r\n最少可能为N张" with N the
// sheets no division can go below.
std::string divisionProofText(bool proven, int64_t lowerBound);
// "相差N张": the one-plate sheets less the two plates'.
std::string sheetDifferenceText(int64_t onePlateSheets, int64_t twoPlateSheets);

// The message the compute button shows instead of calculating an order of
// `styles` valid quantities with `upsPerPlate` slots, or "" when it
// calculates. The window's own check is checkOrderForCompute.
std::string computeRefusalText(int64_t styles, int64_t upsPerPlate);

}  // namespace calc
