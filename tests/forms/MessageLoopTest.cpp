// The message loop: its end when the last window goes, the idle phase with
// window event 7, and the idle callbacks.
#include "FormsTestSupport.h"

#include <QTimer>

#include "forms/MessageLoop.h"
#include "runtime/EntryTable.h"

using namespace forms_test;

namespace {

class MessageLoopTest : public FormsFixture {
protected:
    // Ends a loop that failed to end by itself, so that a fault fails the test instead of hanging it.
    void armSafety() {
        QTimer::singleShot(3000, [this] {
            timedOut = true;
            forms::destroyAllWindows();
        });
    }
    static void closeSoon(rt::WindowId id = kWin, int ms = 0) {
        QTimer::singleShot(ms, [id] {
            if (QWidget* w = windowWidget(id)) w->close();
        });
    }
    bool timedOut = false;
};

TEST_F(MessageLoopTest, ReturnsAtOnceWithoutALoadedWindow) {
    TestWindow w;
    w.install();
    // A loop that ran would handle this event; the second one ends such a loop, so the test cannot hang.
    bool handled = false;
    QTimer::singleShot(0, [&] { handled = true; });
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(); });
    safety.start(2000);
    rt::RunMessageLoop();
    EXPECT_FALSE(handled);
    EXPECT_FALSE(forms::messageLoopRunning());
    QCoreApplication::processEvents();
    EXPECT_TRUE(handled);
}

TEST_F(MessageLoopTest, EndsWhenTheLastWindowIsDestroyed) {
    TestWindow(kWin).install();
    TestWindow(kOtherWin).install();
    ASSERT_EQ(rt::LoadWindow(kWin), 1);
    ASSERT_EQ(rt::LoadWindow(kOtherWin), 1);
    bool loopRanOnAfterFirst = false;
    closeSoon(kWin);
    QTimer::singleShot(50, [&] {
        loopRanOnAfterFirst = !rt::windowTable()[0].loaded() && rt::windowTable()[1].loaded();
        closeSoon(kOtherWin);
    });
    armSafety();
    rt::RunMessageLoop();
    EXPECT_FALSE(timedOut);
    EXPECT_TRUE(loopRanOnAfterFirst);
    EXPECT_FALSE(rt::windowTable()[1].loaded());
}

// Event 7 is raised once the queue is empty, with the milliseconds since idling
// began; a handler answering true asks for another pass, anything else ends them.
TEST_F(MessageLoopTest, IdleEventRunsWhileItsHandlerAsksForMore) {
    TestWindow w;
    w.bind(0, 7, 0);
    w.install();
    ASSERT_EQ(rt::LoadWindow(kWin), 1);
    QCoreApplication::processEvents();  // what showing the window queued
    handlers().answers[0] = rt::HandlerResult::ofBool(true);
    handlers().actions[0] = [this](const HandlerCall&) {
        host.tick += 10;
        if (handlers().calls.size() == 3) {
            handlers().answers[0] = rt::HandlerResult::none();
            closeSoon(kWin, 100);
        }
    };
    armSafety();
    rt::RunMessageLoop();
    EXPECT_FALSE(timedOut);
    ASSERT_EQ(handlers().calls.size(), 3u);
    EXPECT_EQ(handlers().calls[0].args, (std::vector<uint32_t>{0}));
    EXPECT_EQ(handlers().calls[1].args, (std::vector<uint32_t>{10}));
    EXPECT_EQ(handlers().calls[2].args, (std::vector<uint32_t>{20}));
}

std::vector<int> gIdleOrder;
void idleOne(void*) { gIdleOrder.push_back(1); }
void idleTwo(void*) { gIdleOrder.push_back(2); }
void idleGone(void*) { gIdleOrder.push_back(3); }

TEST_F(MessageLoopTest, IdleCallbacksRunNewestFirstWhileTheirWindowExists) {
    gIdleOrder.clear();
    TestWindow w;
    w.install();
    ASSERT_EQ(rt::LoadWindow(kWin), 1);
    auto* gone = new QWidget;
    forms::addIdleCallback(windowWidget(), &idleOne, nullptr);
    forms::addIdleCallback(gone, &idleGone, nullptr);
    forms::addIdleCallback(windowWidget(), &idleTwo, nullptr);
    delete gone;
    closeSoon(kWin, 100);
    armSafety();
    rt::RunMessageLoop();
    ASSERT_GE(gIdleOrder.size(), 2u);
    EXPECT_EQ(gIdleOrder[0], 2);
    EXPECT_EQ(gIdleOrder[1], 1);
    EXPECT_EQ(std::count(gIdleOrder.begin(), gIdleOrder.end(), 3), 0);
}

}  // namespace
