// What the cut-search tests share.
#pragma once

#include <gtest/gtest.h>

#include "calc/CutSearch.h"

namespace cut_test {

// Two cuts are the same: found alike, the same sheets and the same parts.
inline void expectSameCut(const calc::Cut& a, const calc::Cut& b) {
    ASSERT_EQ(a.found, b.found);
    EXPECT_EQ(a.sheets, b.sheets);
    EXPECT_EQ(a.sheetsOne, b.sheetsOne);
    EXPECT_EQ(a.sheetsTwo, b.sheetsTwo);
    EXPECT_EQ(a.first, b.first);
    EXPECT_EQ(a.second, b.second);
}

}  // namespace cut_test
