// The program-wide values: creation and the clean-up routine.
#include "app/Globals.h"

#include "calc/CalcState.h"
#include "runtime/Heap.h"

namespace app {

Globals& globals() {
    static Globals g;
    return g;
}

void initGlobals() {
    calc::resetState();
    if (char* url = globals().bannerLinkUrl.exchange(nullptr)) rt::FreeBlock(url);
    globals().orderFile.clear();
    globals().lastOrderFolder.clear();
}

void freeGlobals() {
    if (char* url = globals().bannerLinkUrl.exchange(nullptr)) rt::FreeBlock(url);
    calc::resetState();
    globals().orderFile.clear();
    globals().lastOrderFolder.clear();
}

}  // namespace app
