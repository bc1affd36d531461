// The grid unit: creation from the stored block, and the own properties
// through the runtime's property protocol.
#include <gtest/gtest.h>

#include "grid/GridMethods.h"
#include "runtime/Properties.h"
#include "GridTestSupport.h"

namespace {

using namespace grid_test;
using grid::CGridCtrl;

class GridUnitTest : public GridWindowFixture {
protected:
    int32_t read(rt::PropertyIndex index) { return rt::ReadProperty(kWindow, kOrderGrid, index, -1).asInt(); }
    void write(rt::PropertyIndex index, int32_t v) { rt::WriteProperty(kWindow, kOrderGrid, index, -1, rt::Words::ofInt(v)); }
};

TEST_F(GridUnitTest, CreatesTheStoredOrderGrid) {
    CGridCtrl* g = addGrid(kOrderGrid, orderGridSettings(), gbk("高级表格订单"));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->objectName(), QString::fromUtf8("高级表格订单"));
    EXPECT_EQ(g->geometry(), QRect(10, 20, 300, 200));
    EXPECT_EQ(g->parentWidget(), parent_.get());
    EXPECT_EQ(g->rowCount(), 1);
    EXPECT_EQ(g->columnCount(), 4);
    EXPECT_EQ(g->readSetting(gp::FocusColor), 0x0000FF);
    ASSERT_TRUE(unit(kOrderGrid).isLive());
    EXPECT_EQ(grid::gridOf(rt::findLiveControl(kWindow, kOrderGrid)), g);
}

TEST_F(GridUnitTest, NoBlockGivesTheDefaultsAndABadBlockNoControl) {
    CGridCtrl* g = addGridFromBlock(kOrderGrid, std::string());
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->rowCount(), 5);
    std::string block = forms::encodeGridBlock(orderGridSettings());
    EXPECT_EQ(addGridFromBlock(0x16010002, block.substr(0, block.size() - 2)), nullptr);
    EXPECT_FALSE(unit(0x16010002).isLive());
    block[0] = 13;  // a version above 12
    EXPECT_EQ(addGridFromBlock(0x16010003, block), nullptr);
}

TEST_F(GridUnitTest, AnOldBlockLeavesTheLaterSettingsAtTheirDefaults) {
    // Version 1: own indices 0-10, 13, 11, 12 only.
    std::string block;
    auto append = [&block](uint32_t v) { for (int i = 0; i < 4; ++i) block.push_back(char((v >> (8 * i)) & 0xFF)); };
    append(1);
    for (uint32_t v : {0x808080u, 0xEEEEEEu, 0x111111u, 0xFFu, 1u, 0u, 0u, 30u, 70u, 3u, 2u, 0u, 1u, 1u}) append(v);
    CGridCtrl* g = addGridFromBlock(kOrderGrid, block);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->readSetting(gp::GridLines), 1);
    EXPECT_EQ(g->rowCount(), 3);
    EXPECT_EQ(g->columnCount(), 2);
    EXPECT_EQ(g->readSetting(gp::Editable), 0);  // stored before the fixed counts
    EXPECT_EQ(g->fixedColumnCount(), 1);
    EXPECT_EQ(g->rowHeight(2), 30);
    EXPECT_EQ(g->readSetting(gp::ShowZero), 1);
    EXPECT_EQ(g->readSetting(gp::BorderStyle), 1);

    forms::GridSettings s = orderGridSettings();  // the tail after setting 23
    s[gp::EmptyAreaColor] = 0x00C0FFEE;
    s[gp::BorderStyle] = 5;
    g = addGrid(0x16010002, s);
    EXPECT_EQ(g->readSetting(gp::EmptyAreaColor), 0x00C0FFEE);
    EXPECT_EQ(g->readSetting(gp::BorderStyle), 5);
    EXPECT_EQ(g->readSetting(gp::SelectionBackColor), 0x00FFFF);
}

TEST_F(GridUnitTest, OwnPropertiesThroughTheRuntime) {
    CGridCtrl* g = addGrid(kOrderGrid, orderGridSettings());
    ASSERT_NE(g, nullptr);
    write(17, 51);
    EXPECT_EQ(g->rowCount(), 51);
    write(17, 0);
    EXPECT_EQ(read(17), 51);
    write(37, 9);
    EXPECT_EQ(read(37), 1);
    write(8, 0x00102030);
    EXPECT_EQ(read(8), 0x00102030);
    EXPECT_EQ(static_cast<uint32_t>(read(25)), g->buttonFaceColour());
    write(21, 7);
    EXPECT_EQ(read(21), 1);  // booleans read back as 1 or 0
    write(28, -4);
    EXPECT_EQ(read(28), 0);  // a negative choice is stored as 0
    write(rt::prop::Disabled, 1);
    EXPECT_FALSE(g->isEnabled());
}

TEST_F(GridUnitTest, MissingControlsStopTheProgramAndOtherControlsAnswerFalse) {
    CGridCtrl* g = addGrid(kOrderGrid, orderGridSettings());
    EXPECT_EQ(rt_test::exitCodeOf([] { grid::call::setColumnWidth(kWindow, 0x16010099, 0, 10); }), -1);
    EXPECT_NE(reportText().find(gbk("指定窗口或窗口组件不存在或尚未载入")), std::string::npos);
    // The window's own unit is live but not a grid.
    EXPECT_FALSE(grid::call::setColumnWidth(kWindow, 0, 0, 10));
    EXPECT_EQ(grid::call::getCellData(kWindow, 0, 0, 0).tag, rt::tag::Bool);
    delete g;
    EXPECT_FALSE(unit(kOrderGrid).isLive());
    EXPECT_EQ(rt_test::exitCodeOf([] { grid::call::setColumnType(kWindow, kOrderGrid, 1, 2); }), -1);
}

}  // namespace
