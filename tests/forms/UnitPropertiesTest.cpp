// Own properties of the basic units through the runtime's property access:
// values that are clamped or normalised, values the live control knows
// better than the stored ones, and what each write does to its widget.
#include "FormsTestSupport.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "forms/EditBox.h"
#include "forms/Label.h"
#include "forms/PicBox.h"

using namespace forms_test;
namespace ut = forms::unittype;

namespace {

constexpr rt::ControlId kButton = 0x16010093, kRadio1 = 0x160100A7, kRadio2 = 0x160100A8, kCombo = 0x16010741,
                        kNoSelection = 0x16010742, kUps = 0x16010080, kReport = 0x160100C1, kLabel = 0x160106BE,
                        kBanner = 0x16010084;

std::string int32Bytes(int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

class UnitPropertiesTest : public FormsFixture {
protected:
    void SetUp() override {
        FormsFixture::SetUp();
        TestWindow w(kWin, {0, 0, 800, 600});
        w.unit(kButton, ut::Button, "按钮计算", {274, 79, 153, 26});
        w.unit(kRadio1, ut::RadioBox, "单选框1", {289, 489, 125, 19});
        w.unit(kRadio2, ut::RadioBox, "单选框2", {289, 546, 125, 19});

        forms::StoredProperties combo = forms::defaultProperties(ut::ComboBox);
        combo.setInteger(forms::comboprop::Kind, 1);
        combo.setInteger(forms::comboprop::Selection, 3);
        std::vector<std::string> items;
        for (const char* item : {"随机10次", "随机50次", "随机100次", "随机500次", "随机1000次", "随机10000次"})
            items.push_back(gbk(item));
        combo.setBytes(forms::comboprop::Items, forms::encodeItemList(items));
        w.unit(kCombo, ut::ComboBox, "组合框1", {272, 112, 93, 20}, combo);
        combo.setInteger(forms::comboprop::Selection, -1);
        w.unit(kNoSelection, ut::ComboBox, "组合框2", {272, 140, 93, 20}, combo);

        forms::StoredProperties ups = forms::defaultProperties(ut::EditBox);
        ups.setBytes(forms::editprop::Content, "48");
        ups.setInteger(forms::editprop::MaxLength, 3);
        ups.setInteger(forms::editprop::InputMode, forms::editprop::InputWholeNumber);
        w.unit(kUps, ut::EditBox, "编辑框模数", {347, 49, 79, 25}, ups);

        forms::StoredProperties report = forms::defaultProperties(ut::EditBox);
        report.setInteger(forms::editprop::MultiLine, 1);
        report.setInteger(forms::editprop::InputMode, forms::editprop::InputReadOnly);
        w.unit(kReport, ut::EditBox, "编辑框信息", {2, 7, 155, 314}, report);

        forms::StoredProperties label = forms::defaultProperties(ut::Label);
        label.setBytes(forms::labelprop::Caption, gbk("相差0张"));
        w.unit(kLabel, ut::Label, "标签A1", {303, 519, 96, 16}, label);
        w.unit(kBanner, ut::PicBox, "图片框1", {7, 2, 400, 20}).cursor = int32Bytes(32649);

        w.bind(kRadio2, 0, 2);
        w.install();
        ASSERT_EQ(rt::LoadWindow(kWin), 1);
    }
    forms::EditBoxApi* edit(rt::ControlId id) { return forms::editBoxOf(unitWidget(id)); }
};

TEST_F(UnitPropertiesTest, ButtonClampsItsTypeAndAlignments) {
    using namespace forms::buttonprop;
    auto* button = unitWidget<QPushButton>(kButton);
    struct Case {
        uint32_t property;
        int32_t written, applied;
    };
    for (Case c : {Case{HorizontalAlignment, 3, 2}, Case{HorizontalAlignment, -1, 0}, Case{VerticalAlignment, 7, 2},
                   Case{VerticalAlignment, -4, 0}, Case{Type, 5, 1}, Case{Type, -2, 0}}) {
        SCOPED_TRACE(testing::Message() << c.property << " " << c.written);
        writeInt(kButton, own(c.property), c.written);
        EXPECT_EQ(readInt(kButton, own(c.property)), c.applied);
    }
    writeInt(kButton, own(HorizontalAlignment), 3);
    EXPECT_TRUE(button->styleSheet().contains(QStringLiteral("right")));
    writeInt(kButton, own(Type), 9);
    EXPECT_TRUE(button->isDefault());
    writeText(kButton, own(Caption), gbk("结束计算"));
    EXPECT_EQ(button->text(), QStringLiteral("结束计算"));
    EXPECT_EQ(readText(kButton, own(Caption)), gbk("结束计算"));
}

// Only 1 checks; the checked radio box of an exclusive pair must still be
// uncheckable by the program.
TEST_F(UnitPropertiesTest, RadioBoxIsCheckedExactlyByOne) {
    constexpr rt::PropertyIndex kChecked = own(forms::radioprop::Checked);
    auto* first = unitWidget<QRadioButton>(kRadio1);
    writeInt(kRadio1, kChecked, 1);
    EXPECT_TRUE(first->isChecked());
    writeInt(kRadio1, kChecked, 2);
    EXPECT_FALSE(first->isChecked());
    EXPECT_EQ(readInt(kRadio1, kChecked), 0);
    writeInt(kRadio1, kChecked, 1);
    writeInt(kRadio2, kChecked, 1);
    EXPECT_EQ(readInt(kRadio1, kChecked), 0);
    EXPECT_EQ(readInt(kRadio2, kChecked), 1);
}

TEST_F(UnitPropertiesTest, RadioBoxClickRaisesEventZeroAndTheOtherGoesOut) {
    constexpr rt::PropertyIndex kChecked = own(forms::radioprop::Checked);
    writeInt(kRadio1, kChecked, 1);
    auto* second = unitWidget<QRadioButton>(kRadio2);
    QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(8, second->height() / 2));
    EXPECT_EQ(handlers().slotsCalled(), (std::vector<int>{2}));
    EXPECT_EQ(readInt(kRadio2, kChecked), 1);
    EXPECT_EQ(readInt(kRadio1, kChecked), 0);
}

TEST_F(UnitPropertiesTest, ComboSelectionIsReadFromTheControlAndRemembered) {
    constexpr rt::PropertyIndex kSelection = own(forms::comboprop::Selection);
    auto* combo = unitWidget<QComboBox>(kCombo);
    EXPECT_FALSE(combo->isEditable());
    EXPECT_EQ(combo->count(), 6);
    EXPECT_EQ(readInt(kCombo, kSelection), 3);
    EXPECT_EQ(readInt(kNoSelection, kSelection), -1);
    combo->setCurrentIndex(5);  // as the user chooses
    EXPECT_EQ(readInt(kCombo, kSelection), 5);
    EXPECT_EQ(readText(kCombo, own(forms::comboprop::Content)), gbk("随机10000次"));
    // With the control gone the type answers what it remembered.
    forms::destroyAllWindows();
    rt::WindowRecord& window = rt::windowTable().front();
    rt::UnitRecord* unit = window.findUnit(kCombo);
    EXPECT_EQ(rt::findUnitType(ut::ComboBox)->readProperty(window, *unit, forms::comboprop::Selection).words.asInt(),
              5);
}

TEST_F(UnitPropertiesTest, EditContentWriteNotifiesExactlyOnce) {
    forms::EditBoxApi* ups = edit(kUps);
    int before = ups->changeNotifications();
    writeText(kUps, own(forms::editprop::Content), "1");
    EXPECT_EQ(ups->changeNotifications(), before + 1);
    // The same text again is still one notification.
    writeText(kUps, own(forms::editprop::Content), "1");
    EXPECT_EQ(ups->changeNotifications(), before + 2);
    forms::EditBoxApi* report = edit(kReport);
    before = report->changeNotifications();
    writeText(kReport, own(forms::editprop::Content), "a\r\nb");
    EXPECT_EQ(report->changeNotifications(), before + 1);
}

TEST_F(UnitPropertiesTest, WholeNumberBoxRefusesOtherCharactersAndKeepsItsLimit) {
    auto* box = unitWidget<QLineEdit>(kUps);
    box->clear();
    QTest::keyClicks(box, "1a-.b2");
    EXPECT_EQ(box->text(), QStringLiteral("1-2"));
    QTest::keyClicks(box, "7");  // a fourth character
    EXPECT_EQ(readText(kUps, own(forms::editprop::Content)), "1-2");
    // The program is not held to the typing limit, and the user may still delete.
    writeText(kUps, own(forms::editprop::Content), "12345");
    EXPECT_EQ(box->text(), QStringLiteral("12345"));
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), QStringLiteral("1234"));
    QTest::keyClicks(box, "9");
    EXPECT_EQ(box->text(), QStringLiteral("1234"));
}

