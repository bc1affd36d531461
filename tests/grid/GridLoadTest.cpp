// A grid unit made by the window loader from a window template, as the
// program's window is made.
#include "forms/Template.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "forms/Units.h"
#include "grid/GridMethods.h"
#include "runtime/Properties.h"
#include "GridTestSupport.h"

namespace {

using namespace grid_test;
using grid::CGridCtrl;

constexpr rt::WindowId kWindow = 0x52010001;
constexpr rt::ControlId kGrid = 0x16010001;

class GridLoadTest : public rt_test::RuntimeFixture {
protected:
    void SetUp() override {
        RuntimeFixture::SetUp();
        forms::installWindowLayer();
        grid::installGridUnit();
    }
    void TearDown() override {
        forms::destroyAllWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        RuntimeFixture::TearDown();
    }
    // A window holding one grid unit, written and read back as the template is.
    void installWindow(const std::string& gridBlock) {
        forms::WindowDescription description;
        description.id = kWindow;
        forms::UnitDescription& self = description.units.emplace_back();
        self.id = 0x06010000;
        self.type = forms::unittype::Window;
        self.width = 400, self.height = 300, self.flags = rt::unitflag::Visible;
        self.block = forms::encodeUnitBlock(forms::unittype::Window, forms::defaultProperties(forms::unittype::Window));
        forms::UnitDescription& unit = description.units.emplace_back();
        unit.id = kGrid, unit.type = forms::unittype::Grid, unit.name = gbk("高级表格订单");
        unit.left = 8, unit.top = 40, unit.width = 250, unit.height = 200, unit.flags = rt::unitflag::Visible;
        unit.block = gridBlock;
        std::string block = forms::writeTemplateBlock({description});
        static const rt::HandlerTable noHandlers{nullptr, 0};
        std::vector<rt::WindowRecord> windows;
        ASSERT_TRUE(forms::parseTemplateBlock(reinterpret_cast<const uint8_t*>(block.data()), block.size(),
                                              &noHandlers, windows));
        rt::windowTable().push_back(std::move(windows.front()));
    }
};

TEST_F(GridLoadTest, TheLoaderMakesTheGridFromItsStoredBlock) {
    installWindow(forms::encodeGridBlock(orderGridSettings()));
    ASSERT_NE(rt::LoadWindow(kWindow), 0);
    auto* g = qobject_cast<CGridCtrl*>(forms::widgetOf(kWindow, kGrid));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->objectName(), QString::fromUtf8("高级表格订单"));
    EXPECT_EQ(g->geometry(), QRect(8, 40, 250, 200));
    EXPECT_EQ(g->columnCount(), 4);
    rt::WriteProperty(kWindow, kGrid, 17, -1, rt::Words::ofInt(51));
    EXPECT_EQ(rt::ReadProperty(kWindow, kGrid, 17, -1).asInt(), 51);
    EXPECT_TRUE(grid::call::setColumnWidth(kWindow, kGrid, 0, 38));
    EXPECT_EQ(g->columnWidth(0), 38);
    EXPECT_TRUE(grid::call::setCellText(kWindow, kGrid, 0, 1, gbk("订单数量")));
    EXPECT_EQ(grid::call::getCellText(kWindow, kGrid, 0, 1), gbk("订单数量"));
}

}  // namespace
