// The grids' start-up configuration, the result grids' clearing and filling,
// the radio handlers, the text report and the sheet-difference label.
#include "calc/WindowText.h"
#include "calc/ResultTables.h"

#include <array>
#include <string>
#include <vector>

#include "calc/CalcState.h"
#include "calc/CalcTexts.h"
#include "calc/Controls.h"
#include "calc/ReportText.h"
#include "grid/GridMethods.h"
#include "runtime/Commands.h"
#include "runtime/Heap.h"
#include "runtime/Numbers.h"
#include "runtime/Properties.h"
#include "runtime/Text.h"
#include "runtime/Value.h"

namespace calc {
namespace {

constexpr int32_t kOrderRows = 51;  // a header row and a row for each of 50 styles per column
constexpr std::array<int32_t, 4> kOrderColumnWidths = {38, 60, 60, 60};
static_assert((kOrderRows - 1) * static_cast<int32_t>(kOrderColumnWidths.size() - 1) == kMaxOrderStyles);
constexpr std::array<int32_t, 3> kStyleColumnWidths = {38, 65, 45};

// The summary grids are transposed: labels in column 0, values in column 1.
constexpr int32_t kSummaryRows = 7;
constexpr int32_t kLabelColumn = 0, kValueColumn = 1;
constexpr int32_t kStyleNumberColumn = 0, kStyleQuantityColumn = 1, kStyleSlotsColumn = 2;

constexpr int32_t kCentre = 2;
constexpr uint32_t kLightGrey = 0xECECEC;
constexpr uint32_t kSheetsGreen = 0x00E080;

constexpr std::array<const char*, kSummaryRows> kSummaryLabels = {
    texts::SummarySheets, texts::SummaryTotal,      texts::SummaryPrinted,   texts::SummaryWaste,
    texts::SummaryRatio,  texts::SummaryStyleCount, texts::SummaryRemaining,
};

constexpr std::array<rt::ControlId, 4> kStyleGrids = {control::GridA1, control::GridB1, control::GridC1,
                                                      control::GridD1};
constexpr std::array<rt::ControlId, 4> kSummaryGrids = {control::GridA2, control::GridB2, control::GridC2,
                                                        control::GridD2};

int32_t rowCount(rt::ControlId grid) {
    return rt::ReadProperty(kMainWindow, grid, property::GridRowCount, -1).asInt();
}

void setRowCount(rt::ControlId grid, int32_t rows) {
    rt::WriteProperty(kMainWindow, grid, property::GridRowCount, -1, rt::Words::ofInt(rows));
}

void setCell(rt::ControlId grid, int32_t row, int32_t column, const std::string& gbk) {
    grid::call::setCellText(kMainWindow, grid, row, column, gbk);
}

void writeText(rt::ControlId control, rt::PropertyIndex index, const std::string& gbk) {
    rt::WriteProperty(kMainWindow, control, index, -1, rt::Words::ofPointer(gbk.c_str()));
}

void appendToReport(const std::string& gbk) { rt::cmd::appendText(kMainWindow, control::Report, {gbk.c_str()}); }

std::string decimal(int64_t v) { return rt::formatInt(v); }

struct PlateGrids {
    rt::ControlId summary, styles;
};

bool gridsFor(int32_t target, PlateGrids& grids) {
    switch (target) {
        case 1: grids = {control::GridA2, control::GridA1}; return true;
        case 2: grids = {control::GridB2, control::GridB1}; return true;
        default: return false;
    }
}

}  // namespace

void setUpGrids() {
    setRowCount(control::OrderGrid, kOrderRows);
    for (int32_t c = 0; c < static_cast<int32_t>(kOrderColumnWidths.size()); ++c)
        grid::call::setColumnWidth(kMainWindow, control::OrderGrid, c, kOrderColumnWidths[c]);
    setCell(control::OrderGrid, 0, 0, texts::StyleHeadNumber);
    for (int32_t c = 1; c <= 3; ++c) setCell(control::OrderGrid, 0, c, texts::OrderHeadQuantity);
    const int32_t orderRows = rowCount(control::OrderGrid);
    for (int32_t r = 1; r < orderRows; ++r) setCell(control::OrderGrid, r, 0, decimal(r));

    for (rt::ControlId g : kStyleGrids) {
        for (int32_t c = 0; c < static_cast<int32_t>(kStyleColumnWidths.size()); ++c)
            grid::call::setColumnWidth(kMainWindow, g, c, kStyleColumnWidths[c]);
        setCell(g, 0, kStyleNumberColumn, texts::StyleHeadNumber);
        setCell(g, 0, kStyleQuantityColumn, texts::StyleHeadQuantity);
        setCell(g, 0, kStyleSlotsColumn, texts::StyleHeadSlots);
    }

    for (rt::ControlId g : kSummaryGrids)
        grid::call::setCellAlignment(kMainWindow, g, 0, kLabelColumn, kSummaryRows - 1, kValueColumn, kCentre);
    for (rt::ControlId g : kSummaryGrids) {
        grid::call::setCellBackColor(kMainWindow, g, 0, kLabelColumn, kSummaryRows - 1, kLabelColumn, kLightGrey);
        grid::call::setCellBackColor(kMainWindow, g, 0, kValueColumn, 0, kValueColumn, kSheetsGreen);
        for (int32_t r = 0; r < kSummaryRows; ++r) setCell(g, r, kLabelColumn, kSummaryLabels[r]);
    }
}

void clearResultTables() {
    for (rt::ControlId g : kStyleGrids) setRowCount(g, 1);
    for (int32_t r = 0; r < kSummaryRows; ++r)
        for (rt::ControlId g : kSummaryGrids) setCell(g, r, kValueColumn, "");
}

void fillPlateTables(std::span<const int32_t> quantities, int32_t target) {
    PlateGrids grids;
    if (!gridsFor(target, grids)) return;
    // A refused start can leave fewer than one slot per plate; there is no
    // layout to show then, and the tables stay as the caller cleared them.
    const int32_t ups = state().order.upsPerPlate;
    if (ups < 1) return;

    const PlateLayout layout = layoutOnePlate(quantities, ups);
    const std::array<std::string, kSummaryRows> values = {
        decimal(layout.sheets),
        decimal(layout.totalQuantity),
        decimal(layout.printedQuantity),
        decimal(layout.wasteQuantity),
        wasteRatioText(layout.wasteRatio) + texts::Percent,
        decimal(static_cast<int64_t>(quantities.size())),
        decimal(layout.remainingSlots),
    };
    for (int32_t r = 0; r < kSummaryRows; ++r) setCell(grids.summary, r, kValueColumn, values[r]);

    // The layout's slots belong to the valid quantities, in order; each row
    // pairs a quantity with its own slots.
    std::vector<int32_t> styles;
    for (int32_t q : quantities)
        if (isValidQuantity(q)) styles.push_back(q);
    for (size_t i = 0; i < layout.slotsPerStyle.size() && i < styles.size(); ++i) {
        const int32_t row = rowCount(grids.styles);
        setRowCount(grids.styles, row + 1);
        setCell(grids.styles, row, kStyleNumberColumn, decimal(static_cast<int64_t>(i) + 1));
        setCell(grids.styles, row, kStyleSlotsColumn, decimal(layout.slotsPerStyle[i]));
        setCell(grids.styles, row, kStyleQuantityColumn, decimal(styles[i]));
    }
    grid::call::setCellBackColor(kMainWindow, grids.styles, 1, kStyleSlotsColumn, rowCount(grids.styles) - 1,
                                 kStyleSlotsColumn, kLightGrey);
}

void onOnePlateClicked() {
    clearResultTables();
    fillPlateTables(state().order.quantities, 1);
}

void onTwoPlatesClicked() {
    clearResultTables();
    fillPlateTables(state().plateOneList, 1);
    fillPlateTables(state().plateTwoList, 2);
}

void reportOrder() {
    const OrderModel& order = state().order;
    appendToReport(orderLinesText(order.styleCount, order.totalQuantity));
    appendToReport(plateLineText(order.upsPerPlate));
}

void reportOnePlate(const PlateLayout& layout) {
    appendToReport(onePlateSectionText(layout));
    state().onePlateSheets = layout.sheets;
    state().onePlateReported = true;
}

void reportTwoPlates(int32_t sheetsOne, int32_t sheetsTwo) {
    CalcState& s = state();
    const int64_t sheets = int64_t{sheetsOne} + sheetsTwo;
    writeText(control::Report, property::EditContent,
              s.savedReport + twoPlateSectionText(s.order.totalQuantity, s.order.upsPerPlate, sheets));
    s.twoPlateSheets = sheets;
}

void reportDivisionProof(bool proven, int64_t lowerBound) { appendToReport(divisionProofText(proven, lowerBound)); }

void showSheetDifference() {
    const CalcState& s = state();
    // Without a one-plate section in this calculation there is nothing to
    // compare the two plates with; a count left by an earlier calculation
    // would give a difference that belongs to no order. The label stays empty
    // and hidden.
    if (!s.onePlateReported) {
        writeText(control::Difference, property::LabelCaption, "");
        rt::WriteProperty(kMainWindow, control::Difference, rt::prop::Visible, -1, rt::Words::ofInt(0));
        return;
    }
    writeText(control::Difference, property::LabelCaption, sheetDifferenceText(s.onePlateSheets, s.twoPlateSheets));
    rt::WriteProperty(kMainWindow, control::Difference, rt::prop::Visible, -1, rt::Words::ofInt(1));
}

}  // namespace calc
