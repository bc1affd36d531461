// The Qt host answers message boxes with the button pressed and reads the screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "platform/Gbk.h"
#include "platform/QtHost.h"
#include "runtime/Program.h"

#include <cstdio>
#include <thread>

namespace {

// Presses the given button of the next message box that opens.
void pressWhenShown(QMessageBox::StandardButton which) {
    QTimer::singleShot(0, [which] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                box->button(which)->click();
                return;
            }
        }
        pressWhenShown(which);  // not shown yet: look again on the next turn
    });
}

}  // namespace

TEST(QtHost, YesNoBoxReportsThePressedButton) {
    platform::QtHost host;
    std::string text = platform::utf8ToGbk("发现新版本，是否下载？");
    std::string caption = platform::utf8ToGbk("提示");
    pressWhenShown(QMessageBox::Yes);
    EXPECT_EQ(host.showMessageBox(text.c_str(), caption.c_str(), rt::mb::YesNo, nullptr), rt::MessageButton::Yes);
    pressWhenShown(QMessageBox::No);
    EXPECT_EQ(host.showMessageBox(text.c_str(), caption.c_str(), rt::mb::YesNo, nullptr), rt::MessageButton::No);
    pressWhenShown(QMessageBox::Ok);
    EXPECT_EQ(host.showMessageBox(text.c_str(), caption.c_str(), rt::mb::Ok | rt::mb::IconError, nullptr),
              rt::MessageButton::Ok);
}

TEST(QtHost, ShowsGbkTextAsUnicode) {
    platform::QtHost host;
    std::string text = platform::utf8ToGbk("订单数量为空 请在左边表格输入每款的数量！");
    QString seen;
    QTimer::singleShot(0, [&seen] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                seen = box->text();
                box->button(QMessageBox::Ok)->click();
            }
    });
    host.showMessageBox(text.c_str(), "", rt::mb::Ok, nullptr);
    EXPECT_EQ(seen, QString::fromUtf8("订单数量为空 请在左边表格输入每款的数量！"));
}

TEST(QtHost, ScreenAndClock) {
    platform::QtHost host;
    rt::ScreenSize size = host.primaryScreenSize();
    EXPECT_GE(size.width, 1280);
    EXPECT_GE(size.height, 800);
    EXPECT_TRUE(host.isMainThread());
    uint32_t t0 = host.tickCount();
    EXPECT_LT(host.tickCount() - t0, 1000u);
}


namespace {
void reportCleanup(int position) { std::fprintf(stderr, "[cleanup %d on the main thread: %d]", position, platform::QtHost().isMainThread()); }
}  // namespace

TEST(QtHostDeathTest, EndFromAnotherThreadEndsOnTheMainThread) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            static platform::QtHost host;
            rt::setHost(&host);
            rt::registerCleanup(reportCleanup);
            std::thread([] { rt::EndProgram(4); }).detach();
            QApplication::exec();
            std::_Exit(9);  // the loop must not end by itself
        },
        ::testing::ExitedWithCode(4), "\\[cleanup 0 on the main thread: 1\\]$");
}
