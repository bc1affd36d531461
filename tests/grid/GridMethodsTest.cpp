// The method routines through rt::CallMethod, and the application's call
// sequences on grids built like the stored ones.
#include <gtest/gtest.h>

#include "grid/GridMethods.h"
#include "runtime/Heap.h"
#include "runtime/Numbers.h"
#include "runtime/Properties.h"
#include "GridTestSupport.h"

namespace {

using namespace grid_test;
using grid::CGridCtrl;

constexpr rt::PropertyIndex kRowCount = 17;

class GridMethodsTest : public GridWindowFixture {
protected:
    rt::TaggedArg self() const { return rt::TaggedArg::ofUnit(kWindow, kOrderGrid, rt::tag::GridUnit); }
    rt::TaggedArg callMethod(rt::CommandRoutine routine, std::vector<rt::TaggedArg> args) {
        args.insert(args.begin(), self());
        return rt::CallMethod(routine, static_cast<int32_t>(args.size()), args.data());
    }
    static rt::TaggedArg i(int32_t v) { return rt::TaggedArg::ofInt(v); }
    static bool isTrue(const rt::TaggedArg& r) { return r.tag == rt::tag::Bool && r.low == 1; }
    static bool isFalse(const rt::TaggedArg& r) { return r.tag == rt::tag::Bool && r.low == 0; }
    // The text of a text result; the block is freed.
    static std::string takeText(const rt::TaggedArg& r) {
        EXPECT_EQ(r.tag, rt::tag::Text);
        std::string t(rt::textView(r.pointer<const char>()));
        rt::FreeBlock(r.pointer<void>());
        return t;
    }
    int32_t rowCount(rt::ControlId id) { return rt::ReadProperty(kWindow, id, kRowCount, -1).asInt(); }
    void setRowCount(rt::ControlId id, int32_t n) { rt::WriteProperty(kWindow, id, kRowCount, -1, rt::Words::ofInt(n)); }
};

TEST_F(GridMethodsTest, EachRoutineThroughCallMethod) {
    CGridCtrl* g = addGrid(kOrderGrid, forms::defaultGridSettings());
    ASSERT_NE(g, nullptr);
    TextArg text("12.6");
    EXPECT_TRUE(isTrue(callMethod(grid::SetColumnType, {i(1), i(2)})));
    EXPECT_TRUE(isTrue(callMethod(grid::SetCellData, {i(3), i(1), i(1), text.arg()})));
    EXPECT_EQ(takeText(callMethod(grid::GetCellData, {i(3), i(1)})), "13");
    EXPECT_EQ(callMethod(grid::GetCellData, {i(2), i(2)}).pointer<char>(), nullptr);  // empty: the null text
    EXPECT_TRUE(isFalse(callMethod(grid::GetCellData, {i(5), i(1)})));
    // Omitted last row and column are all-zero records.
    EXPECT_TRUE(isTrue(callMethod(grid::SetCellAlignment, {i(1), i(1), rt::TaggedArg{}, rt::TaggedArg{}, i(3)})));
    EXPECT_EQ(g->cellFormat(1, 1), 0x0826u);
    EXPECT_EQ(g->cellFormat(2, 1), grid::textformat::Default);
    EXPECT_TRUE(isTrue(callMethod(grid::SetCellBackColor, {i(0), i(0), i(6), i(0), i(0xECECEC)})));
    EXPECT_EQ(g->cellBackColour(4, 0), 0xECECECu);
    EXPECT_TRUE(isFalse(callMethod(grid::SetCellBackColor, {i(2), i(0), i(1), i(0), i(0xECECEC)})));
    EXPECT_TRUE(isTrue(callMethod(grid::SetColumnWidth, {i(0), i(2)})));
    EXPECT_EQ(g->columnWidth(0), 2);
    EXPECT_TRUE(isFalse(callMethod(grid::SetColumnType, {i(9), i(2)})));
    ASSERT_TRUE(isTrue(callMethod(grid::SetColumnType, {i(2), i(5)})));
    EXPECT_TRUE(isTrue(callMethod(grid::SetCellData, {i(2), i(2), i(5), rt::TaggedArg::ofBool(true)})));
    EXPECT_TRUE(isTrue(callMethod(grid::GetCellData, {i(2), i(2)})));
    ASSERT_TRUE(isTrue(callMethod(grid::SetColumnType, {i(3), i(6)})));
    EXPECT_EQ(callMethod(grid::GetCellData, {i(40), i(3)}).tag, rt::tag::ByteSet);
}

TEST_F(GridMethodsTest, ArgumentsOfOtherNumericTypesAndUnusableOnes) {
    CGridCtrl* g = addGrid(kOrderGrid, forms::defaultGridSettings());
    ASSERT_NE(g, nullptr);
    // A double is taken by its whole part.
    EXPECT_TRUE(isTrue(callMethod(grid::SetColumnWidth, {rt::TaggedArg::ofDouble(1.9), rt::TaggedArg::ofLong(33)})));
    EXPECT_EQ(g->columnWidth(1), 33);
    // A text where a number belongs, or a missing argument, is a refusal, not a stop.
    TextArg text("1");
    EXPECT_TRUE(isFalse(callMethod(grid::SetColumnWidth, {text.arg(), i(10)})));
    EXPECT_TRUE(isFalse(callMethod(grid::SetColumnType, {i(1)})));
    EXPECT_TRUE(isFalse(callMethod(grid::SetCellBackColor, {i(1), i(1), text.arg(), rt::TaggedArg{}, i(0)})));
    EXPECT_TRUE(isFalse(callMethod(grid::SetCellData, {i(1), i(1), i(1)})));
}

TEST_F(GridMethodsTest, StartUpOfTheOrderGrid) {
    CGridCtrl* g = addGrid(kOrderGrid, orderGridSettings());
    ASSERT_NE(g, nullptr);
    setRowCount(kOrderGrid, 51);
    const int widths[] = {38, 60, 60, 60};
    for (int c = 0; c < 4; ++c) EXPECT_TRUE(grid::call::setColumnWidth(kWindow, kOrderGrid, c, widths[c]));
    const std::string headers[] = {gbk("序号"), gbk("订单数量"), gbk("订单数量"), gbk("订单数量")};
    for (int c = 0; c < 4; ++c) EXPECT_TRUE(grid::call::setCellText(kWindow, kOrderGrid, 0, c, headers[c]));

    EXPECT_EQ(rowCount(kOrderGrid), 51);
    EXPECT_EQ(g->fixedRowCount(), 1);
    EXPECT_EQ(g->rowHeight(50), 20);
    EXPECT_EQ(g->columnWidth(0), 38);
    EXPECT_EQ(g->columnWidth(3), 60);
    EXPECT_EQ(grid::call::getCellText(kWindow, kOrderGrid, 0, 1), gbk("订单数量"));
    EXPECT_EQ(grid::call::getCellText(kWindow, kOrderGrid, 50, 3), "");
    expectConsistent(*g);
}

TEST_F(GridMethodsTest, ReadingTheOrderAsTextThenBackToNumbers) {
    CGridCtrl* g = addGrid(kOrderGrid, orderGridSettings());
    setRowCount(kOrderGrid, 51);
    // The editor opening set the quantity columns to Number; the user typed.
    for (int c = 1; c <= 3; ++c) ASSERT_TRUE(grid::call::setColumnType(kWindow, kOrderGrid, c, 2));
    g->setCellText(1, 1, " 012");
    g->setCellText(2, 1, "abc");
    g->setCellText(3, 2, "12abc");
    // The recount: text columns, each cell read and written back.
    for (int c = 1; c <= 3; ++c) ASSERT_TRUE(grid::call::setColumnType(kWindow, kOrderGrid, c, 1));
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r < rowCount(kOrderGrid); ++r) {
            std::string text = grid::call::getCellText(kWindow, kOrderGrid, r, c);
            int q = rt::parseInt(text);
            std::string back = q > 0 && q < 100000000 ? std::to_string(q) : std::string();
            ASSERT_TRUE(grid::call::setCellText(kWindow, kOrderGrid, r, c, back));
        }
    EXPECT_EQ(g->cellText(1, 1), "12");
    EXPECT_EQ(g->cellText(2, 1), "");
    EXPECT_EQ(g->cellText(3, 2), "12");
    // Back to Number: texts worth something are rendered, empty cells stay empty.
    for (int c = 1; c <= 3; ++c) ASSERT_TRUE(grid::call::setColumnType(kWindow, kOrderGrid, c, 2));
    EXPECT_EQ(g->cellText(1, 1), "12");
    EXPECT_EQ(g->cellText(2, 1), "");
    EXPECT_EQ(g->cellText(50, 3), "");
    expectConsistent(*g);
}

