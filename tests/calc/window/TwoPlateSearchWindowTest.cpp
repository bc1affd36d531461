// The two-plate search as the window runs it: the trial counter, a stop that
// comes before the first trial, and a trial choice outside its table.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "calc/CalcState.h"
#include "calc/ComputeCommand.h"
#include "calc/Controls.h"
#include "grid/GridMethods.h"
#include "platform/Gbk.h"
#include "CalcWindowSupport.h"

using namespace calc_test;

namespace {

class TwoPlateSearchWindow : public CalcWindow {};

TEST_F(TwoPlateSearchWindow, CountsEachTrialInTheLabel) {
    enterExampleOrder();
    chooseTrials(kTenTrials);
    std::vector<std::string> shown;
    pressWatching([&] {
        std::string t = trialShown();
        if (!t.empty() && (shown.empty() || shown.back() != t)) shown.push_back(t);
    });
    EXPECT_EQ(shown, (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    EXPECT_EQ(trialShown(), "");
    EXPECT_EQ(caption(), gbk("开始计算"));
}

TEST_F(TwoPlateSearchWindow, AStopDuringTheWaitEndsTheSearchAfterItsFirstTrial) {
    enterExampleOrder();
    chooseTrials(kThousandTrials);
    bool pressed = false;
    int highest = 0;
    pressWatching([&] {
        std::string t = trialShown();
        if (!t.empty()) highest = std::max(highest, std::stoi(t));
        // Running, with no trial shown yet: the wait before the search.
        if (pressed || !t.empty() || caption() != gbk("结束计算")) return;
        pressed = true;
        QTest::mouseClick(widget(control::Compute), Qt::LeftButton);
    });
    ASSERT_TRUE(pressed);
    EXPECT_EQ(highest, 1);
    // The sorted order's division is reported all the same.
    EXPECT_EQ(calc::state().plateOneList, (std::vector<int32_t>{700, 1000}));
    EXPECT_EQ(text(control::Difference, property::LabelCaption), gbk("相差75张"));
    EXPECT_EQ(property(control::OrderGrid, rt::prop::Disabled), 0);
}

// The update prompt, shown for the update thread, used to run its own modal
// loop inside the calculation's event processing: the search stopped until
// the prompt was answered.
TEST_F(TwoPlateSearchWindow, ASearchGoesOnWhileTheUpdatePromptWaitsForItsAnswer) {
    enterExampleOrder();
    chooseTrials(kThousandTrials);
    std::atomic<int> answer{-1};
    const std::string prompt = gbk("有新版本，是否下载？");
    std::thread update([&] {
        answer = static_cast<int>(host.qt.showMessageBox(prompt.c_str(), "", rt::mb::YesNo | rt::mb::TaskModal, nullptr));
    });
    // The request is on its way to the window's thread before the button is pressed.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    QMessageBox* promptBox = nullptr;
    // Should the prompt block the search after all, it is answered after a while so that the test ends.
    QTimer rescue;
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, [&] {
        if (promptBox) promptBox->button(QMessageBox::No)->click();
    });
    rescue.start(20000);
    pressWatching([&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) promptBox = box;
    });
    ASSERT_NE(promptBox, nullptr);
    EXPECT_EQ(answer.load(), -1) << "the search waited for the prompt's answer";
    EXPECT_EQ(caption(), gbk("开始计算"));
    EXPECT_EQ(text(control::Difference, property::LabelCaption), gbk("相差75张"));
    promptBox->button(QMessageBox::Yes)->click();
    update.join();
    EXPECT_EQ(answer.load(), static_cast<int>(rt::MessageButton::Yes));
}

TEST_F(TwoPlateSearchWindow, ATrialChoiceOutsideTheTableIsARunTimeError) {
    enterExampleOrder();
    auto* combo = qobject_cast<QComboBox*>(widget(control::TrialChoice));
    ASSERT_NE(combo, nullptr);
    combo->setCurrentIndex(-1);
    ASSERT_EQ(property(control::TrialChoice, property::ComboSelection), -1);

    EXPECT_EQ(app_test::exitCodeOf([] { calc::onComputeClicked(); }), -1);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].caption, gbk("错误"));
    // Related values: the search routine's identifier and the refused 1-based choice.
    EXPECT_EQ(host.boxes[0].text,
              gbk("运行时出错!\r\n\r\n错误代码：9\r\n\r\n错误信息：“多项选择”命令的索引值参数小于零或超出了所提供参数表范围\r\n"
                  "\r\n运行时错误相关信息值(在IDE中打开对应源程序后执行\"运行->到运行时错误相关位置\"菜单功能查看): "
                  "67108881, 0\r\n"));
    // The error ended the program after the sorted order's division was
    // reported (the windows are gone now; the state is what remains).
    EXPECT_EQ(calc::state().twoPlateSheets, 425);
    EXPECT_EQ(calc::state().plateOneList, (std::vector<int32_t>{700, 1000}));
    EXPECT_FALSE(calc::calculationActive());
}

}  // namespace
