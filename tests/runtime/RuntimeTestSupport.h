// A host that records message boxes and turns process exit into an exception,
// and a fixture that installs it around each test.
#pragma once

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/Gbk.h"
#include "runtime/Host.h"
#include "runtime/Program.h"
#include "runtime/WindowTable.h"

namespace rt_test {

// Thrown by the test host where the process would exit.
struct ProgramExit {
    int code;
};

struct MessageBoxCall {
    std::string text;
    std::string caption;
    uint32_t style;
    void* owner;
};

// Records message boxes and answers them; a clock that moves as events are
// processed; threads that run to completion before startThread returns.
class RecordingHost final : public rt::Host {
public:
    rt::MessageButton answer = rt::MessageButton::Ok;
    std::vector<MessageBoxCall> boxes;
    uint32_t tick = 1000;
    uint32_t tickPerEventRun = 0;  // the clock moves by this much each time events are processed
    int eventRuns = 0;
    rt::ScreenSize screen{1920, 1080};
    bool threadsFail = false;
    int threadsStarted = 0;
    int debuggerBreaks = 0;

    rt::MessageButton showMessageBox(const char* text, const char* caption, uint32_t style, void* owner) override {
        boxes.push_back({text ? text : "", caption ? caption : "", style, owner});
        return answer;
    }
    void processPendingEvents() override {
        ++eventRuns;
        tick += tickPerEventRun;
    }
    uint32_t tickCount() override { return tick; }
    rt::ScreenSize primaryScreenSize() override { return screen; }
    bool startThread(rt::ThreadRoutine routine, void* parameter) override {
        if (threadsFail) return false;
        ++threadsStarted;
        std::thread(routine, parameter).join();
        return true;
    }
    bool isMainThread() override { return true; }
    bool requestEndOnMainThread(int) override { return false; }
    void breakIntoDebugger() override { ++debuggerBreaks; }
    [[noreturn]] void exitProcess(int exitCode) override { throw ProgramExit{exitCode}; }
};

// A live control with a settable client area; `valid` false plays a destroyed window.
class FakeControl : public rt::LiveControl {
public:
    rt::Rect client{0, 0, 0, 0};
    void* native = nullptr;
    bool valid = true;

    bool isValid() const override { return valid; }
    rt::Rect geometry() const override { return client; }
    void move(int, int) override {}
    void resize(int, int) override {}
    bool isVisible() const override { return true; }
    void setVisible(bool) override {}
    bool isEnabled() const override { return true; }
    void setEnabled(bool) override {}
    rt::Rect clientRect() const override { return client; }
    void* nativeWindow() override { return native ? native : this; }
};

// Runs f, which must end the program; returns the exit code.
template <typename F>
int exitCodeOf(F&& f) {
    try {
        f();
    } catch (const ProgramExit& e) {
        return e.code;
    }
    ADD_FAILURE() << "the program did not end";
    return INT_MIN;
}

// Appends a unit record to the window; the caller fills in the rest.
inline rt::UnitRecord& addUnit(rt::WindowRecord& window, rt::ControlId id, uint32_t type,
                               rt::LiveControl* live = nullptr) {
    rt::UnitRecord& unit = window.units.emplace_back();
    unit.id = id;
    unit.type = type;
    unit.live = live;
    return unit;
}

inline std::string gbk(std::string_view utf8) { return platform::utf8ToGbk(utf8); }

// The detail lines that every report ends with, before any window lines.
inline std::string detailHead(int related1, int related2) {
    return gbk("\r\n运行时错误相关信息值(在IDE中打开对应源程序后执行\"运行->到运行时错误相关位置\"菜单功能查看): ") +
           std::to_string(related1) + ", " + std::to_string(related2);
}

class RuntimeFixture : public ::testing::Test {
protected:
    void SetUp() override {
        rt::setHost(&host);
        rt::resetProgramStateForTesting();
        rt::windowTable().clear();
    }
    void TearDown() override {
        rt::windowTable().clear();
        rt::resetProgramStateForTesting();
        rt::setHost(nullptr);
    }

    // The text of the one message box a run-time error showed.
    std::string reportText() const {
        EXPECT_EQ(host.boxes.size(), 1u);
        return host.boxes.empty() ? std::string() : host.boxes.back().text;
    }

    RecordingHost host;
};

}  // namespace rt_test