TEST_F(UnitPropertiesTest, MultiLineContentKeepsCrLfAndTakesAppendedText) {
    auto* report = unitWidget<QPlainTextEdit>(kReport);
    EXPECT_TRUE(report->isReadOnly());
    writeText(kReport, own(forms::editprop::Content), "a\r\nb");
    EXPECT_EQ(report->toPlainText(), QStringLiteral("a\nb"));
    EXPECT_EQ(readText(kReport, own(forms::editprop::Content)), "a\r\nb");
    auto* appendable = dynamic_cast<rt::TextAppendable*>(rt::findLiveControl(kWin, kReport));
    ASSERT_TRUE(appendable);
    report->moveCursor(QTextCursor::Start);
    int before = edit(kReport)->changeNotifications();
    appendable->appendText("c\r\nd");
    EXPECT_EQ(readText(kReport, own(forms::editprop::Content)), "a\r\nbc\r\nd");
    EXPECT_EQ(edit(kReport)->changeNotifications(), before + 1);
    EXPECT_FALSE(report->document()->isUndoAvailable());
}

// Turning the multi-line switch needs the other kind of control: it replaces the old one in place.
TEST_F(UnitPropertiesTest, SwitchingMultiLineRecreatesTheControlWithItsContent) {
    auto* old = unitWidget<QLineEdit>(kUps);
    QTest::keyClick(old, Qt::Key_End);
    QTest::keyClicks(old, "5");  // typed, not yet read by anyone
    writeInt(kUps, own(forms::editprop::MultiLine), 1);
    auto* now = unitWidget<QPlainTextEdit>(kUps);
    ASSERT_TRUE(now);
    EXPECT_NE(static_cast<QWidget*>(now), old);
    EXPECT_EQ(now->toPlainText(), QStringLiteral("485"));
    EXPECT_EQ(now->geometry(), QRect(347, 49, 79, 25));
    EXPECT_TRUE(now->isVisible());
    flushDeletes();
    EXPECT_EQ(readText(kUps, own(forms::editprop::Content)), "485");
}

