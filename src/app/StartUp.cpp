// Start-up: the program header, programMain, the created and size-changed
// handlers of the main window.
#include <cmath>

#include "app/AppTexts.h"
#include "calc/Controls.h"
#include "app/Globals.h"
#include "app/MainWindowBlock.h"
#include "app/Program.h"
#include "forms/Units.h"
#include "runtime/Commands.h"
#include "runtime/ConstantRegion.h"
#include "runtime/Program.h"
#include "runtime/Properties.h"

namespace app {
namespace {

using calc::kMainWindow;
namespace control = calc::control;
namespace property = calc::property;

constexpr uint32_t kBuildMode = 3;
constexpr uint32_t kRuntimeVersion = 0x107FF;

int32_t readInt(rt::ControlId control, rt::PropertyIndex index) {
    return rt::ReadProperty(kMainWindow, control, index, -1).asInt();
}

void writeInt(rt::ControlId control, rt::PropertyIndex index, int32_t value) {
    rt::WriteProperty(kMainWindow, control, index, -1, rt::Words::ofInt(value));
}

// size − client + wanted, formed in double precision and truncated toward zero.
int32_t outerFor(int32_t outer, int32_t client, int32_t wanted) {
    return static_cast<int32_t>(std::trunc(static_cast<double>(outer) - client + wanted));
}

bool screenTooSmall() {
    if (rt::cmd::screenWidth() < kMinScreenWidth) return true;
    return rt::cmd::screenHeight() < kMinScreenHeight;
}

void freeGlobalsAtEnd(int) { freeGlobals(); }

void updateThreadEntry(void*) { callRoutine(Handler::UpdateThreadMain); }

}  // namespace

const rt::ProgramHeader& programHeader() {
    static const rt::ProgramHeader header = [] {
        rt::ProgramHeader h;
        h.buildMode = kBuildMode;
        h.runtimeVersion = kRuntimeVersion;
        h.userCodeBase = &handlerTable();
        const rt::ConstantRegion& region = rt::ConstantRegion::program();
        h.constantStart = region.start();
        h.constantLength = static_cast<uint32_t>(region.length());
        h.templateStart = kMainWindowTemplate;
        h.templateLength = kMainWindowTemplateLength;
        return h;
    }();
    return header;
}

int programMain() {
    rt::RuntimeService(rt::service::Initialise, reinterpret_cast<uintptr_t>(&programHeader()));
    initGlobals();
    rt::RuntimeService(rt::service::RegisterCleanup, reinterpret_cast<uintptr_t>(&freeGlobalsAtEnd));
    rt::LoadWindow(kMainWindow);
    rt::RunMessageLoop();
    return 0;
}

void onWindowCreated() {
    if (screenTooSmall()) {
        rt::cmd::showMessage(rt::TaggedArg::ofText(texts::ScreenTooSmall), 0, texts::ScreenTooSmallTitle);
        rt::EndProgram(0);
    }
    int32_t cw = rt::cmd::clientWidth(kMainWindow, control::Window);
    int32_t w = readInt(control::Window, rt::prop::Width);
    writeInt(control::Window, rt::prop::Width, outerFor(w, cw, kClientWidth));
    int32_t ch = rt::cmd::clientHeight(kMainWindow, control::Window);
    int32_t h = readInt(control::Window, rt::prop::Height);
    writeInt(control::Window, rt::prop::Height, outerFor(h, ch, kClientHeight));
    // The window manager is told the minimum too: a drag then stops there.
    // Snapping back inside onWindowResized alone fights a window manager that
    // is still resizing, and whichever size it sends last wins.
    forms::setMinimumClientSize(kMainWindow, kClientWidth, kClientHeight);

    callRoutine(Handler::SetUpGrids);
    callRoutine(Handler::OrderCommitted);  // recountOrder, which also fills the count label
    rt::cmd::startThread(&updateThreadEntry);
}

void onWindowResized() {
    int32_t cw = rt::cmd::clientWidth(kMainWindow, control::Window);
    if (cw < kClientWidth) {
        writeInt(control::Window, rt::prop::Width, outerFor(readInt(control::Window, rt::prop::Width), cw, kClientWidth));
        cw = kClientWidth;
    }
    // Read only now: writing the width resizes the window, which runs this
    // handler again inside the write, and that run may have restored the
    // height already. A height read before the write would add the
    // missing height a second time.
    int32_t ch = rt::cmd::clientHeight(kMainWindow, control::Window);
    if (ch < kClientHeight) {
        writeInt(control::Window, rt::prop::Height,
                 outerFor(readInt(control::Window, rt::prop::Height), ch, kClientHeight));
        ch = kClientHeight;
    }
    writeInt(control::OrderGrid, rt::prop::Height, ch - kOrderGridAllowance);
    for (rt::ControlId grid : {control::GridA1, control::GridB1, control::GridC1, control::GridD1})
        writeInt(grid, rt::prop::Height, ch - kResultGridAllowance);
}

}  // namespace app
