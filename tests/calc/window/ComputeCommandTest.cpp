// The compute button on the real window: the report and the radio boxes a
// calculation leaves, the refusals, the locked window while it runs, the stop
// request, the close refusal and presses that arrive while a stopped
// calculation is still returning.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "calc/CalcState.h"
#include "calc/ComputeCommand.h"
#include "calc/Controls.h"
#include "grid/GridMethods.h"
#include "platform/Gbk.h"
#include "CalcWindowSupport.h"

using namespace calc_test;
using app_test::ProgramExit;

namespace {

constexpr int kRowsPerColumn = 50;

// Every input the calculation locks, besides the radio boxes.
const rt::ControlId kInputs[] = {control::Ups, control::OrderGrid, control::TrialChoice};

class ComputeCommand : public CalcWindow {
protected:

    // Quantities in style order: down quantity column 1, then column 2.
    static void enterOrder(const std::vector<int>& quantities) {
        for (size_t i = 0; i < quantities.size(); ++i)
            grid::call::setCellText(kMainWindow, control::OrderGrid, static_cast<int32_t>(i % kRowsPerColumn) + 1,
                                    static_cast<int32_t>(i / kRowsPerColumn) + 1, std::to_string(quantities[i]));
    }
    static bool visible(rt::ControlId c) { return property(c, rt::prop::Visible) != 0; }
    static bool disabled(rt::ControlId c) { return property(c, rt::prop::Disabled) != 0; }

    static void expectIdleAndUnlocked() {
        EXPECT_EQ(caption(), gbk("开始计算"));
        EXPECT_FALSE(calc::calculationActive());
        for (rt::ControlId c : kInputs) {
            EXPECT_FALSE(disabled(c)) << std::hex << c;
            EXPECT_TRUE(widget(c)->isEnabled()) << std::hex << c;
        }
        EXPECT_EQ(trialShown(), "");
    }
};

TEST_F(ComputeCommand, ThreeStylesOnTenUpsGiveBothSectionsAndTheDifference) {
    enterOrder({1000, 2500, 700});
    setUps("10");
    chooseTrials(kTenTrials);
    press();

    EXPECT_EQ(report(), gbk(kExampleReport));
    EXPECT_EQ(text(control::Difference, property::LabelCaption), gbk("相差75张"));
    EXPECT_TRUE(visible(control::Difference));
    for (rt::ControlId radio : {control::OnePlate, control::TwoPlates}) {
        EXPECT_TRUE(visible(radio));
        EXPECT_FALSE(disabled(radio));
        EXPECT_EQ(property(radio, property::RadioChecked), 0);
    }
    const calc::CalcState& s = calc::state();
    EXPECT_EQ(s.order.upsPerPlate, 10);
    EXPECT_EQ(s.minStylesBound, 0);
    EXPECT_EQ(s.plateOneList, (std::vector<int32_t>{700, 1000}));
    EXPECT_EQ(s.plateTwoList, (std::vector<int32_t>{2500}));
    // The report as it stood after the one-plate section.
    EXPECT_EQ(s.savedReport, gbk(kExampleReport).substr(0, gbk(kExampleReport).find(gbk("\r\n\r\n排2张版"))));
    expectIdleAndUnlocked();
    EXPECT_TRUE(host.boxes.empty());

    // A second calculation starts from a fresh report and fresh radio states.
    QTest::mouseClick(widget(control::TwoPlates), Qt::LeftButton);
    settle();
    ASSERT_EQ(property(control::TwoPlates, property::RadioChecked), 1);
    press();
    EXPECT_EQ(report(), gbk(kExampleReport));
    EXPECT_EQ(property(control::TwoPlates, property::RadioChecked), 0);
    EXPECT_EQ(grid::call::getCellText(kMainWindow, control::GridA2, 0, 1), "");  // results cleared, not filled
}

TEST_F(ComputeCommand, OneStyleGetsOnlyTheOnePlateResult) {
    enterOrder({1000});
    press();  // ups 48 as the window starts
    EXPECT_EQ(report(), gbk("共1款\r\n合计1000个\r\n每张印版排48模\r\n"
                            "\r\n排1张版  0.8%\r\n浪费数量 8个\r\n印刷张数 21张\r\n印后数量 1008个"));
    EXPECT_TRUE(visible(control::OnePlate));
    EXPECT_FALSE(disabled(control::OnePlate));
    EXPECT_FALSE(visible(control::TwoPlates));
    EXPECT_FALSE(visible(control::Difference));
    EXPECT_TRUE(calc::state().plateOneList.empty());
    EXPECT_TRUE(calc::state().plateTwoList.empty());
    expectIdleAndUnlocked();
}

TEST_F(ComputeCommand, SixtyStylesOnFortyEightUpsGoStraightToTwoPlates) {
    std::vector<int> quantities;
    for (int i = 0; i < 60; ++i) quantities.push_back(100 + 37 * i);
    enterOrder(quantities);
    chooseTrials(kTenTrials);
    press();

    EXPECT_EQ(calc::state().minStylesBound, 11);
    EXPECT_FALSE(visible(control::OnePlate));
    EXPECT_TRUE(visible(control::TwoPlates));
    EXPECT_FALSE(disabled(control::TwoPlates));
    // No one-plate section: nothing to compare the two plates with.
    EXPECT_FALSE(visible(control::Difference));
    const std::string head = gbk("共60款\r\n合计71490个\r\n每张印版排48模\r\n\r\n排2张版  ");
    EXPECT_EQ(report().substr(0, head.size()), head);
    EXPECT_EQ(calc::state().savedReport, gbk("共60款\r\n合计71490个\r\n每张印版排48模"));
    // Each plate holds between m + 1 = 12 and 48 styles.
    const size_t one = calc::state().plateOneList.size(), two = calc::state().plateTwoList.size();
    EXPECT_EQ(one + two, 60u);
    EXPECT_GE(one, 12u);
    EXPECT_LE(one, 48u);
    EXPECT_GE(two, 12u);
    expectIdleAndUnlocked();
}

TEST_F(ComputeCommand, RefusalsShowTheirMessageAndLeaveTheWindowAsItWas) {
    // An empty order, before any calculation.
    setText(control::Report, property::EditContent, "earlier");
    press();
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, gbk("订单数量为空 请在左边表格输入每款的数量！"));
    EXPECT_EQ(host.boxes[0].caption, gbk("提示"));
    EXPECT_EQ(report(), "earlier");
    EXPECT_FALSE(visible(control::OnePlate));
    expectIdleAndUnlocked();