TEST_F(UnitPropertiesTest, LabelCaptionWriteShowsAndEmptyReadsAsNull) {
    auto* label = unitWidget<forms::LabelWidget>(kLabel);
    EXPECT_EQ(label->caption(), QStringLiteral("相差0张"));
    writeText(kLabel, own(forms::labelprop::Caption), gbk("相差12张"));
    EXPECT_EQ(label->caption(), QStringLiteral("相差12张"));
    writeText(kLabel, own(forms::labelprop::Caption), "");
    bool isNull = false;
    EXPECT_EQ(readText(kLabel, own(forms::labelprop::Caption), &isNull), "");
    EXPECT_TRUE(isNull);
    EXPECT_TRUE(label->caption().isEmpty());
}

int gDecodes = 0;
QImage fakeDecoder(std::string_view bytes) {
    ++gDecodes;
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(bytes == "red" ? Qt::red : Qt::blue);
    return image;
}

TEST_F(UnitPropertiesTest, PictureWriteReplacesTheBytesAndDecodesAgain) {
    constexpr rt::PropertyIndex kPicture = own(forms::picprop::Picture);
    auto* banner = unitWidget<forms::PictureBoxWidget>(kBanner);
    EXPECT_EQ(banner->cursor().shape(), Qt::PointingHandCursor);
    // Without a decoder a picture draws as nothing.
    writeBytes(kBanner, kPicture, "red");
    banner->grab();
    EXPECT_EQ(banner->picture(), "red");
    forms::setPictureDecoder(&fakeDecoder);
    gDecodes = 0;
    writeBytes(kBanner, kPicture, "red");
    QImage shown = banner->grab().toImage();
    EXPECT_EQ(shown.pixelColor(0, 0), QColor(Qt::red));
    banner->grab();
    EXPECT_EQ(gDecodes, 1);  // decoded once per picture
    writeBytes(kBanner, kPicture, "blue");
    EXPECT_EQ(banner->grab().toImage().pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(gDecodes, 2);
    rt::FreeBlock(rt::ReadProperty(kWin, kBanner, kPicture, -1).pointer());
}

}  // namespace
