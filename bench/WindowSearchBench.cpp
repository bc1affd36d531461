// The window's two-plate search as the user runs it: the real main window
// (offscreen), 150 styles on 999 slots, 随机10000次, one press of the compute
// button until it reads 开始计算 again, with the trial number written and the
// events processed after every trial. The reference is the same window with
// the straightforward cut, over its first 1,000 trials (随机1000次); the
// counters give both per trial and their ratio.
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>

#include <chrono>
#include <cstdint>
#include <random>
#include <string>

#include "app/Globals.h"
#include "app/Program.h"
#include "calc/Controls.h"
#include "calc/TwoPlateSearch.h"
#include "forms/Template.h"
#include "forms/Units.h"
#include "grid/GridMethods.h"
#include "grid/GridUnit.h"
#include "platform/QtHost.h"
#include "runtime/EntryTable.h"
#include "runtime/Host.h"
#include "runtime/Program.h"
#include "runtime/Properties.h"
#include "runtime/WindowTable.h"

namespace {

using Clock = std::chrono::steady_clock;

// The program's host, without the update check's thread (no network in a
// benchmark), with every message box answered at once and the screen the
// program asks for at least (the offscreen platform's own is smaller).
class BenchHost final : public rt::Host {
public:
    rt::MessageButton showMessageBox(const char*, const char*, uint32_t, void*) override { return rt::MessageButton::Ok; }
    void processPendingEvents() override { qt.processPendingEvents(); }
    uint32_t tickCount() override { return qt.tickCount(); }
    rt::ScreenSize primaryScreenSize() override { return {1366, 800}; }
    bool startThread(rt::ThreadRoutine, void*) override { return true; }
    bool isMainThread() override { return qt.isMainThread(); }
    bool requestEndOnMainThread(int code) override { return qt.requestEndOnMainThread(code); }
    void runOnMainThread(const std::function<void()>& routine) override { qt.runOnMainThread(routine); }
    [[noreturn]] void exitProcess(int code) override { qt.exitProcess(code); }

    platform::QtHost qt;
};

QApplication& application() {
    static int argc = 1;
    static char name[] = "impostra_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

// The main window loaded as the program loads it, with the order entered.
class Window {
public:
    Window() {
        application();
        rt::setHost(&host_);
        rt::resetProgramStateForTesting();
        rt::windowTable().clear();
        forms::installWindowLayer();
        grid::installGridUnit();
        forms::installTemplateReader();
        rt::RuntimeService(rt::service::Initialise, reinterpret_cast<uintptr_t>(&app::programHeader()));
        app::initGlobals();
        rt::LoadWindow(calc::kMainWindow);
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
        // 150 styles of 1..10^8 tags, column by column, on 999 slots.
        std::mt19937 random(150);
        std::uniform_int_distribution<int32_t> quantity(1, 99'999'999);
        for (int32_t column = 1; column <= 3; ++column)
            for (int32_t row = 1; row <= 50; ++row)
                grid::call::setCellText(calc::kMainWindow, calc::control::OrderGrid, row, column,
                                        std::to_string(quantity(random)).c_str());
        rt::WriteProperty(calc::kMainWindow, calc::control::Ups, calc::property::EditContent, -1,
                          rt::Words::ofPointer("999"));
    }
    ~Window() {
        forms::destroyAllWindows();
        QApplication::processEvents();
        app::freeGlobals();
        rt::windowTable().clear();
        rt::resetProgramStateForTesting();
        rt::setHost(nullptr);
    }

    // One press of the compute button with this trial choice; returns when
    // the whole calculation has.
    double press(int32_t selection) {
        rt::WriteProperty(calc::kMainWindow, calc::control::TrialChoice, calc::property::ComboSelection, -1,
                          rt::Words::ofInt(selection));
        auto* button = qobject_cast<QAbstractButton*>(forms::widgetOf(calc::kMainWindow, calc::control::Compute));
        const auto start = Clock::now();
        button->click();
        return std::chrono::duration<double>(Clock::now() - start).count();
    }

private:
    BenchHost host_;
};

constexpr int32_t kThousandTrials = 4, kTenThousandTrials = 5;

void BM_WindowSearch150Styles(benchmark::State& state) {
    double quick = 0, reference = 0;
    for (auto _ : state) {
        Window window;
        quick = window.press(kTenThousandTrials);
        calc::setReferenceCutForTesting(true);
        reference = window.press(kThousandTrials);
        calc::setReferenceCutForTesting(false);
    }
    state.counters["quick_s"] = quick;
    state.counters["quick_us_per_trial"] = quick / 10'000 * 1e6;
    state.counters["reference_us_per_trial"] = reference / 1'000 * 1e6;
    state.counters["speedup"] = (reference / 1'000) / (quick / 10'000);
}
BENCHMARK(BM_WindowSearch150Styles)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
