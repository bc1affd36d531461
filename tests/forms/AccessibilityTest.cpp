// The units that draw themselves tell assistive technology what they are and what they show.
#include "FormsTestSupport.h"

#include <QAccessible>

using namespace forms_test;
namespace ut = forms::unittype;

namespace {

constexpr rt::ControlId kLabel = 0x160100FF, kBanner = 0x16010084, kFrame = 0x160100C0;

class AccessibilityTest : public FormsFixture {};

TEST_F(AccessibilityTest, LabelPictureAndShapeHaveRolesAndNames) {
    TestWindow w;
    forms::StoredProperties label = forms::defaultProperties(ut::Label);
    label.setBytes(forms::labelprop::Caption, gbk("款数量: 3"));
    w.unit(kLabel, ut::Label, "标签款数量", {0, 0, 100, 20}, label);
    w.unit(kBanner, ut::PicBox, "图片框1", {0, 30, 100, 20});
    w.unit(kFrame, ut::ShapeBox, "外形框1", {0, 60, 100, 100});
    w.install();
    ASSERT_EQ(rt::LoadWindow(kWin), 1);

    struct Case {
        rt::ControlId unit;
        QAccessible::Role role;
        QString name;
    };
    for (const Case& c : {Case{kLabel, QAccessible::StaticText, QStringLiteral("款数量: 3")},
                          Case{kBanner, QAccessible::Graphic, QStringLiteral("图片框1")},
                          Case{kFrame, QAccessible::Grouping, QStringLiteral("外形框1")}}) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(unitWidget(c.unit));
        ASSERT_TRUE(face) << c.unit;
        EXPECT_EQ(face->role(), c.role);
        EXPECT_EQ(face->text(QAccessible::Name), c.name);
    }
    // A new caption is the new name.
    writeText(kLabel, own(forms::labelprop::Caption), gbk("款数量: 4"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(unitWidget(kLabel))->text(QAccessible::Name),
              QStringLiteral("款数量: 4"));
}

}  // namespace
