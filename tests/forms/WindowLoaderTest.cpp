// Loading windows: the order of the created events, units under their
// parents, failed loads, re-use, visibility, centring and the client area.
#include "FormsTestSupport.h"

#include <QApplication>

#include "forms/ShapeBox.h"

using namespace forms_test;
namespace ut = forms::unittype;

namespace {

constexpr rt::ControlId kEdit = 0x160100C1, kShape = 0x160100C0, kLabel = 0x160100BB;

class WindowLoaderTest : public FormsFixture {};

TEST_F(WindowLoaderTest, CreatedEventsRunInOrderBeforeTheWindowIsShown) {
    TestWindow w;
    w.bind(0, 0, 0);
    w.bind(0, 3, 1);
    w.bind(0, 4, 2);
    w.install();
    std::vector<bool> shownAtEvent;
    for (int slot : {0, 1, 2})
        handlers().actions[slot] = [&](const HandlerCall&) { shownAtEvent.push_back(windowWidget()->isVisible()); };

    ASSERT_EQ(rt::LoadWindow(kWin), 1);
    EXPECT_EQ(handlers().slotsCalled(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(shownAtEvent, (std::vector<bool>{false, false, false}));
    EXPECT_TRUE(windowWidget()->isVisible());
    // A window unit without a name is known by the default one.
    EXPECT_EQ(windowWidget()->objectName(), QStringLiteral("窗口"));
}

// The created handler may end the window; nothing of it may be touched afterwards.
TEST_F(WindowLoaderTest, WindowDestroyedByTheCreatedHandlerGetsNoFurtherEvents) {
    TestWindow w;
    w.bind(0, 0, 0);
    w.bind(0, 3, 1);
    w.bind(0, 4, 2);
    w.install();
    handlers().actions[0] = [](const HandlerCall&) { forms::destroyAllWindows(); };
    EXPECT_EQ(rt::LoadWindow(kWin), 1);
    EXPECT_EQ(handlers().slotsCalled(), (std::vector<int>{0}));
    EXPECT_FALSE(rt::windowTable().front().loaded());
}

TEST_F(WindowLoaderTest, UnitStoredBeforeItsContainerIsCreatedInsideIt) {
    TestWindow w;
    w.unit(kEdit, ut::EditBox, "编辑框信息", {2, 7, 155, 314}).parent = kShape;
    w.unit(kShape, ut::ShapeBox, "外形框1", {265, 145, 171, 328}).children = {kEdit};
    w.install();
    ASSERT_EQ(rt::LoadWindow(kWin), 1);
    QWidget* edit = unitWidget(kEdit);
    ASSERT_TRUE(edit);
    EXPECT_EQ(edit->parentWidget(), unitWidget<forms::ShapeBoxWidget>(kShape));
    EXPECT_EQ(edit->objectName(), QStringLiteral("编辑框信息"));
    EXPECT_EQ(readInt(kEdit, rt::prop::Left), 2);
    EXPECT_EQ(readInt(kEdit, rt::prop::Top), 7);
    EXPECT_EQ(edit->mapTo(windowWidget()->client(), QPoint(0, 0)), QPoint(267, 152));
}

TEST_F(WindowLoaderTest, UnknownUnitTypeOrUnreadableBlockFailsTheLoad) {
    for (int variant = 0; variant < 2; ++variant) {
        SCOPED_TRACE(variant);
        rt::windowTable().clear();
        host.boxes.clear();
        TestWindow w;
        w.unit(kLabel, ut::Label, "标签2", {0, 0, 10, 10});
        forms::UnitDescription& bad = w.unit(kEdit, ut::EditBox, "坏", {0, 0, 10, 10});
        if (variant == 0) bad.type = 0x1000C;  // no such type here
        else bad.block[0] = 99;                // a block version above the edit box's
        w.install();
        int code = rt_test::exitCodeOf([] { rt::LoadWindow(kWin); });
        EXPECT_EQ(code, -1);
        ASSERT_EQ(host.boxes.size(), 1u);
        EXPECT_NE(host.boxes[0].text.find(gbk("载入启动窗口失败")), std::string::npos);
        // Nothing of the half-built window stays behind.
        EXPECT_FALSE(rt::windowTable().front().loaded());
        EXPECT_FALSE(rt::windowTable().front().findUnit(kLabel)->isLive());
        for (QWidget* top : QApplication::topLevelWidgets()) EXPECT_FALSE(qobject_cast<forms::WindowWidget*>(top));
        rt::resetProgramStateForTesting();
        forms::installWindowLayer();
    }
}

TEST_F(WindowLoaderTest, LoadedWindowIsReusedWithoutNewEvents) {
    TestWindow w;
    w.bind(0, 0, 0);
    w.install();
    ASSERT_EQ(rt::LoadWindow(kWin), 1);
    QWidget* first = windowWidget();
    EXPECT_EQ(rt::LoadWindow(kWin), 1);
    EXPECT_EQ(windowWidget(), first);
    EXPECT_EQ(handlers().slotsCalled(), (std::vector<int>{0}));
    // The records as they stood before the load are kept, without live controls.
    const rt::WindowRecord& record = rt::windowTable().front();
    ASSERT_EQ(record.storedUnits.size(), record.units.size());
    EXPECT_FALSE(record.storedUnits.front().live);
}

TEST_F(WindowLoaderTest, UnitsFollowTheirVisibleAndDisabledFlags) {
    TestWindow w;
    w.unit(kLabel, ut::Label, "a", {0, 0, 10, 10});
    w.unit(kEdit, ut::EditBox, "b", {0, 20, 10, 10}, forms::defaultProperties(ut::EditBox), rt::unitflag::Disabled);
    w.install();
    ASSERT_EQ(rt::LoadWindow(kWin), 1);
    EXPECT_TRUE(unitWidget(kLabel)->isVisible());
    EXPECT_TRUE(unitWidget(kEdit)->isHidden());
    EXPECT_FALSE(unitWidget(kEdit)->isEnabled());
    EXPECT_EQ(readInt(kEdit, rt::prop::Disabled), 1);
    EXPECT_EQ(readInt(kEdit, rt::prop::Visible), 0);
    writeInt(kEdit, rt::prop::Visible, 1);
    EXPECT_TRUE(unitWidget(kEdit)->isVisible());
}

TEST_F(WindowLoaderTest, CentredWindowSitsInTheMiddleOfThePrimaryScreen) {
    TestWindow w(kWin, {50, 50, 1234, 700});
    w.windowProperties.setInteger(forms::windowprop::Position, 1);
    w.install();
    ASSERT_EQ(rt::LoadWindow(kWin), 1);
    // The test screen is 1366 x 800.
    EXPECT_EQ(readInt(0, rt::prop::Left), (1366 - 1234) / 2);
    EXPECT_EQ(readInt(0, rt::prop::Top), (800 - 700) / 2);
    EXPECT_EQ(readInt(0, rt::prop::Width), 1234);
    EXPECT_EQ(readInt(0, rt::prop::Height), 700);
}

// What the application does at start-up: the outer size minus the client size
// plus the wanted client size gives the wanted client area, whatever the frame
// and the menu bar take. Done in the created handler, before the window is shown.
TEST_F(WindowLoaderTest, OuterSizeFromClientSizeGivesTheWantedClientArea) {
    TestWindow w(kWin, {50, 50, 1234, 700});
    w.menuItem(0x2601034A, 0, "文件");
    w.menuItem(0x2601034B, 1, "新建");
    w.bind(0, 0, 0);
    w.install();
    handlers().actions[0] = [](const HandlerCall&) {
        rt::LiveControl* window = rt::findLiveControl(kWin, 0);
        writeInt(0, rt::prop::Width, readInt(0, rt::prop::Width) - window->clientRect().width + 1214);
        writeInt(0, rt::prop::Height, readInt(0, rt::prop::Height) - window->clientRect().height + 660);
    };
    ASSERT_EQ(rt::LoadWindow(kWin), 1);
    rt::LiveControl* window = rt::findLiveControl(kWin, 0);
    EXPECT_EQ(window->clientRect().width, 1214);
    EXPECT_EQ(window->clientRect().height, 660);
    EXPECT_EQ(windowWidget()->client()->size(), QSize(1214, 660));
    // The menu bar and the frame lie between the outer and the client size.
    EXPECT_GT(windowWidget()->menuHeight(), 0);
    QMargins frame = windowWidget()->frameMargins();
    EXPECT_EQ(readInt(0, rt::prop::Height), 660 + windowWidget()->menuHeight() + frame.top() + frame.bottom());
    EXPECT_EQ(readInt(0, rt::prop::Width), 1214 + frame.left() + frame.right());
}

}  // namespace
