// The window-template block of this program, generated at build time from the
// readable window description.
#pragma once

#include <cstdint>

namespace app {

extern const unsigned char kMainWindowTemplate[];
extern const uint32_t kMainWindowTemplateLength;

}  // namespace app
