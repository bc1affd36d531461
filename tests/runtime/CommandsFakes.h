// A window with controls for the core commands: its own unit, an edit box, a
// label and a unit without a control.
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
class CommandsFixture : public RuntimeFixture {
protected:
    void SetUp() override {
        RuntimeFixture::SetUp();
        rt::resetRandomStateForTesting();
        rt::WindowRecord& w = rt::windowTable().emplace_back();
        w.id = kWindow;
        addUnit(w, kWindowUnit, rt::tag::WindowUnit, &window);
        addUnit(w, kEditBox, 0x10004, &edit);
        addUnit(w, kLabel, 0x10005, &label);
        addUnit(w, kUnloaded, 0x10004, nullptr);
    }

    FakeControl window, label;
    FakeEditBox edit;
};

}  // namespace rt_test