TEST_F(GridMethodsTest, ResultListGridsGrowRowByRow) {
    constexpr rt::ControlId kA1 = 0x16010010;
    CGridCtrl* g = addGrid(kA1, resultListSettings());
    ASSERT_NE(g, nullptr);
    const int widths[] = {38, 65, 45};
    for (int c = 0; c < 3; ++c) {
        EXPECT_TRUE(grid::call::setColumnWidth(kWindow, kA1, c, widths[c]));
        EXPECT_TRUE(grid::call::setCellText(kWindow, kA1, 0, c, "h" + std::to_string(c)));
    }
    for (int round = 0; round < 2; ++round) {
        setRowCount(kA1, 1);
        EXPECT_EQ(rowCount(kA1), 1);
        for (int line = 1; line <= 4; ++line) {
            int n = rowCount(kA1);
            setRowCount(kA1, n + 1);
            for (int c = 0; c < 3; ++c)
                EXPECT_TRUE(grid::call::setCellText(kWindow, kA1, n, c, std::to_string(round * 10 + line)));
        }
        EXPECT_TRUE(grid::call::setCellBackColor(kWindow, kA1, 1, 2, rowCount(kA1) - 1, 2, 0xECECEC));
    }
    EXPECT_EQ(rowCount(kA1), 5);
    EXPECT_EQ(g->cellText(0, 2), "h2");  // the header survives
    EXPECT_EQ(g->cellText(1, 1), "11");
    EXPECT_EQ(g->cellText(4, 2), "14");
    // Row count writes reset the heights and leave the widths set by the method.
    EXPECT_EQ(g->columnWidth(1), 65);
    EXPECT_EQ(g->rowHeight(4), 19);
    EXPECT_EQ(g->cellBackColour(4, 2), 0xECECECu);
    EXPECT_EQ(g->cellBackColour(4, 1), grid::kDefaultColour);
    EXPECT_EQ(g->cellBackColour(0, 2), grid::kDefaultColour);
    expectConsistent(*g);
}

