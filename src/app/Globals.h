// The program-wide values of the application: the calculation's state (the
// order, the plates' lists, the saved report; see calc/CalcState.h) and the
// banner link of the update check. Created at start-up, freed by the
// clean-up routine.
#pragma once

#include <atomic>

namespace app {

struct Globals {
    // Written once by the update thread, read by the main thread on a banner click.
    std::atomic<char*> bannerLinkUrl{nullptr};
};

Globals& globals();

// Starts the calculation's state afresh (empty lists, no report) and the banner link empty.
void initGlobals();
// Frees every value and leaves them empty, so a second call frees nothing twice.
void freeGlobals();

}  // namespace app
