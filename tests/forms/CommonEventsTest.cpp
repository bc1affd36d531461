// The events every unit raises (left press, focus, key release) and the walk
// that offers input to the units from the target up to the window.
#include "FormsTestSupport.h"

#include <QLineEdit>
#include <QTest>

#include "forms/BasicUnitType.h"
#include "forms/PicBox.h"

using namespace forms_test;
namespace ut = forms::unittype;

namespace {

constexpr rt::ControlId kBanner = 0x16010084, kUps = 0x16010080, kOther = 0x16010081, kPanel = 0x16010090,
                        kInPanel = 0x16010091;
constexpr uint32_t kPanelType = 0x1009F;

// A container unit that takes every 'x' typed anywhere inside it.
class PanelType final : public forms::WidgetUnitType {
public:
    std::vector<rt::ControlId> asked;

    uint32_t libraryType() const override { return kPanelType; }
    const std::vector<uint16_t>& ownPropertyTypes() const override {
        static const std::vector<uint16_t> none;
        return none;
    }
    uint32_t flags() const override { return rt::kEventCapableFlags; }
    rt::PropertyValue readProperty(const rt::WindowRecord&, const rt::UnitRecord&, uint32_t) override { return {}; }
    int writeProperty(rt::WindowRecord&, rt::UnitRecord&, uint32_t, const rt::PropertyValue&) override { return 0; }
    QWidget* create(rt::WindowRecord&, rt::UnitRecord&, QWidget* parent) override { return new QWidget(parent); }
    bool preTranslate(rt::UnitRecord& unit, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        asked.push_back(unit.id);
        return static_cast<QKeyEvent*>(event)->key() == Qt::Key_X;
    }
};

class CommonEventsTest : public FormsFixture {
protected:
    void SetUp() override {
        FormsFixture::SetUp();
        forms::registerWidgetUnitType(&panel);
        TestWindow w;
        w.unit(kBanner, ut::PicBox, "图片框1", {7, 2, 200, 20});
        w.unit(kUps, ut::EditBox, "编辑框模数", {10, 40, 80, 25});
        w.unit(kOther, ut::EditBox, "编辑框2", {10, 70, 80, 25});
        w.unit(kPanel, kPanelType, "面板", {100, 40, 200, 100});
        w.unit(kInPanel, ut::EditBox, "面板中", {5, 5, 80, 25}).parent = kPanel;
        w.bind(kBanner, -1, 0);
        w.bind(kUps, -7, 1);
        w.bind(kUps, -8, 2);
        w.bind(kUps, -10, 3);
        w.install();
        ASSERT_EQ(rt::LoadWindow(kWin), 1);
        QApplication::setActiveWindow(windowWidget());
    }
    PanelType panel;
};

TEST_F(CommonEventsTest, LeftPressRaisesMinusOneWithPositionAndKeyState) {
    auto* banner = unitWidget(kBanner);
    QTest::mousePress(banner, Qt::LeftButton, Qt::ControlModifier, QPoint(5, 6));
    QTest::mouseRelease(banner, Qt::LeftButton, Qt::ControlModifier, QPoint(5, 6));
    QTest::mousePress(banner, Qt::RightButton, {}, QPoint(5, 6));
    std::vector<std::vector<uint32_t>> presses;
    for (const HandlerCall& c : handlers().calls)
        if (c.slot == 0) presses.push_back(c.args);
    EXPECT_EQ(presses, (std::vector<std::vector<uint32_t>>{{5, 6, 1}}));
}

TEST_F(CommonEventsTest, FocusEventsAndKeyReleases) {
    auto* ups = unitWidget(kUps);
    ups->setFocus();
    unitWidget(kOther)->setFocus();
    EXPECT_EQ(handlers().slotsCalled(), (std::vector<int>{1, 2}));
    handlers().calls.clear();
    ups->setFocus();
    QTest::keyRelease(ups, Qt::Key_V, Qt::ControlModifier);
    QTest::keyRelease(ups, Qt::Key_Delete);
    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), true);
    QCoreApplication::sendEvent(ups, &repeated);  // auto-repeat releases are not reported
    std::vector<std::vector<uint32_t>> releases;
    for (const HandlerCall& c : handlers().calls)
        if (c.slot == 3) releases.push_back(c.args);
    // Releasing Ctrl after V is reported as well, without the state it ends.
    EXPECT_EQ(releases, (std::vector<std::vector<uint32_t>>{{86, 1}, {17, 0}, {46, 0}}));
}

TEST_F(CommonEventsTest, UnitThatTakesAnEventInTheWalkKeepsItFromTheTarget) {
    auto* inside = unitWidget<QLineEdit>(kInPanel);
    inside->setFocus();
    QTest::keyClicks(inside, "yxz");
    EXPECT_EQ(inside->text(), QStringLiteral("yz"));
    // Each key press is offered once, however far it travels afterwards.
    EXPECT_EQ(panel.asked, (std::vector<rt::ControlId>{kPanel, kPanel, kPanel}));
    // Outside the panel nothing is taken.
    auto* ups = unitWidget<QLineEdit>(kUps);
    ups->clear();
    QTest::keyClicks(ups, "1x");
    EXPECT_EQ(ups->text(), QStringLiteral("1x"));
}

// The focused box loses the focus while its window is destroyed; its handler
// would read a control that is half gone.
TEST_F(CommonEventsTest, WindowGoingAwayRaisesNoFocusEvents) {
    unitWidget(kUps)->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), unitWidget(kUps));
    handlers().calls.clear();
    handlers().actions[2] = [](const HandlerCall&) { readText(kUps, own(forms::editprop::Content)); };
    delete windowWidget();
    EXPECT_FALSE(rt::windowTable().front().loaded());
    EXPECT_TRUE(handlers().calls.empty());
}

}  // namespace
