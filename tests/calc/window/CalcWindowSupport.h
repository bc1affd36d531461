// The real main window started for a test of the calculation, with the
// inputs and readings those tests share.
#pragma once

#include <QTest>
#include <QTimer>

#include <functional>
#include <initializer_list>
#include <string>

#include "calc/CalcState.h"
#include "calc/Controls.h"
#include "grid/GridMethods.h"
#include "window/WindowTestSupport.h"

namespace calc_test {

using app_test::gbk;
using app_test::widget;
namespace control = calc::control;
namespace property = calc::property;
using calc::kMainWindow;

// The order 1000, 2500, 700 on ten ups, as the report shows it after a calculation.
inline const char* const kExampleReport =
    "共3款\r\n合计4200个\r\n每张印版排10模\r\n"
    "\r\n排1张版  19.05%\r\n浪费数量 800个\r\n印刷张数 500张\r\n印后数量 5000个\r\n"
    "\r\n排2张版  1.19%\r\n浪费数量 50个\r\n印刷张数 425张\r\n印后数量 4250个";

// Trial-choice selections.
inline constexpr int kTenTrials = 0, kThousandTrials = 4, kTenThousandTrials = 5;

class CalcWindow : public app_test::MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        start();
    }

    // Quantity texts down quantity column 1 from row 1.
    static void enterColumn(std::initializer_list<const char*> quantities) {
        int32_t row = 1;
        for (const char* q : quantities) grid::call::setCellText(kMainWindow, control::OrderGrid, row++, 1, q);
    }
    // The order 1000, 2500, 700 with ten ups in the ups box.
    static void enterExampleOrder() {
        enterColumn({"1000", "2500", "700"});
        setUps("10");
    }
    static void setUps(const char* ups) { setText(control::Ups, property::EditContent, ups); }
    static void chooseTrials(int selection) { setProperty(control::TrialChoice, property::ComboSelection, selection); }
    static std::string caption() { return text(control::Compute, property::ButtonCaption); }
    static std::string trialShown() { return text(control::TrialCounter, property::LabelCaption); }
    static std::string report() { return text(control::Report, property::EditContent); }

    // A click on the button, delivered as the user's would be; returns when the handler has.
    static void press() { QTest::mouseClick(widget(control::Compute), Qt::LeftButton); }
    // Presses the button and runs `look` on every pass of event processing
    // until the handler returns; the calculation processes events only in
    // its short wait and between trials, so each call sees the window as it
    // stands between two trials.
    static void pressWatching(const std::function<void()>& look) {
        QTimer timer;
        timer.setInterval(0);
        QObject::connect(&timer, &QTimer::timeout, look);
        timer.start();
        press();
        timer.stop();
    }
};

}  // namespace calc_test