    // Too many styles after a calculation: its results stay as they were.
    enterOrder({1000, 2500, 700});
    setUps("10");
    chooseTrials(kTenTrials);
    press();
    ASSERT_EQ(report(), gbk(kExampleReport));
    setUps("1");
    press();
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[1].text,
              gbk("订单的款数不能超过 模数*2 （2） 款 当前3款！\r\n目前一次最多只能计算2张印刷版！"));
    EXPECT_EQ(calc::state().order.upsPerPlate, 1);  // read even though the order was refused
    EXPECT_EQ(report(), gbk(kExampleReport));
    EXPECT_EQ(text(control::Difference, property::LabelCaption), gbk("相差75张"));
    for (rt::ControlId c : {control::OnePlate, control::TwoPlates, control::Difference}) EXPECT_TRUE(visible(c));
    EXPECT_FALSE(disabled(control::TwoPlates));
    EXPECT_EQ(calc::state().plateOneList, (std::vector<int32_t>{700, 1000}));
    expectIdleAndUnlocked();
}

TEST_F(ComputeCommand, LocksTheWindowWhileRunningAndStopsAfterTheCurrentTrial) {
    enterOrder({1000, 2500, 700});
    setUps("10");
    chooseTrials(kTenThousandTrials);

    int highest = 0, pressedAt = 0;
    bool closed = true;
    pressWatching([&] {
        const std::string shown = trialShown();
        if (shown.empty()) return;  // the wait before the search
        const int trial = std::stoi(shown);
        highest = std::max(highest, trial);
        if (pressedAt != 0 || trial < 3) return;
        // Between trials 3 and 4: running, and every input but the button locked.
        EXPECT_EQ(caption(), gbk("结束计算"));
        EXPECT_TRUE(calc::calculationActive());
        for (rt::ControlId c : kInputs) EXPECT_FALSE(widget(c)->isEnabled()) << std::hex << c;
        for (rt::ControlId c : {control::Ups, control::OrderGrid, control::TrialChoice, control::OnePlate,
                                control::TwoPlates})
            EXPECT_TRUE(disabled(c)) << std::hex << c;
        EXPECT_TRUE(widget(control::Compute)->isEnabled());
        EXPECT_TRUE(visible(control::OnePlate));  // already shown, not yet usable
        // The best division so far is in the report already.
        EXPECT_EQ(report(), gbk(kExampleReport));
        closed = window->close();
        EXPECT_TRUE(window->isVisible());
        pressedAt = trial;
        press();
    });

    ASSERT_EQ(pressedAt, 3);
    EXPECT_FALSE(closed);
    EXPECT_EQ(highest, pressedAt);  // no trial after the one during which the stop came
    EXPECT_EQ(report(), gbk(kExampleReport));
    EXPECT_EQ(text(control::Difference, property::LabelCaption), gbk("相差75张"));
    expectIdleAndUnlocked();
    EXPECT_FALSE(disabled(control::OnePlate));
    EXPECT_FALSE(disabled(control::TwoPlates));

    // Idle again: the window closes as usual.
    QPointer<QWidget> guard(window);
    EXPECT_TRUE(window->close());
    settle();
    EXPECT_TRUE(guard.isNull() || !guard->isVisible());
}

// Regression: a press that reached the button in the same pass as the stop
// press found the idle caption and ran a whole calculation inside the
// stopped one; a close in that pass would have destroyed the window under it.
TEST_F(ComputeCommand, APressQueuedBehindTheStopStartsNoCalculation) {
    enterOrder({1000, 2500, 700});
    setUps("10");
    chooseTrials(kTenThousandTrials);

    bool pressed = false, closed = true;
    pressWatching([&] {
        if (pressed || trialShown() != "2") return;
        pressed = true;
        press();  // the stop
        press();  // queued behind it
        EXPECT_EQ(caption(), gbk("开始计算"));
        // The caption reads idle, but the calculation has not returned: closing still waits.
        closed = window->close();
        // Still the first calculation, stopped but not yet returned: nothing unlocked, the trial still shown.
        EXPECT_TRUE(disabled(control::OrderGrid));
        EXPECT_EQ(trialShown(), "2");
    });

    ASSERT_TRUE(pressed);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(report(), gbk(kExampleReport));
    expectIdleAndUnlocked();

    // Once it has returned, the button starts calculations again.
    setText(control::Report, property::EditContent, "");
    chooseTrials(kTenTrials);
    press();
    EXPECT_EQ(report(), gbk(kExampleReport));
}

}  // namespace
