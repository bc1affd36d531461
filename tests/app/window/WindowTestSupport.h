// A host on Qt for tests of the real window: message boxes are recorded and
// answered instead of shown, process exit becomes an exception, the screen
// size can be set, threads are counted rather than run; everything else is
// the Qt host's.
#pragma once

#include <gtest/gtest.h>

#include <QWidget>

#include <optional>
#include <string>
#include <vector>

#include "app/Globals.h"
#include "app/Program.h"
#include "calc/Controls.h"
#include "forms/Template.h"
#include "forms/Units.h"
#include "grid/GridUnit.h"
#include "platform/Gbk.h"
#include "platform/QtHost.h"
#include "runtime/Commands.h"
#include "runtime/EntryTable.h"
#include "runtime/Heap.h"
#include "runtime/Host.h"
#include "runtime/Program.h"
#include "runtime/Properties.h"
#include "runtime/Text.h"

#include <QApplication>
#include <QTest>

namespace app_test {

struct ProgramExit {
    int code;
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
    return -100;
}

struct Box {
    std::string text, caption;
    uint32_t style;
};

class WindowTestHost final : public rt::Host {
public:
    std::vector<Box> boxes;
    std::optional<rt::ScreenSize> screen;
    rt::MessageButton answer = rt::MessageButton::Ok;
    int threadsStarted = 0;
    // Started threads are only counted unless asked for: the update check
    // would otherwise try the network from every test.
    bool runThreads = false;

    rt::MessageButton showMessageBox(const char* text, const char* caption, uint32_t style, void*) override {
        boxes.push_back({text ? text : "", caption ? caption : "", style});
        return answer;
    }
    void processPendingEvents() override { qt.processPendingEvents(); }
    uint32_t tickCount() override { return qt.tickCount(); }
    rt::ScreenSize primaryScreenSize() override { return screen ? *screen : qt.primaryScreenSize(); }
    bool startThread(rt::ThreadRoutine routine, void* parameter) override {
        ++threadsStarted;
        return runThreads ? qt.startThread(routine, parameter) : true;
    }
    bool isMainThread() override { return qt.isMainThread(); }
    bool requestEndOnMainThread(int code) override { return qt.requestEndOnMainThread(code); }
    void runOnMainThread(const std::function<void()>& routine) override { qt.runOnMainThread(routine); }
    [[noreturn]] void exitProcess(int code) override { throw ProgramExit{code}; }

    platform::QtHost qt;
};

// The live widget of a control of the main window, by its id.
inline QWidget* widget(rt::ControlId control) { return forms::widgetOf(calc::kMainWindow, control); }

inline QString utf8(const char* text) { return QString::fromUtf8(text); }
inline std::string gbk(const char* utf8) { return platform::utf8ToGbk(utf8); }

// Loads the real main window from the embedded template, as programMain does
// up to the message loop, with the test host installed; destroys it afterwards.
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        rt::setHost(&host);
        rt::resetProgramStateForTesting();
        rt::windowTable().clear();
        forms::installWindowLayer();
        grid::installGridUnit();
        forms::installTemplateReader();
    }
    void TearDown() override {
        forms::destroyAllWindows();
        QApplication::processEvents();
        app::freeGlobals();
        rt::windowTable().clear();
        rt::resetProgramStateForTesting();
        rt::setHost(nullptr);
    }

    // programMain up to the message loop, then the window shown and settled.
    void start() {
        rt::RuntimeService(rt::service::Initialise, reinterpret_cast<uintptr_t>(&app::programHeader()));
        app::initGlobals();
        ASSERT_NE(rt::LoadWindow(calc::kMainWindow), 0);
        window = widget(calc::control::Window);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        settle();
    }
    static void settle() {
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
    }

    static int property(rt::ControlId c, rt::PropertyIndex index) {
        return rt::ReadProperty(calc::kMainWindow, c, index, -1).asInt();
    }
    static void setProperty(rt::ControlId c, rt::PropertyIndex index, int value) {
        rt::WriteProperty(calc::kMainWindow, c, index, -1, rt::Words::ofInt(value));
    }
    // A text property as GBK bytes.
    static std::string text(rt::ControlId c, rt::PropertyIndex index) {
        char* t = rt::ReadProperty(calc::kMainWindow, c, index, -1).pointer<char>();
        std::string s(rt::textView(t));
        rt::FreeBlock(t);
        return s;
    }
    static void setText(rt::ControlId c, rt::PropertyIndex index, const std::string& gbkText) {
        rt::WriteProperty(calc::kMainWindow, c, index, -1, rt::Words::ofPointer(gbkText.c_str()));
    }
    static int clientWidth() { return rt::cmd::clientWidth(calc::kMainWindow, calc::control::Window); }
    static int clientHeight() { return rt::cmd::clientHeight(calc::kMainWindow, calc::control::Window); }

    WindowTestHost host;
    QWidget* window = nullptr;
};

}  // namespace app_test
