// The application's handler table: the window template binds events to these
// entries by index.
#include <array>

#include "app/FileMenu.h"
#include "app/Program.h"
#include "app/UpdateCheck.h"
#include "calc/ComputeCommand.h"
#include "calc/OrderInput.h"
#include "calc/ResultTables.h"

namespace app {
namespace {

template <void (*Routine)()>
rt::HandlerResult withoutArguments(const uint32_t*, int32_t) {
    Routine();
    return {};
}

// The order grid's key-released event: key code, key state.
rt::HandlerResult orderKeyReleased(const uint32_t* words, int32_t count) {
    if (count >= 2) calc::onOrderKeyReleased(static_cast<int32_t>(words[0]), static_cast<int32_t>(words[1]));
    return {};
}

rt::HandlerResult queryClose(const uint32_t*, int32_t) { return onQueryClose(); }
rt::HandlerResult exitMenu(const uint32_t*, int32_t) { onExitMenu(); }
// A routine whose work another part of the program supplies through setRoutine.
rt::HandlerResult nothingYet(const uint32_t*, int32_t) { return {}; }

using Table = std::array<rt::EventHandler, static_cast<size_t>(Handler::Count)>;

const Table& builtIn() {
    static const Table table = [] {
        Table t;
        t.fill(&nothingYet);
        t[static_cast<size_t>(Handler::WindowCreated)] = &withoutArguments<&onWindowCreated>;
        t[static_cast<size_t>(Handler::WindowResized)] = &withoutArguments<&onWindowResized>;
        t[static_cast<size_t>(Handler::QueryClose)] = &queryClose;
        t[static_cast<size_t>(Handler::UpsBoxLostFocus)] = &withoutArguments<&onUpsBoxLostFocus>;
        t[static_cast<size_t>(Handler::ExitMenu)] = &exitMenu;
        t[static_cast<size_t>(Handler::NewMenu)] = &withoutArguments<&onNewMenu>;
        t[static_cast<size_t>(Handler::OpenMenu)] = &withoutArguments<&onOpenMenu>;
        t[static_cast<size_t>(Handler::SaveMenu)] = &withoutArguments<&onSaveMenu>;
        t[static_cast<size_t>(Handler::SaveAsMenu)] = &withoutArguments<&onSaveAsMenu>;
        t[static_cast<size_t>(Handler::ComputeClicked)] = &withoutArguments<&calc::onComputeClicked>;
        t[static_cast<size_t>(Handler::OnePlateClicked)] = &withoutArguments<&calc::onOnePlateClicked>;
        t[static_cast<size_t>(Handler::TwoPlatesClicked)] = &withoutArguments<&calc::onTwoPlatesClicked>;
        t[static_cast<size_t>(Handler::OrderCommitted)] = &withoutArguments<&calc::recountOrder>;
        t[static_cast<size_t>(Handler::OrderKeyReleased)] = &orderKeyReleased;
        t[static_cast<size_t>(Handler::OrderEditorOpening)] = &withoutArguments<&calc::onOrderEditorOpening>;
        t[static_cast<size_t>(Handler::SetUpGrids)] = &withoutArguments<&calc::setUpGrids>;
        t[static_cast<size_t>(Handler::UpdateThreadMain)] = &withoutArguments<&updateThreadMain>;
        t[static_cast<size_t>(Handler::BannerClicked)] = &withoutArguments<&onBannerClicked>;
        return t;
    }();
    return table;
}

Table& entries() {
    static Table table = builtIn();
    return table;
}

}  // namespace

const rt::HandlerTable& handlerTable() {
    static const rt::HandlerTable table{entries().data(), static_cast<uint32_t>(entries().size())};
    return table;
}

rt::HandlerResult callRoutine(Handler routine, const uint32_t* words, int32_t count) {
    rt::EventHandler h = entries()[static_cast<size_t>(routine)];
    return h ? h(words, count) : rt::HandlerResult{};
}

void setRoutine(Handler routine, rt::EventHandler handler) {
    auto i = static_cast<size_t>(routine);
    entries()[i] = handler ? handler : builtIn()[i];
}

}  // namespace app
