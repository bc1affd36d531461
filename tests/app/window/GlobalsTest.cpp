// The program-wide values start empty and are freed once.
#include <gtest/gtest.h>

#include "app/Globals.h"
#include "calc/CalcState.h"
#include "runtime/Text.h"

namespace {

TEST(AppGlobals, StartEmptyAndAreFreedOnce) {
    app::initGlobals();
    calc::CalcState& s = calc::state();
    EXPECT_TRUE(s.order.quantities.empty() && s.plateOneList.empty() && s.plateTwoList.empty());
    EXPECT_EQ(s.onePlateSheets, 0);
    s.order.quantities = {5};
    s.savedReport = "report";
    app::globals().bannerLinkUrl = rt::makeText("http://example.com/");

    app::freeGlobals();
    EXPECT_EQ(app::globals().bannerLinkUrl.load(), nullptr);
    EXPECT_TRUE(s.order.quantities.empty());
    EXPECT_TRUE(s.savedReport.empty());
    app::freeGlobals();  // nothing is freed twice
}

}  // namespace
