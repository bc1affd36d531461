// The Qt host answers message boxes with the button pressed and reads the screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "platform/Gbk.h"
#include "platform/QtHost.h"
#include "runtime/Program.h"

#include <atomic>
#include <chrono>
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

// Waits, processing events, until a visible message box is up; null after a few seconds.
QMessageBox* waitForBox() {
    for (int i = 0; i < 500; ++i) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) return box;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return nullptr;
}

// A served text must not become a link that opens something outside the browser filter.
TEST(QtHost, BoxesShowTheirTextAsPlainText) {
    platform::QtHost host;
    const std::string markup = platform::utf8ToGbk("<a href=\"file:///etc/passwd\">点此更新</a><b>粗</b>");
    QMessageBox* seen = nullptr;
    QString shown;
    Qt::TextFormat labelFormat = Qt::RichText;
    QTimer::singleShot(0, [&] {
        seen = waitForBox();
        ASSERT_NE(seen, nullptr);
        auto* label = seen->findChild<QLabel*>("qt_msgbox_label");
        ASSERT_NE(label, nullptr);
        shown = label->text();
        labelFormat = label->textFormat();
        EXPECT_FALSE(label->textInteractionFlags() & (Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard));
        EXPECT_EQ(seen->textFormat(), Qt::PlainText);
        seen->button(QMessageBox::Ok)->click();
    });
    host.showMessageBox(markup.c_str(), "", rt::mb::Ok, nullptr);
    EXPECT_EQ(shown, QString::fromUtf8("<a href=\"file:///etc/passwd\">点此更新</a><b>粗</b>"));
    EXPECT_EQ(labelFormat, Qt::PlainText);
}

// The update prompt used to be application-modal on the main thread and froze the window.
TEST(QtHost, ABoxForAnotherThreadLeavesTheWindowsWorking) {
    platform::QtHost host;
    QWidget window;
    window.show();
    std::atomic<int> answer{-1};
    const std::string text = platform::utf8ToGbk("有新版本，是否下载？<i>x</i>");
    std::thread asker([&] {
        answer = static_cast<int>(host.showMessageBox(text.c_str(), "", rt::mb::YesNo | rt::mb::TaskModal, nullptr));
    });
    QMessageBox* box = waitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->windowModality(), Qt::NonModal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(window.isEnabled());
    // The main thread goes on handling its events while the other thread waits.
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    QApplication::processEvents();
    EXPECT_TRUE(ran);
    EXPECT_EQ(answer.load(), -1);
    box->button(QMessageBox::Yes)->click();
    asker.join();
    EXPECT_EQ(answer.load(), static_cast<int>(rt::MessageButton::Yes));

    // Closed without a button, a Yes/No box answers No.
    std::thread closer([&] { answer = static_cast<int>(host.showMessageBox(text.c_str(), "", rt::mb::YesNo, nullptr)); });
    box = waitForBox();
    ASSERT_NE(box, nullptr);
    box->close();
    while (answer.load() == static_cast<int>(rt::MessageButton::Yes)) QApplication::processEvents();
    closer.join();
    EXPECT_EQ(answer.load(), static_cast<int>(rt::MessageButton::No));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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
