// Colours, fonts, texts and key codes between the runtime and Qt.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QKeyEvent>

#include "forms/Units.h"
#include "platform/Gbk.h"

namespace {

TEST(Conversions, ColoursAreBgrWithTheTopByteForTheDefault) {
    EXPECT_EQ(forms::colourOf(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(forms::colourOf(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(forms::colourOf(0x123456), QColor(0x56, 0x34, 0x12));
    EXPECT_FALSE(forms::colourOf(0xFF000000).isValid());
    EXPECT_FALSE(forms::colourOf(0x01000000).isValid());
}

TEST(Conversions, FontRecordGivesPixelHeightWeightAndStyle) {
    rt::LogicalFont logical = rt::defaultGuiFont();
    logical.height = -19;
    logical.weight = rt::kBoldWeight;
    logical.italic = 1;
    QFont font = forms::fontOf(logical);
    EXPECT_EQ(font.pixelSize(), 19);
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(font.italic());
    EXPECT_FALSE(font.underline());
    // A record of the wrong length is the default GUI font: 12 pixels, normal weight.
    QFont fallback = forms::fontOf(std::string_view("short"));
    EXPECT_EQ(fallback.pixelSize(), 12);
    EXPECT_FALSE(fallback.bold());
    // A face that is not installed still gives a usable font.
    rt::setFontFaceName(logical, "NoSuchFace");
    EXPECT_TRUE(QFontInfo(forms::fontOf(logical)).exactMatch() || !QFontInfo(forms::fontOf(logical)).family().isEmpty());
}

TEST(Conversions, TextsCrossBetweenGbkAndQt) {
    std::string gbk = platform::utf8ToGbk("开始计算");
    EXPECT_EQ(forms::fromGbk(gbk), QStringLiteral("开始计算"));
    EXPECT_EQ(forms::toGbk(QStringLiteral("开始计算")), gbk);
}

TEST(Conversions, KeysGiveWindowsVirtualKeyCodes) {
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        int32_t code;
    };
    for (Case c : {Case{Qt::Key_A, {}, 65}, Case{Qt::Key_V, Qt::ControlModifier, 86}, Case{Qt::Key_X, {}, 88},
                   Case{Qt::Key_0, {}, 48}, Case{Qt::Key_9, {}, 57}, Case{Qt::Key_5, Qt::KeypadModifier, 101},
                   Case{Qt::Key_Delete, {}, 46}, Case{Qt::Key_Backspace, {}, 8}, Case{Qt::Key_Tab, {}, 9},
                   Case{Qt::Key_Return, {}, 13}, Case{Qt::Key_Enter, Qt::KeypadModifier, 13},
                   Case{Qt::Key_Escape, {}, 27}, Case{Qt::Key_Space, {}, 32}, Case{Qt::Key_PageUp, {}, 33},
                   Case{Qt::Key_PageDown, {}, 34}, Case{Qt::Key_End, {}, 35}, Case{Qt::Key_Home, {}, 36},
                   Case{Qt::Key_Left, {}, 37}, Case{Qt::Key_Up, {}, 38}, Case{Qt::Key_Right, {}, 39},
                   Case{Qt::Key_Down, {}, 40}, Case{Qt::Key_Insert, {}, 45}, Case{Qt::Key_F1, {}, 112},
                   Case{Qt::Key_F12, {}, 123}, Case{Qt::Key_Shift, {}, 16}, Case{Qt::Key_Control, {}, 17},
                   Case{Qt::Key_Alt, {}, 18}, Case{Qt::Key_Exclam, Qt::ShiftModifier, 49}}) {
        QKeyEvent event(QEvent::KeyRelease, c.key, c.modifiers);
        EXPECT_EQ(forms::virtualKeyOf(event), c.code) << c.key;
    }
    EXPECT_EQ(forms::keyStateOf(Qt::ControlModifier), 1);
    EXPECT_EQ(forms::keyStateOf(Qt::ShiftModifier | Qt::AltModifier), 6);
    EXPECT_EQ(forms::keyStateOf(Qt::KeypadModifier), 0);
}

}  // namespace
