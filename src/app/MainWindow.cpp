// Handlers of the main window: the close query, the ups box and the exit menu item.
#include <string_view>

#include "app/AppTexts.h"
#include "calc/CalcTexts.h"
#include "calc/ComputeCommand.h"
#include "calc/WindowText.h"
#include "calc/Controls.h"
#include "app/Program.h"
#include "runtime/Commands.h"
#include "runtime/Heap.h"
#include "runtime/Program.h"
#include "runtime/Properties.h"
#include "runtime/Text.h"

namespace app {
namespace {

using calc::kMainWindow;
namespace control = calc::control;
namespace property = calc::property;

}  // namespace

rt::HandlerResult onQueryClose() {
    // A calculation still returning after its stop press writes to the
    // window's controls: closing now would pull them away from under it.
    if (calc::calculationActive()) return rt::HandlerResult::ofBool(false);
    bool running = calc::textProperty(control::Compute, property::ButtonCaption) == calc::texts::ComputeRunning;
    return running ? rt::HandlerResult::ofBool(false) : rt::HandlerResult::none();
}

void onUpsBoxLostFocus() {
    if (calc::intOfTextProperty(control::Ups, property::EditContent) < 1)
        rt::WriteProperty(kMainWindow, control::Ups, property::EditContent, -1, rt::Words::ofPointer(texts::One));
}

void onExitMenu() { rt::EndProgram(0); }

}  // namespace app
