// The program-wide values: each array its own empty block, all freed once.
#include <gtest/gtest.h>

#include <set>

#include "app/Globals.h"
#include "runtime/Array.h"
#include "runtime/ConstantRegion.h"
#include "runtime/Heap.h"
#include "runtime/Text.h"

namespace {

TEST(AppGlobals, EachArrayIsAFreshEmptyArrayAndIsFreedOnce) {
    app::Globals& g = app::globals();
    app::initGlobals();
    void* arrays[] = {g.orderQuantities, g.plateOneList, g.plateTwoList, g.validQuantities,
                      g.slotsPerStyle,   g.finalSlotsPerStyle, g.wastePerStyle};
    std::set<void*> distinct(std::begin(arrays), std::end(arrays));
    EXPECT_EQ(distinct.size(), 7u);
    for (void* a : arrays) {
        ASSERT_NE(a, nullptr);
        EXPECT_NE(a, rt::activeConstantRegion().emptyArray());  // a copy of its own, free to grow
        EXPECT_EQ(rt::arrayElementCount(a), 0u);
    }
    rt::appendIntElement(&g.orderQuantities, 5);
    g.bannerLinkUrl = rt::makeText("http://example.com/");
    g.savedReport = rt::makeText("report");

    app::freeGlobals();
    EXPECT_EQ(g.orderQuantities, nullptr);
    EXPECT_EQ(g.bannerLinkUrl.load(), nullptr);
    EXPECT_EQ(g.savedReport, nullptr);
    app::freeGlobals();  // nothing is freed twice
}

}  // namespace
