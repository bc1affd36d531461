// This program's window template in readable form: the start window with its
// controls, menu and event bindings, as the build-time template writer takes it.
#pragma once

#include <vector>

#include "forms/Template.h"

namespace app {

// The program's windows (the start window only), every text GBK.
std::vector<forms::WindowDescription> mainWindowDescription();

}  // namespace app
