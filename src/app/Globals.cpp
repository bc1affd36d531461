// The program-wide values: creation and the clean-up routine.
#include "app/Globals.h"

#include "runtime/Array.h"
#include "runtime/ConstantRegion.h"
#include "runtime/Heap.h"

namespace app {
namespace {

void makeEmptyArray(void*& variable) {
    variable = const_cast<void*>(rt::activeConstantRegion().emptyArray());
    rt::makeArrayPrivate(sizeof(int32_t), &variable);
}

void freeArray(void*& variable) {
    if (!variable) return;
    rt::FreeBlock(variable);
    variable = nullptr;
}

template <typename T>
void freeText(T*& text) {
    if (!text) return;
    rt::FreeBlock(text);
    text = nullptr;
}

}  // namespace

Globals& globals() {
    static Globals g;
    return g;
}

void initGlobals() {
    Globals& g = globals();
    for (void** a : {&g.orderQuantities, &g.plateOneList, &g.plateTwoList, &g.validQuantities, &g.slotsPerStyle,
                     &g.finalSlotsPerStyle, &g.wastePerStyle})
        makeEmptyArray(*a);
}

void freeGlobals() {
    Globals& g = globals();
    freeArray(g.orderQuantities);
    if (char* url = g.bannerLinkUrl.exchange(nullptr)) rt::FreeBlock(url);
    freeArray(g.plateOneList);
    freeArray(g.plateTwoList);
    for (void** a : {&g.validQuantities, &g.slotsPerStyle, &g.finalSlotsPerStyle, &g.wastePerStyle}) freeArray(*a);
    freeText(g.savedReport);
}

}  // namespace app
