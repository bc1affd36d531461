// The application's event handlers by their index in the handler table: the
// window template stores these indices as handler offsets.
#pragma once

#include <cstdint>

namespace app {

enum class Handler : int32_t {
    WindowCreated = 0,      // window event 0: onWindowCreated
    WindowResized,          // window event 4: onWindowResized
    QueryClose,             // window event 1: onQueryClose
    ComputeClicked,         // 按钮计算 event 0: the compute command
    OnePlateClicked,        // 单选框1 event 0: show the one-plate result
    TwoPlatesClicked,       // 单选框2 event 0: show the two-plate result
    UpsBoxLostFocus,        // 编辑框模数 event -8: onUpsBoxLostFocus
    OrderCommitted,         // 高级表格订单 event 2: recountOrder
    OrderKeyReleased,       // 高级表格订单 event -10: recount after Delete, Ctrl+V, Ctrl+X
    OrderEditorOpening,     // 高级表格订单 event 1: set the quantity columns' type
    BannerClicked,          // 图片框1 event -1: onBannerClicked
    ExitMenu,               // menu item 退出: onExitMenu
    NewMenu,                // menu item 新建: onNewMenu
    OpenMenu,               // menu item 打开: onOpenMenu
    SaveMenu,               // menu item 保存: onSaveMenu
    SaveAsMenu,             // menu item 另存为: onSaveAsMenu
    // Routines that start-up calls through the table, not bound to events.
    SetUpGrids,             // the grids' headers, row counts and column widths
    UpdateThreadMain,       // the update check's thread
    Count
};

constexpr int32_t handlerOffset(Handler h) { return static_cast<int32_t>(h); }

}  // namespace app