TEST_F(GridMethodsTest, SummaryGridsTakeAlignmentColoursAndTitles) {
    constexpr rt::ControlId kA2 = 0x16010011;
    CGridCtrl* g = addGrid(kA2, resultSummarySettings());
    ASSERT_NE(g, nullptr);
    EXPECT_TRUE(grid::call::setCellAlignment(kWindow, kA2, 0, 0, 6, 1, 2));
    EXPECT_TRUE(grid::call::setCellBackColor(kWindow, kA2, 0, 0, 6, 0, 0xECECEC));
    EXPECT_TRUE(grid::call::setCellBackColor(kWindow, kA2, 0, 1, 0, 1, 0x00E080));
    for (int r = 0; r < 7; ++r) EXPECT_TRUE(grid::call::setCellText(kWindow, kA2, r, 0, "t" + std::to_string(r)));
    for (int r = 0; r < 7; ++r) {
        EXPECT_EQ(g->cellFormat(r, 0), 0x0825u);
        EXPECT_EQ(g->cellFormat(r, 1), 0x0825u);
        EXPECT_EQ(g->cellBackColour(r, 0), 0xECECECu);
        EXPECT_EQ(g->cellText(r, 0), "t" + std::to_string(r));
    }
    EXPECT_EQ(g->cellBackColour(0, 1), 0x00E080u);
    EXPECT_EQ(g->cellBackColour(1, 1), grid::kDefaultColour);
    expectConsistent(*g);
}

}  // namespace
