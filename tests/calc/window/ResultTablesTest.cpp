// The result grids and the report on the real window: the grids' start-up
// configuration, both radio handlers' tables, the report's pieces and the
// sheet-difference label.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "calc/CalcState.h"
#include "calc/Controls.h"
#include "calc/OrderInput.h"
#include "calc/PlateLayout.h"
#include "calc/ResultTables.h"
#include "grid/GridMethods.h"
#include "grid/GridUnit.h"
#include "platform/Gbk.h"
#include "runtime/Events.h"
#include "runtime/WindowTable.h"
#include "CalcWindowSupport.h"

using namespace calc_test;

namespace {

constexpr uint32_t kLightGrey = 0xECECEC, kSheetsGreen = 0x00E080;
constexpr int32_t kClicked = 0;

using Summary = std::array<const char*, 7>;
struct StyleRow {
    const char *number, *quantity, *plateSlots;
};

class ResultTables : public CalcWindow {
protected:

    static grid::CGridCtrl* gridCtrl(rt::ControlId id) { return grid::gridOf(rt::findLiveControl(kMainWindow, id)); }
    static std::string cell(rt::ControlId grid, int32_t row, int32_t column) {
        return grid::call::getCellText(kMainWindow, grid, row, column);
    }
    static int rows(rt::ControlId grid) { return property(grid, calc::property::GridRowCount); }

    // The order 1000, 2500, 700 entered and recounted, with ups 10.
    static void enterAndRecountExampleOrder() {
        enterColumn({"1000", "2500", "700"});
        calc::recountOrder();
        calc::state().order.upsPerPlate = 10;
    }

