// The program-wide values of the application: the calculation's state (the
// order, the plates' lists, the saved report; see calc/CalcState.h), the
// banner link of the update check, and the order's file. Created at start-up, freed by the
// clean-up routine.
#pragma once

#include <atomic>
#include <string>

namespace app {

struct Globals {
    // Written once by the update thread, read by the main thread on a banner click.
    std::atomic<char*> bannerLinkUrl{nullptr};
    // The main thread's alone: the file 保存 writes to (UTF-8; empty: it asks
    // for one) and the folder of the last file opened or saved, where the
    // file dialogs start.
    std::string orderFile;
    std::string lastOrderFolder;
};

Globals& globals();

// Starts the calculation's state afresh (empty lists, no report), the banner
// link empty and no order file.
void initGlobals();
// Frees every value and leaves them empty, so a second call frees nothing twice.
void freeGlobals();

}  // namespace app
