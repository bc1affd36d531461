// A host on Qt for tests of the real window: message boxes are recorded and
// answered instead of shown, process exit becomes an exception, the screen
// size can be set; everything else is the Qt host's.
#pragma once

#include <gtest/gtest.h>

#include <QWidget>

#include <optional>
#include <string>
#include <vector>

#include "app/Controls.h"
#include "forms/Units.h"
#include "platform/QtHost.h"
#include "runtime/Host.h"

namespace app_test {

struct ProgramExit {
    int code;
};

struct Box {
    std::string text, caption;
    uint32_t style;
};

class WindowTestHost final : public rt::Host {
public:
    std::vector<Box> boxes;
    std::optional<rt::ScreenSize> screen;
    int threadsStarted = 0;

    rt::MessageButton showMessageBox(const char* text, const char* caption, uint32_t style, void*) override {
        boxes.push_back({text ? text : "", caption ? caption : "", style});
        return rt::MessageButton::Ok;
    }
    void processPendingEvents() override { qt.processPendingEvents(); }
    uint32_t tickCount() override { return qt.tickCount(); }
    rt::ScreenSize primaryScreenSize() override { return screen ? *screen : qt.primaryScreenSize(); }
    bool startThread(rt::ThreadRoutine routine, void* parameter) override {
        ++threadsStarted;
        return qt.startThread(routine, parameter);
    }
    bool isMainThread() override { return qt.isMainThread(); }
    bool requestEndOnMainThread(int code) override { return qt.requestEndOnMainThread(code); }
    void runOnMainThread(const std::function<void()>& routine) override { qt.runOnMainThread(routine); }
    [[noreturn]] void exitProcess(int code) override { throw ProgramExit{code}; }

    platform::QtHost qt;
};

// The live widget of a control of the main window, by its id.
inline QWidget* widget(rt::ControlId control) { return forms::widgetOf(app::kMainWindow, control); }

inline QString utf8(const char* text) { return QString::fromUtf8(text); }

}  // namespace app_test
