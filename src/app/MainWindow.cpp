// Handlers of the main window: the close query, the ups box and the exit menu item.
#include <string_view>

#include "app/AppTexts.h"
#include "calc/CalcTexts.h"
#include "calc/ComputeCommand.h"
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

// A text property as a new block, handed to the callback and freed afterwards.
template <typename F>
auto withText(rt::ControlId control, rt::PropertyIndex index, F&& use) {
    char* text = rt::ReadProperty(kMainWindow, control, index, -1).pointer<char>();
    auto result = use(text);
    rt::FreeBlock(text);
    return result;
}

}  // namespace

rt::HandlerResult onQueryClose() {
    // A calculation still returning after its stop press writes to the
    // window's controls: closing now would pull them away from under it.
    if (calc::calculationActive()) return rt::HandlerResult::ofBool(false);
    bool running = withText(control::Compute, property::ButtonCaption,
                            [](const char* caption) { return rt::textView(caption) == calc::texts::ComputeRunning; });
    return running ? rt::HandlerResult::ofBool(false) : rt::HandlerResult::none();
}

void onUpsBoxLostFocus() {
    int32_t ups = withText(control::Ups, property::EditContent,
                           [](char* content) { return rt::cmd::toInt(rt::TaggedArg::ofText(content)); });
    if (ups < 1)
        rt::WriteProperty(kMainWindow, control::Ups, property::EditContent, -1, rt::Words::ofPointer(texts::One));
}

void onExitMenu() { rt::EndProgram(0); }

}  // namespace app
