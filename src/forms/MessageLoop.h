// The message loop on Qt's event loop, its idle phase and the end of the
// loop when no loaded window is left.
#pragma once

#include <QEvent>

#include "runtime/WindowTable.h"

namespace forms {

// The runtime's message loop: returns at once unless a loaded window is live.
void runMessageLoop();
// The window-destroyed hook: ends the loop (exit code 0) once it has been
// entered and no loaded window is live.
void onWindowDestroyed(rt::WindowId window);
// Told of every event the application delivers: input from the window
// system starts a new idle phase.
void noteDeliveredEvent(QEvent* event);
bool anyWindowLoaded();
void clearIdleCallbacks();
// Whether RunMessageLoop was entered and its loop is running now.
bool messageLoopRunning();

}  // namespace forms
