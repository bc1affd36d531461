// Row and column counts, fixed counts, the focus and the marks.
#include <gtest/gtest.h>

#include "GridTestSupport.h"

namespace {

using namespace grid_test;
using grid::CGridCtrl;
using grid::cellstate::Fixed;

TEST(GridCounts, GrowingAndShrinkingKeepCellsHeightsAndTheFixedCount) {
    CGridCtrl g(orderGridSettings(), nullptr);  // 1 x 4, fixed 1, 1
    ASSERT_TRUE(g.setRowCount(51));
    EXPECT_EQ(g.rowHeight(50), 20);
    g.setCellText(3, 2, "keep");
    g.setCellText(10, 2, "gone");
    ASSERT_TRUE(g.setRowCount(5));
    ASSERT_TRUE(g.setRowCount(11));
    EXPECT_EQ(g.cellText(3, 2), "keep");
    EXPECT_EQ(g.cellText(10, 2), "");  // a row made again starts empty
    EXPECT_FALSE(g.setRowCount(-1));
    expectConsistent(g);
    ASSERT_TRUE(g.setFixedRowCount(3));
    ASSERT_TRUE(g.setRowCount(2));
    EXPECT_EQ(g.fixedRowCount(), 2);
    ASSERT_TRUE(g.setColumnCount(0));
    EXPECT_EQ(g.fixedColumnCount(), 0);
    expectConsistent(g);
}

TEST(GridCounts, TheFocusGoesWithItsRowOrColumn) {
    CGridCtrl g;
    g.setFocusCell(4, 2);
    ASSERT_TRUE(g.setRowCount(5));  // unchanged count: nothing happens
    EXPECT_EQ(g.focusCell(), (grid::CellId{4, 2}));
    ASSERT_TRUE(g.setRowCount(4));
    EXPECT_TRUE(g.focusCell().isNone());
    ASSERT_TRUE(g.setRowCount(5));
    expectConsistent(g);  // the new row 4 has no focus bit
    g.setFocusCell(2, 4);
    ASSERT_TRUE(g.setColumnCount(4));
    EXPECT_TRUE(g.focusCell().isNone());
    // The focus never rests on a fixed cell.
    g.setFocusCell(0, 0);
    EXPECT_EQ(g.focusCell(), (grid::CellId{1, 1}));
    expectConsistent(g);
}

TEST(GridCounts, AColumnThatGoesTakesItsType) {
    CGridCtrl g;
    ASSERT_TRUE(g.setColumnType(4, 5));
    ASSERT_TRUE(g.setColumnCount(3));
    ASSERT_TRUE(g.setColumnCount(5));
    // The new column 4 is plain text, so it takes texts.
    EXPECT_EQ(g.columnType(4), grid::coltype::Text);
    expectConsistent(g);
}

TEST(GridFixedCounts, CellsChangingFixednessLoseTheirColoursAndFollowTheBit) {
    CGridCtrl g;
    g.setCellBackColour(2, 3, 0x123456);
    g.setCellTextColour(2, 3, 0x654321);
    g.setCellBackColour(2, 0, 0x111111);  // in a fixed column: fixed either way, untouched
    ASSERT_TRUE(g.setFixedRowCount(3));
    EXPECT_TRUE(g.cell(2, 3)->hasState(Fixed));
    EXPECT_EQ(g.cellBackColour(2, 3), grid::kDefaultColour);
    EXPECT_EQ(g.cellTextColour(2, 3), grid::kDefaultColour);
    EXPECT_EQ(g.cellBackColour(2, 0), 0x111111u);
    g.setCellBackColour(1, 3, 0x222222);
    ASSERT_TRUE(g.setFixedRowCount(1));
    EXPECT_FALSE(g.cell(1, 3)->hasState(Fixed));
    EXPECT_EQ(g.cellBackColour(1, 3), grid::kDefaultColour);
    expectConsistent(g);

    g.setCellBackColour(3, 2, 0x123456);
    ASSERT_TRUE(g.setFixedColumnCount(3));
    EXPECT_EQ(g.cellBackColour(3, 2), grid::kDefaultColour);
    ASSERT_TRUE(g.setFixedColumnCount(0));
    ASSERT_TRUE(g.setFixedRowCount(0));
    expectConsistent(g);  // no fixed bit left anywhere
}

TEST(GridFixedCounts, RaiseTheCountAndClearAFocusThatBecomesFixed) {
    CGridCtrl g;
    g.setFocusCell(2, 2);
    ASSERT_TRUE(g.setFixedRowCount(8));
    EXPECT_EQ(g.rowCount(), 8);
    EXPECT_TRUE(g.focusCell().isNone());
    g.setFocusCell(9, 9);
    EXPECT_FALSE(g.setFixedColumnCount(-1));
    ASSERT_TRUE(g.setFixedColumnCount(7));
    EXPECT_EQ(g.columnCount(), 7);
    expectConsistent(g);
}

TEST(GridMarks, TheSetFollowsTheBitsThroughShrinking) {
    CGridCtrl g;
    ASSERT_TRUE(g.setColumnCount(2));
    // Rows beyond 16 bits keep keys of their own: (65539, 0) and (3, 1) are different cells.
    ASSERT_TRUE(g.setRowCount(70000));
    g.setCellMarked(3, 1, true);
    g.setCellMarked(65539, 0, true);
    g.setCellMarked(69999, 1, true);
    EXPECT_EQ(g.markedCellCount(), 3u);
    ASSERT_TRUE(g.setRowCount(65539));
    EXPECT_EQ(g.markedCellCount(), 1u);
    EXPECT_TRUE(g.isCellMarked(3, 1));
    ASSERT_TRUE(g.setRowCount(10));
    g.setCellMarked(4, 0, true);
    g.clearSelection();
    EXPECT_EQ(g.markedCellCount(), 0u);
    expectConsistent(g);
}

}  // namespace
