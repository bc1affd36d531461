// The settings: the effect of each write, its refusals, live reads and the
// order in which a new control takes them.
#include <gtest/gtest.h>

#include "GridTestSupport.h"

namespace {

using namespace grid_test;
using grid::CGridCtrl;

TEST(GridSettingCounts, ZeroIsIgnoredAndEveryWriteResetsTheExtents) {
    CGridCtrl g;
    g.setRowHeight(2, 50);
    g.writeSetting(gp::RowCount, 5);  // unchanged count, heights still reset
    EXPECT_EQ(g.rowHeight(2), 24);
    g.writeSetting(gp::RowCount, 0);
    g.writeSetting(gp::ColumnCount, -3);
    EXPECT_EQ(g.readSetting(gp::RowCount), 5);
    EXPECT_EQ(g.readSetting(gp::ColumnCount), 5);
    g.setColumnWidth(1, 3);
    g.writeSetting(gp::ColumnCount, 6);
    EXPECT_EQ(g.columnWidth(1), 60);
    // One row with one fixed row leaves only the header row.
    g.setCellText(0, 1, "header");
    g.writeSetting(gp::RowCount, 1);
    EXPECT_EQ(g.rowCount(), 1);
    EXPECT_EQ(g.cellText(0, 1), "header");
    expectConsistent(g);
}

TEST(GridSettingCounts, ReadsGiveTheLiveCountsUnlessStoredSettingsAreAsked) {
    CGridCtrl g;
    g.setRowCount(12);
    g.writeSetting(gp::FixedColumnCount, 2);
    g.writeSetting(gp::FixedRowCount, -1);
    EXPECT_EQ(g.readSetting(gp::RowCount), 12);
    EXPECT_EQ(g.readSetting(gp::FixedColumnCount), 2);
    EXPECT_EQ(g.readSetting(gp::FixedRowCount), 1);
    g.setStoredSettingsFlag(true);
    EXPECT_EQ(g.readSetting(gp::RowCount), 5);
}

TEST(GridSettingExtents, PropertyPathsRaiseToTheLineWidthPlusSix) {
    CGridCtrl g;
    g.writeSetting(gp::DefaultRowHeight, 2);
    EXPECT_EQ(g.rowHeight(3), 6);
    EXPECT_EQ(g.readSetting(gp::DefaultRowHeight), 2);
    g.writeSetting(gp::GridLineWidth, 4);
    g.writeSetting(gp::DefaultColumnWidth, 5);
    EXPECT_EQ(g.columnWidth(0), 10);
    g.writeSetting(gp::RowCount, 7);
    EXPECT_EQ(g.rowHeight(6), 10);
    g.writeSetting(gp::DefaultColumnWidth, -20);  // refused
    EXPECT_EQ(g.readSetting(gp::DefaultColumnWidth), 5);
    EXPECT_EQ(g.columnWidth(0), 10);
    EXPECT_TRUE(g.setColumnWidth(0, 2));  // the method path takes it unchanged
    EXPECT_EQ(g.columnWidth(0), 2);
}

TEST(GridSettingSelection, MarkedSelectionAndListMode) {
    CGridCtrl g;
    g.setCellMarked(2, 2, true);
    g.writeSetting(gp::MarkedSelection, 1);
    EXPECT_EQ(g.markedCellCount(), 0u);  // every write clears the selection
    g.writeSetting(gp::MarkedSelection, 0);
    EXPECT_EQ(g.readSetting(gp::MarkedSelection), 0);
    g.setCellMarked(3, 3, true);
    g.writeSetting(gp::ListMode, 1);
    EXPECT_EQ(g.readSetting(gp::MarkedSelection), 1);
    EXPECT_EQ(g.markedCellCount(), 0u);
    g.writeSetting(gp::MarkedSelection, 0);  // cannot be switched off in list mode
    EXPECT_EQ(g.readSetting(gp::MarkedSelection), 1);
    g.setCellMarked(3, 3, true);
    g.writeSetting(gp::ListMode, 0);  // leaving list mode keeps marking and selection
    EXPECT_EQ(g.readSetting(gp::MarkedSelection), 1);
    EXPECT_EQ(g.markedCellCount(), 1u);
    expectConsistent(g);
}

TEST(GridSettingColoursAndBorder, DefaultFixedBackIsTheButtonFaceAndBadBordersAreIgnored) {
    CGridCtrl g;
    EXPECT_EQ(static_cast<uint32_t>(g.readSetting(gp::FixedBackColor)), g.buttonFaceColour());
    g.writeSetting(gp::FixedBackColor, 0x00ABCDEF);
    EXPECT_EQ(g.readSetting(gp::FixedBackColor), 0x00ABCDEF);
    g.writeSetting(gp::FixedBackColor, static_cast<int32_t>(grid::kDefaultColour));
    EXPECT_EQ(static_cast<uint32_t>(g.readSetting(gp::FixedBackColor)), g.buttonFaceColour());
    g.writeSetting(gp::CellBackColor, static_cast<int32_t>(grid::kDefaultColour));  // others keep the marker
    EXPECT_EQ(static_cast<uint32_t>(g.readSetting(gp::CellBackColor)), grid::kDefaultColour);

    EXPECT_EQ(g.contentsMargins().left(), 2);
    g.writeSetting(gp::BorderStyle, 5);
    EXPECT_EQ(g.contentsMargins().left(), 1);
    g.writeSetting(gp::BorderStyle, 6);
    g.writeSetting(gp::BorderStyle, -1);
    EXPECT_EQ(g.readSetting(gp::BorderStyle), 5);
    for (uint32_t own : {14u, 16u, 18u, 19u, 24u}) {  // unnamed settings are kept
        g.writeSetting(own, 1234);
        EXPECT_EQ(g.readSetting(own), 1234) << own;
    }
}

TEST(GridSettingCreation, TheOrderLetsCountsTakeTheStoredExtents) {
    forms::GridSettings s = resultSummarySettings();  // 7 x 2, no fixed cells
    s[gp::GridLineWidth] = 10;
    s[gp::DefaultRowHeight] = 12;
    s[gp::ListMode] = 1;
    CGridCtrl g(s, nullptr);
    EXPECT_EQ(g.rowCount(), 7);
    EXPECT_EQ(g.fixedRowCount(), 0);
    EXPECT_EQ(g.columnWidth(1), 90);
    EXPECT_EQ(g.rowHeight(6), 16);  // raised to the stored line width + 6
    EXPECT_EQ(g.readSetting(gp::MarkedSelection), 1);
    expectConsistent(g);

    s = forms::defaultGridSettings();
    s[gp::BorderStyle] = 9;
    s[gp::RowCount] = 0;
    CGridCtrl refused(s, nullptr);
    EXPECT_EQ(refused.readSetting(gp::BorderStyle), 1);
    // No rows from the count; the fixed row count then makes its one row.
    EXPECT_EQ(refused.rowCount(), 1);
    expectConsistent(refused);
}

}  // namespace
