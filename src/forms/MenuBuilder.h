// The window's menu bar, built from its menu-item records.
#pragma once

#include "runtime/WindowTable.h"

namespace forms {

class WindowWidget;

// Replaces the menu bar of the window widget with one built from the
// record's menu items: a hidden item is left out with all the items below
// it, a caption "-" is a separator, disabled items are greyed and checked
// ones carry a check mark. Choosing an item raises its event 0. Without a
// shown item the menu bar is hidden.
void buildMenuBar(rt::WindowRecord& window, WindowWidget& widget);
// For WindowRecord::rebuildMenu: rebuilds the menu bar of a loaded window.
void rebuildWindowMenu(rt::WindowRecord& window);

}  // namespace forms