    static void expectSummary(rt::ControlId grid, const Summary& values) {
        for (int32_t r = 0; r < 7; ++r) EXPECT_EQ(cell(grid, r, 1), values[r]) << "summary row " << r;
    }
    static void expectStyles(rt::ControlId grid, const std::vector<StyleRow>& expected) {
        ASSERT_EQ(rows(grid), static_cast<int>(expected.size()) + 1);
        grid::CGridCtrl* g = gridCtrl(grid);
        for (int32_t r = 1; r <= static_cast<int32_t>(expected.size()); ++r) {
            const StyleRow& e = expected[r - 1];
            EXPECT_EQ(cell(grid, r, 0), e.number) << "row " << r;
            EXPECT_EQ(cell(grid, r, 1), e.quantity) << "row " << r;
            EXPECT_EQ(cell(grid, r, 2), e.plateSlots) << "row " << r;
            EXPECT_EQ(g->cell(r, 2)->backColour(), kLightGrey) << "row " << r;
        }
    }
    static void expectCleared() {
        for (rt::ControlId g : {control::GridA1, control::GridB1, control::GridC1, control::GridD1})
            EXPECT_EQ(rows(g), 1);
        for (rt::ControlId g : {control::GridA2, control::GridB2, control::GridC2, control::GridD2})
            for (int32_t r = 0; r < 7; ++r) {
                EXPECT_EQ(cell(g, r, 1), "");
                EXPECT_FALSE(cell(g, r, 0).empty()) << "the labels stay";
            }
    }
};

TEST_F(ResultTables, SetsUpTheOrderGrid) {
    grid::CGridCtrl* g = gridCtrl(control::OrderGrid);
    EXPECT_EQ(rows(control::OrderGrid), 51);
    const int widths[] = {38, 60, 60, 60};
    for (int32_t c = 0; c < 4; ++c) EXPECT_EQ(g->columnWidth(c), widths[c]);
    EXPECT_EQ(cell(control::OrderGrid, 0, 0), gbk("序号"));
    for (int32_t c = 1; c <= 3; ++c) EXPECT_EQ(cell(control::OrderGrid, 0, c), gbk("订单数量"));
    for (int32_t r = 1; r <= 50; ++r) EXPECT_EQ(cell(control::OrderGrid, r, 0), std::to_string(r));
}

TEST_F(ResultTables, SetsUpThePerStyleAndSummaryGrids) {
    for (rt::ControlId id : {control::GridA1, control::GridB1, control::GridC1, control::GridD1}) {
        grid::CGridCtrl* g = gridCtrl(id);
        const int widths[] = {38, 65, 45};
        for (int32_t c = 0; c < 3; ++c) EXPECT_EQ(g->columnWidth(c), widths[c]);
        EXPECT_EQ(cell(id, 0, 0), gbk("序号"));
        EXPECT_EQ(cell(id, 0, 1), gbk("订单数"));
        EXPECT_EQ(cell(id, 0, 2), gbk("模数"));
    }
    const char* labels[] = {"印刷张数", "订单数量", "印后数量", "浪费数量", "浪费比例", "订单款数", "剩余模数"};
    for (rt::ControlId id : {control::GridA2, control::GridB2, control::GridC2, control::GridD2}) {
        grid::CGridCtrl* g = gridCtrl(id);
        for (int32_t r = 0; r < 7; ++r) {
            EXPECT_EQ(cell(id, r, 0), gbk(labels[r]));
            EXPECT_EQ(g->cell(r, 0)->backColour(), kLightGrey);
            for (int32_t c = 0; c < 2; ++c)
                EXPECT_EQ(g->cell(r, c)->format() & grid::textformat::HorizontalMask, grid::textformat::Centre);
        }
        EXPECT_EQ(g->cell(0, 1)->backColour(), kSheetsGreen);
        EXPECT_EQ(g->cell(1, 1)->backColour(), grid::kDefaultColour);
    }
}

TEST_F(ResultTables, OnePlateShowsTheWholeOrderAndDoesNotAccumulateRows) {
    enterAndRecountExampleOrder();
    calc::onOnePlateClicked();
    calc::onOnePlateClicked();
    expectSummary(control::GridA2, {"500", "4200", "5000", "800", "19.05%", "3", "1"});
    expectStyles(control::GridA1, {{"1", "1000", "2"}, {"2", "2500", "5"}, {"3", "700", "2"}});
}

TEST_F(ResultTables, TwoPlatesShowTheKeptSplitWithARatioOfZeroAsZeroPercent) {
    enterAndRecountExampleOrder();
    calc::state().plateOneList = {700, 1000};
    calc::state().plateTwoList = {2500};
    calc::onOnePlateClicked();  // the one-plate tables must give way
    rt::raiseEvent(kMainWindow, control::TwoPlates, kClicked);
    expectSummary(control::GridA2, {"175", "1700", "1750", "50", "2.94%", "2", "0"});
    expectStyles(control::GridA1, {{"1", "700", "4"}, {"2", "1000", "6"}});
    expectSummary(control::GridB2, {"250", "2500", "2500", "0", "0%", "1", "0"});
    expectStyles(control::GridB1, {{"1", "2500", "10"}});
}

TEST_F(ResultTables, AnEmptiedOrderShowsTheEmptyLayoutWithoutANotANumber) {
    enterAndRecountExampleOrder();
    calc::onOnePlateClicked();
    for (int32_t r = 1; r <= 3; ++r) grid::call::setCellText(kMainWindow, control::OrderGrid, r, 1, "");
    calc::recountOrder();
    calc::onOnePlateClicked();
    expectSummary(control::GridA2, {"0", "0", "0", "0", "0%", "0", "10"});
    EXPECT_EQ(rows(control::GridA1), 1);
}

TEST_F(ResultTables, NoSlotsPerPlateLeavesTheTablesCleared) {
    enterAndRecountExampleOrder();
    calc::state().plateOneList = {700, 1000};
    calc::state().plateTwoList = {2500};
    calc::onTwoPlatesClicked();
    calc::state().order.upsPerPlate = 0;  // as a refused start with an empty ups box leaves it
    calc::onOnePlateClicked();
    expectCleared();
    calc::onTwoPlatesClicked();
    expectCleared();
}

TEST_F(ResultTables, AnOrderThatNoLongerFitsShowsItsPartialLayout) {
    enterAndRecountExampleOrder();
    grid::call::setCellText(kMainWindow, control::OrderGrid, 4, 1, "300");
    calc::recountOrder();
    calc::state().order.upsPerPlate = 3;
    calc::onOnePlateClicked();
    expectSummary(control::GridA2, {"1500", "4500", "0", "0", "0%", "4", "0"});
    EXPECT_EQ(rows(control::GridA1), 1);
}

class Report : public ResultTables {};

const char* const kOrderLines = "共3款\r\n合计4200个\r\n每张印版排10模";
const char* const kOnePlate = "\r\n\r\n排1张版  19.05%\r\n浪费数量 800个\r\n印刷张数 500张\r\n印后数量 5000个";

TEST_F(Report, OrderAndOnePlateSectionsAreAppended) {
    enterAndRecountExampleOrder();
    setText(control::Report, calc::property::EditContent, gbk("前"));
    calc::reportOrder();
    EXPECT_EQ(report(), gbk("前") + gbk(kOrderLines));
    calc::reportOnePlate(calc::layoutOnePlate(calc::state().order.quantities, 10));
    EXPECT_EQ(report(), gbk("前") + gbk(kOrderLines) + gbk(kOnePlate));
    EXPECT_EQ(calc::state().onePlateSheets, 500);
    EXPECT_TRUE(calc::state().onePlateReported);
}

TEST_F(Report, TwoPlateSectionReplacesTheLastOne) {
    enterAndRecountExampleOrder();
    calc::state().savedReport = gbk(kOrderLines) + gbk(kOnePlate);
    setText(control::Report, calc::property::EditContent, calc::state().savedReport);
    calc::reportTwoPlates(175, 258);
    calc::reportTwoPlates(175, 250);
    EXPECT_EQ(report(), gbk(kOrderLines) + gbk(kOnePlate) +
                            gbk("\r\n\r\n排2张版  1.19%\r\n浪费数量 50个\r\n印刷张数 425张\r\n印后数量 4250个"));
    EXPECT_EQ(calc::state().twoPlateSheets, 425);
}

// ups x sheets in 32 bits would wrap: 2000 x 2,000,000 is 4e9.
TEST_F(Report, LargeTwoPlateFiguresDoNotWrap) {
    calc::state().order.totalQuantity = 3'999'000'000;
    calc::state().order.upsPerPlate = 2000;
    calc::state().savedReport.clear();
    calc::reportTwoPlates(1'000'000, 1'000'000);
    EXPECT_EQ(report(), gbk("\r\n\r\n排2张版  0.03%\r\n浪费数量 1000000个\r\n印刷张数 2000000张\r\n印后数量 "
                            "4000000000个"));
}

// A one-plate count left by an earlier order must not be set against this one's two plates.
TEST_F(Report, DifferenceLabelComparesOnlyWithThisCalculationsOnePlateSection) {
    calc::state().onePlateSheets = 500;
    calc::state().onePlateReported = true;
    calc::state().twoPlateSheets = 425;
    calc::showSheetDifference();
    EXPECT_EQ(text(control::Difference, calc::property::LabelCaption), gbk("相差75张"));
    EXPECT_NE(property(control::Difference, rt::prop::Visible), 0);

    calc::state().onePlateReported = false;
    calc::showSheetDifference();
    EXPECT_EQ(text(control::Difference, calc::property::LabelCaption), "");
    EXPECT_EQ(property(control::Difference, rt::prop::Visible), 0);
}

}  // namespace
