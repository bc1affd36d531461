// Disabled units look disabled: the text colours a unit stores are its
// enabled look only, a disabled unit shows the platform's greyed text, and
// a re-enabled unit looks as it did before. Surfaces keep their colour.
#include "FormsTestSupport.h"

#include <QImage>

#include <cstdlib>

#include "runtime/Font.h"
#include "PixelTestSupport.h"

using namespace forms_test;
namespace ut = forms::unittype;

namespace {

constexpr rt::ControlId kUps = 0x16010080, kReport = 0x160100C1, kTrials = 0x16010741, kRadio = 0x160100A7,
                        kDifference = 0x160106BE, kYellowRadio = 0x160100A8;
constexpr int32_t kBlue = 0xFF0000, kRed = 0x0000FF, kBlack = 0, kWhite = 0xFFFFFF, kYellow = 0x00FFFF;

std::string boldFont(int32_t pixels) {
    rt::LogicalFont font;
    font.height = -pixels;
    font.weight = rt::kBoldWeight;
    font.charSet = rt::kGb2312CharSet;
    return rt::fontRecord(font);
}

using pixel_test::pixelsNear;

QColor platformDisabled(QPalette::ColorRole role) { return QApplication::palette().color(QPalette::Disabled, role); }

struct Look {
    rt::ControlId control;
    const char* name;
    QColor text;               // the unit's own text colour
    QPalette::ColorRole role;  // the role whose platform colour a disabled unit's text takes
};

class DisabledLookTest : public FormsFixture {
protected:
    void SetUp() override {
        FormsFixture::SetUp();
        TestWindow w(kWin, {0, 0, 600, 400});

        forms::StoredProperties ups = forms::defaultProperties(ut::EditBox);
        ups.setBytes(forms::editprop::Content, "48");
        ups.setInteger(forms::editprop::TextColour, kBlue);
        ups.setInteger(forms::editprop::BackColour, kWhite);
        ups.setBytes(forms::editprop::Font, boldFont(19));
        w.unit(kUps, ut::EditBox, "编辑框模数", {10, 10, 79, 25}, ups);

        forms::StoredProperties report = forms::defaultProperties(ut::EditBox);
        report.setBytes(forms::editprop::Content, gbk("共3款\r\n合计4200个"));
        report.setInteger(forms::editprop::MultiLine, 1);
        report.setInteger(forms::editprop::TextColour, kBlue);
        report.setBytes(forms::editprop::Font, boldFont(15));
        w.unit(kReport, ut::EditBox, "编辑框信息", {10, 50, 155, 60}, report);

        forms::StoredProperties trials = forms::defaultProperties(ut::ComboBox);
        trials.setInteger(forms::comboprop::Kind, 1);
        trials.setInteger(forms::comboprop::TextColour, kBlack);
        trials.setInteger(forms::comboprop::BackColour, kWhite);
        trials.setBytes(forms::comboprop::Items, forms::encodeItemList({gbk("随机500次")}));
        trials.setInteger(forms::comboprop::Selection, 0);
        w.unit(kTrials, ut::ComboBox, "组合框1", {10, 120, 93, 20}, trials);

        forms::StoredProperties radio = forms::defaultProperties(ut::RadioBox);
        radio.setBytes(forms::radioprop::Caption, gbk("排1张印刷版"));
        radio.setInteger(forms::radioprop::TextColour, kBlue);
        radio.setBytes(forms::radioprop::Font, boldFont(16));
        w.unit(kRadio, ut::RadioBox, "单选框1", {10, 150, 125, 19}, radio);
        radio.setInteger(forms::radioprop::BackColour, kYellow);
        w.unit(kYellowRadio, ut::RadioBox, "单选框2", {10, 180, 125, 19}, radio);

        forms::StoredProperties label = forms::defaultProperties(ut::Label);
        label.setBytes(forms::labelprop::Caption, gbk("相差75张"));
        label.setInteger(forms::labelprop::TextColour, kRed);
        label.setBytes(forms::labelprop::Font, boldFont(15));
        w.unit(kDifference, ut::Label, "标签A1", {10, 210, 96, 16}, label);

        w.install();
        ASSERT_EQ(rt::LoadWindow(kWin), 1);
        QApplication::processEvents();
    }

    static QImage shot(rt::ControlId control) { return unitWidget(control)->grab().toImage(); }
    static void setDisabled(rt::ControlId control, bool disabled) { writeInt(control, rt::prop::Disabled, disabled); }
};

// Each unit's stored text colour used to be set for the Disabled colour group
// as well, so a disabled unit looked exactly like an enabled one.
TEST_F(DisabledLookTest, DisabledUnitsShowThePlatformsGreyedText) {
    const Look looks[] = {
        {kUps, "single-line edit box", QColor(0, 0, 255), QPalette::Text},
        {kReport, "multi-line edit box", QColor(0, 0, 255), QPalette::Text},
        {kTrials, "combo box", QColor(0, 0, 0), QPalette::Text},
        {kRadio, "radio box", QColor(0, 0, 255), QPalette::WindowText},
        {kDifference, "label", QColor(255, 0, 0), QPalette::WindowText},
    };
    for (const Look& look : looks) {
        SCOPED_TRACE(look.name);
        // A focused unit shows its focus; disabling it passes the focus on.
        if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
        QImage enabled = shot(look.control);
        ASSERT_GT(pixelsNear(enabled, look.text), 0) << "the unit's own colour is not drawn at all";

        setDisabled(look.control, true);
        QImage disabled = shot(look.control);
        EXPECT_EQ(pixelsNear(disabled, look.text), 0);
        EXPECT_GT(pixelsNear(disabled, platformDisabled(look.role)), 0);

        setDisabled(look.control, false);
        EXPECT_EQ(shot(look.control), enabled);
    }
}

// A colour written while the unit is disabled is shown once it is enabled again.
TEST_F(DisabledLookTest, AColourWrittenWhileDisabledShowsWhenEnabled) {
    setDisabled(kDifference, true);
    writeInt(kDifference, own(forms::labelprop::TextColour), kBlue);
    EXPECT_EQ(pixelsNear(shot(kDifference), QColor(0, 0, 255)), 0);
    setDisabled(kDifference, false);
    EXPECT_GT(pixelsNear(shot(kDifference), QColor(0, 0, 255)), 0);
    EXPECT_EQ(pixelsNear(shot(kDifference), QColor(255, 0, 0)), 0);
}

// A background is the unit's surface, not its state: it stays when the text
// greys. (A radio box's background colour used not to show at all.)
TEST_F(DisabledLookTest, ARadioBoxKeepsItsBackgroundWhenDisabled) {
    const QColor yellow(255, 255, 0);
    QImage enabled = shot(kYellowRadio);
    setDisabled(kYellowRadio, true);
    QImage disabled = shot(kYellowRadio);
    // The right end of the box lies beyond the caption.
    QPoint clear(enabled.width() - 2, enabled.height() / 2);
    ASSERT_EQ(enabled.pixelColor(clear), yellow);
    EXPECT_EQ(disabled.pixelColor(clear), yellow);
    EXPECT_EQ(pixelsNear(disabled, QColor(0, 0, 255)), 0);
}

}  // namespace
