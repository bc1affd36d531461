// Loading a window from its records: the window, its menu and its units,
// the load notices, the created events and the first show.
#pragma once

#include <cstdint>

#include "runtime/WindowTable.h"

namespace forms {

// The runtime's window loader; `options` is 0 or points at a LoadOptions.
int32_t loadWindow(rt::WindowId windowId, uintptr_t options);
// Destroys the window's widget without asking it (the runtime closes it).
void destroyWindow(rt::WindowRecord& window);

}  // namespace forms
