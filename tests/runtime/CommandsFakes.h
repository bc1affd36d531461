// A scriptable host and fake controls for the core commands: a clock that
// moves as events are processed, answers for message boxes, threads that
// run to completion before startThread returns, and controls in a window.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "runtime/Commands.h"
#include "runtime/Host.h"
#include "runtime/Program.h"
#include "runtime/RuntimeTestSupport.h"
#include "runtime/WindowTable.h"

namespace rt_test {

struct ShownBox {
    std::string text;
    std::string caption;
    uint32_t style;
    void* owner;
};

class CommandsHost final : public rt::Host {
public:
    rt::MessageButton answer = rt::MessageButton::Ok;
    std::vector<ShownBox> boxes;
    uint32_t tick = 1000;
    uint32_t tickPerEventRun = 0;  // the clock moves by this much each time events are processed
    int eventRuns = 0;
    rt::ScreenSize screen{1920, 1080};
    bool threadsFail = false;
    int threadsStarted = 0;

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
    [[noreturn]] void exitProcess(int exitCode) override { throw ProgramExit{exitCode}; }
};

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

class FakeEditBox final : public FakeControl, public rt::TextAppendable {
public:
    std::string text;
    void appendText(const char* gbk) override { text += gbk; }
};

inline constexpr rt::WindowId kWindow = 0x52010001;
inline constexpr rt::ControlId kWindowUnit = 0x06010000;
inline constexpr rt::ControlId kEditBox = 0x16010001;
inline constexpr rt::ControlId kLabel = 0x16010002;
inline constexpr rt::ControlId kUnloaded = 0x16010003;  // a unit whose control does not exist

// One window with its own unit, an edit box, a label and a unit without a control.
class CommandsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        rt::setHost(&host);
        rt::resetProgramStateForTesting();
        rt::resetRandomStateForTesting();
        rt::windowTable().clear();
        rt::WindowRecord& w = rt::windowTable().emplace_back();
        w.id = kWindow;
        addUnit(w, kWindowUnit, rt::tag::WindowUnit, &window);
        addUnit(w, kEditBox, 0x10004, &edit);
        addUnit(w, kLabel, 0x10005, &label);
        addUnit(w, kUnloaded, 0x10004, nullptr);
    }
    void TearDown() override {
        rt::windowTable().clear();
        rt::resetProgramStateForTesting();
        rt::setHost(nullptr);
    }

    static void addUnit(rt::WindowRecord& w, rt::ControlId id, uint32_t type, rt::LiveControl* live) {
        rt::UnitRecord& u = w.units.emplace_back();
        u.id = id;
        u.type = type;
        u.live = live;
    }

    // Runs f, which must end the program; returns the exit code.
    template <typename F>
    int exitCodeOf(F&& f) {
        try {
            f();
        } catch (const ProgramExit& e) {
            return e.code;
        }
        ADD_FAILURE() << "the program did not end";
        return 0;
    }

    CommandsHost host;
    FakeControl window, label;
    FakeEditBox edit;
};

}  // namespace rt_test
