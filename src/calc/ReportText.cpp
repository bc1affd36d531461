// The report's sections, the sheet difference and the compute refusals as
// text: numbers as the runtime renders them, words from the calculation's texts.
#include "calc/WindowText.h"
#include "calc/ReportText.h"

#include <cmath>

#include "calc/CalcTexts.h"
#include "runtime/Numbers.h"

namespace calc {
namespace {

std::string decimal(int64_t v) { return rt::formatInt(v); }

}  // namespace

ReportSections reportSections(int64_t styles, int64_t upsPerPlate) {
    return {styles >= 1 && styles <= upsPerPlate, styles >= 2 && styles <= 2 * upsPerPlate};
}

std::string wasteRatioText(double ratio) { return doubleText(std::isfinite(ratio) ? ratio : 0.0); }

std::string orderLinesText(int64_t styles, int64_t totalQuantity) {
    return texts::CountHead + decimal(styles) + texts::ReportStyles + decimal(totalQuantity) + texts::ReportTotalTail;
}

std::string plateLineText(int64_t upsPerPlate) {
    return texts::ReportPlateHead + decimal(upsPerPlate) + texts::ReportPlateTail;
}

std::string onePlateSectionText(const PlateLayout& layout) {
    return texts::ReportOnePlateHead + wasteRatioText(layout.wasteRatio) + texts::ReportRatioTail +
           texts::ReportWasteHead + decimal(layout.wasteQuantity) + texts::ReportPiecesLine +
           texts::ReportSheetsHead + decimal(layout.sheets) + texts::ReportSheetsLine + texts::ReportPrintedHead +
           decimal(layout.printedQuantity) + texts::ReportPieces;
}

std::string twoPlateSectionText(int64_t totalQuantity, int64_t upsPerPlate, int64_t sheets) {
    // 64-bit: the sheets of both plates times the slots can pass 2^31.
    const int64_t printed = upsPerPlate * sheets;
    const int64_t waste = printed - totalQuantity;
    const double ratio = rt::roundTo(static_cast<double>(waste) / (static_cast<double>(totalQuantity) / 100), 2);
    return texts::ReportTwoPlatesHead + wasteRatioText(ratio) + texts::ReportRatioTail + texts::ReportWasteHead +
           decimal(waste) + texts::ReportPiecesLine + texts::ReportSheetsHead +
           doubleText(static_cast<double>(sheets)) + texts::ReportSheetsLine + texts::ReportPrintedHead +
           decimal(printed) + texts::ReportPieces;
}

std::string divisionProofText(bool proven, int64_t lowerBound) {
    if (proven) return texts::ReportProvenBest;
    return texts::ReportLowerBoundHead + decimal(lowerBound) + texts::ReportLowerBoundTail;
}

std::string sheetDifferenceText(int64_t onePlateSheets, int64_t twoPlateSheets) {
    return texts::DifferenceHead + doubleText(static_cast<double>(onePlateSheets - twoPlateSheets)) +
           texts::DifferenceTail;
}

std::string computeRefusalText(int64_t styles, int64_t upsPerPlate) {
    if (styles < 1) return texts::EmptyOrder;
    // In double precision, as the window compares them.
    const double twiceUps = 2.0 * static_cast<double>(upsPerPlate);
    if (static_cast<double>(styles) - twiceUps > 1e-7)
        return texts::TooManyStylesHead + doubleText(twiceUps) + texts::TooManyStylesMiddle + decimal(styles) +
               texts::TooManyStylesTail;
    return {};
}

}  // namespace calc
