// The program-wide values of the application: the order's and the plates'
// quantity lists, the one-plate layout's working arrays, the banner link and
// the saved report. Created at start-up, freed by the clean-up routine.
#pragma once

#include <atomic>

namespace app {

struct Globals {
    void* orderQuantities = nullptr;  // integer arrays (runtime array blocks)
    void* plateOneList = nullptr;
    void* plateTwoList = nullptr;
    void* validQuantities = nullptr;  // the one-plate layout's working arrays
    void* slotsPerStyle = nullptr;
    void* finalSlotsPerStyle = nullptr;
    void* wastePerStyle = nullptr;
    // Written once by the update thread, read by the main thread on a banner click.
    std::atomic<char*> bannerLinkUrl{nullptr};
    char* savedReport = nullptr;  // the last one-plate report text
};

Globals& globals();

// Gives each array a fresh empty array of its own.
void initGlobals();
// Frees every value, in the order the lists were declared above, and leaves
// them empty (null), so a second call frees nothing twice.
void freeGlobals();

}  // namespace app
