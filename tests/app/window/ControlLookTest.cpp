// The real window's inputs as the user sees them, in the program's own fonts
// and palette: locked while a calculation runs they look disabled, and every
// trial choice can be read in its box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QImage>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <cstdlib>
#include <map>

#include "calc/window/CalcWindowSupport.h"
#include "PixelTestSupport.h"

using namespace calc_test;

namespace {

using pixel_test::pixelsNear;

// Pixels darker than mid-grey: what the style draws of an arrow.
int darkPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).lightness() < 128) ++count;
    return count;
}

struct LockedInput {
    rt::ControlId control;
    const char* name;
    QColor text;               // the colour the template gives its text
    QPalette::ColorRole role;  // the palette role the control draws its text in
};

// The inputs the calculation locks that show text in colours of their own.
const LockedInput kLockedInputs[] = {
    {control::Ups, "编辑框模数", QColor(0, 0, 255), QPalette::Text},
    {control::TrialChoice, "组合框1", QColor(0, 0, 0), QPalette::Text},
    {control::OnePlate, "单选框1", QColor(0, 0, 255), QPalette::WindowText},
    {control::TwoPlates, "单选框2", QColor(0, 0, 255), QPalette::WindowText},
};

class ControlLook : public CalcWindow {
protected:
    // What the window shows of each locked input.
    std::map<rt::ControlId, QImage> shotOfInputs() const {
        QImage whole = window->grab().toImage();
        std::map<rt::ControlId, QImage> shots;
        for (const LockedInput& input : kLockedInputs) {
            QWidget* w = widget(input.control);
            shots[input.control] = whole.copy(QRect(w->mapTo(window, QPoint(0, 0)), w->size()));
        }
        return shots;
    }
    static bool radioBoxesShown() {
        return widget(control::OnePlate)->isVisible() && widget(control::TwoPlates)->isVisible();
    }
};

// The stored text colours used to be set for the Disabled colour group too:
// locked inputs looked exactly like idle ones.
TEST_F(ControlLook, InputsLockedByACalculationLookDisabledUntilItEnds) {
    enterExampleOrder();
    chooseTrials(kTenTrials);
    press();  // a first calculation shows the radio boxes
    ASSERT_TRUE(radioBoxesShown());
    widget(control::Compute)->setFocus();  // no input shows a focus frame or a caret
    settle();
    std::map<rt::ControlId, QImage> idle = shotOfInputs();

    std::map<rt::ControlId, QImage> locked;
    pressWatching([&] {
        // Between two trials of the search, with the radio boxes shown and still locked.
        if (locked.empty() && caption() == gbk("结束计算") && radioBoxesShown()) locked = shotOfInputs();
    });
    ASSERT_FALSE(locked.empty());
    settle();
    std::map<rt::ControlId, QImage> unlocked = shotOfInputs();

    for (const LockedInput& input : kLockedInputs) {
        SCOPED_TRACE(input.name);
        const QColor greyed = QApplication::palette().color(QPalette::Disabled, input.role);
        ASSERT_GT(pixelsNear(idle[input.control], input.text), 0) << "the template's text colour is not drawn";
        EXPECT_EQ(pixelsNear(locked[input.control], input.text), 0);
        EXPECT_GT(pixelsNear(locked[input.control], greyed), 0);
        EXPECT_EQ(unlocked[input.control], idle[input.control]);
    }
}

// The style's drop-down button used to take the room of the last character of "随机10000次".
TEST_F(ControlLook, EveryTrialChoiceFitsBesideTheArrow) {
    auto* trials = qobject_cast<QComboBox*>(widget(control::TrialChoice));
    ASSERT_NE(trials, nullptr);
    ASSERT_EQ(trials->size(), QSize(93, 20));
    QStyleOptionComboBox option;
    option.initFrom(trials);
    option.editable = trials->isEditable();
    option.frame = trials->hasFrame();
    QStyle* style = trials->style();
    QRect field = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, trials);
    QRect arrow = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, trials);
    EXPECT_LE(field.right(), arrow.left());

    // The choice is drawn one pixel in from either side of the field.
    QFontMetrics metrics(trials->font());
    for (int i = 0; i < trials->count(); ++i) {
        SCOPED_TRACE(trials->itemText(i).toStdString());
        EXPECT_LE(metrics.horizontalAdvance(trials->itemText(i)) + 2, field.width());
    }

    // Drawn, the longest choice matches the same choice in a box with room to
    // spare, and the arrow is still drawn.
    chooseTrials(kTenThousandTrials);
    widget(control::Compute)->setFocus();
    QComboBox roomy;
    roomy.setStyle(style);
    roomy.setFont(trials->font());
    roomy.setPalette(trials->palette());
    roomy.addItem(trials->currentText());
    roomy.resize(300, trials->height());
    QImage shown = trials->grab().toImage();
    QRect text(field.left(), field.top(), metrics.horizontalAdvance(trials->currentText()) + 2, field.height());
    EXPECT_EQ(shown.copy(text).convertToFormat(QImage::Format_RGB32),
              roomy.grab().toImage().copy(text).convertToFormat(QImage::Format_RGB32));
    EXPECT_GT(darkPixels(shown.copy(arrow)), 0);
}

}  // namespace
