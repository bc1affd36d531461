// The desktop program from its entry to its end: Qt's application object
// stands in for the desktop framework.
#pragma once

namespace app {

// Installs the host, the window layer, the grid and the template reader on a
// new application object, runs the program and leaves the process; never returns.
[[noreturn]] void runDesktopProgram(int argc, char** argv);

}  // namespace app
