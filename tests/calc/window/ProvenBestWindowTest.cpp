// The seventh trial choice, 最优分版, as the window runs it: the proven
// division with fewer sheets than the random trials find, its progress beside
// the choice, a stop that keeps the best division so far, and the line that
// ends the report's two-plate section.
#include <gtest/gtest.h>

#include <QTest>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "calc/CalcState.h"
#include "calc/CutSearch.h"
#include "calc/PlateDivision.h"
#include "calc/PlateLayout.h"
#include "calc/ReportText.h"
#include "grid/GridMethods.h"
#include "CalcWindowSupport.h"

using namespace calc_test;

namespace {

constexpr int kProvenBest = 6;

struct Order {
    const char* name;
    std::vector<int32_t> quantities;
    int32_t ups;
};

// Many small lines spread over three orders of magnitude, as a shop printing
// tags for a herb garden's pots orders them.
Order herbsLike() {
    std::mt19937 random(97);
    Order o{"herbs-like", {}, 97};
    for (int i = 0; i < 42; ++i)
        o.quantities.push_back(static_cast<int32_t>(std::pow(10.0, std::uniform_real_distribution<double>(2.3, 5.3)(random))));
    return o;
}

// Round hundreds, as a publisher orders tags for a run of magazines.
Order magazineLike() {
    std::mt19937 random(45);
    Order o{"magazine-like", {}, 47};
    for (int i = 0; i < 50; ++i) o.quantities.push_back(std::uniform_int_distribution<int32_t>(5, 300)(random) * 100);
    return o;
}

// 150 styles of up to 10^8 tags on 999 slots: a division that takes a few
// tenths of a second to prove.
Order largeOrder() {
    std::mt19937 random(150);
    Order o{"large", {}, 999};
    for (int i = 0; i < 150; ++i) o.quantities.push_back(std::uniform_int_distribution<int32_t>(1, 99'999'999)(random));
    return o;
}

calc::DivisionOptions withLimit(double seconds) {
    calc::DivisionOptions options;
    options.timeLimitSeconds = seconds;
    return options;
}

class ProvenBestWindow : public CalcWindow {
protected:
    // The quantities column by column, 50 to a column, and the ups.
    void enter(const Order& o) {
        for (size_t i = 0; i < o.quantities.size(); ++i)
            grid::call::setCellText(kMainWindow, control::OrderGrid, static_cast<int32_t>(i % 50) + 1,
                                    static_cast<int32_t>(i / 50) + 1, std::to_string(o.quantities[i]).c_str());
        setUps(std::to_string(o.ups).c_str());
        chooseTrials(kProvenBest);
    }

    // The plates' lists hold the order between them, each within a plate,
    // plate 1 the cheaper, and their sheets are what the report recorded.
    static void expectAValidDivision(const Order& o) {
        const calc::CalcState& s = calc::state();
        const auto& one = s.plateOneList;
        const auto& two = s.plateTwoList;
        ASSERT_GE(one.size(), 1u);
        ASSERT_GE(two.size(), 1u);
        EXPECT_LE(one.size(), static_cast<size_t>(o.ups));
        EXPECT_LE(two.size(), static_cast<size_t>(o.ups));
        std::vector<int32_t> both = one;
        both.insert(both.end(), two.begin(), two.end());
        std::vector<int32_t> order = o.quantities;
        std::sort(both.begin(), both.end());
        std::sort(order.begin(), order.end());
        EXPECT_EQ(both, order);
        const int32_t sheetsOne = calc::layoutOnePlate(one, o.ups).sheets;
        const int32_t sheetsTwo = calc::layoutOnePlate(two, o.ups).sheets;
        EXPECT_LE(sheetsOne, sheetsTwo);
        EXPECT_EQ(int64_t{sheetsOne} + sheetsTwo, s.twoPlateSheets);
    }

    // The report as it must read: the part before the two-plate section, the
    // section for the recorded sheets, then `last`.
    static std::string expectedReport(const Order& o, const std::string& last) {
        int64_t total = 0;
        for (int32_t q : o.quantities) total += q;
        const calc::CalcState& s = calc::state();
        return s.savedReport + calc::twoPlateSectionText(total, o.ups, s.twoPlateSheets) + last;
    }
};

TEST_F(ProvenBestWindow, ReportsTheProvenDivision) {
    for (const Order& o : {herbsLike(), magazineLike()}) {
        SCOPED_TRACE(o.name);
        const calc::Division proven = calc::divideTwoPlates(o.quantities, o.ups, withLimit(60));
        ASSERT_TRUE(proven.optimal);
        std::vector<int32_t> sorted = o.quantities;
        std::stable_sort(sorted.begin(), sorted.end());
        // The search must better the sorted cut, which the window reports first.
        ASSERT_LT(proven.sheets, calc::bestCut(sorted, o.ups, calc::minStylesForCut(sorted.size(), o.ups)).sheets);
        enter(o);
        press();
        EXPECT_EQ(caption(), gbk("开始计算"));
        EXPECT_EQ(calc::state().twoPlateSheets, proven.sheets);
        expectAValidDivision(o);
        EXPECT_EQ(report(), expectedReport(o, gbk("\r\n已证明最优")));
        // Beside a one-plate section the difference shows; without one it stays empty.
        const bool onePlate = o.quantities.size() <= static_cast<size_t>(o.ups);
        EXPECT_EQ(text(control::Difference, property::LabelCaption),
                  onePlate ? calc::sheetDifferenceText(calc::state().onePlateSheets, proven.sheets) : "");
        EXPECT_EQ(property(control::TwoPlates, rt::prop::Disabled), 0);
        EXPECT_EQ(trialShown(), "");
        // The random trials never find fewer sheets than this.
        chooseTrials(kThousandTrials);
        press();
        EXPECT_GE(calc::state().twoPlateSheets, proven.sheets);
    }
}

TEST_F(ProvenBestWindow, AStopBeforeTheSearchKeepsTheSortedCutWithItsBound) {
    const Order o = largeOrder();
    enter(o);
    bool pressed = false;
    pressWatching([&] {
        if (pressed || caption() != gbk("结束计算")) return;
        pressed = true;
        QTest::mouseClick(widget(control::Compute), Qt::LeftButton);
    });
    ASSERT_TRUE(pressed);
    std::vector<int32_t> sorted = o.quantities;
    std::sort(sorted.begin(), sorted.end());
    const calc::Cut cut = calc::bestCut(sorted, o.ups, 0);
    EXPECT_EQ(calc::state().twoPlateSheets, cut.sheets);
    EXPECT_EQ(calc::state().plateOneList, cut.first);
    const calc::Division first = calc::divideTwoPlates(o.quantities, o.ups, withLimit(0));
    ASSERT_FALSE(first.optimal);
    EXPECT_EQ(report(), expectedReport(o, gbk("\r\n最少可能为") + std::to_string(first.lowerBound) + gbk("张")));
}

TEST_F(ProvenBestWindow, AStopDuringTheSearchKeepsTheBestDivisionSoFar) {
    const Order o = largeOrder();
    enter(o);
    std::vector<std::string> shown;
    bool pressed = false;
    pressWatching([&] {
        const std::string t = trialShown();
        if (!t.empty() && (shown.empty() || shown.back() != t)) shown.push_back(t);
        // The seconds the search has run show beside the choice: it is under way.
        if (pressed || t.empty()) return;
        pressed = true;
        QTest::mouseClick(widget(control::Compute), Qt::LeftButton);
    });
    ASSERT_TRUE(pressed) << "the search never showed its progress";
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown[0].substr(shown[0].size() - 2), gbk("秒"));
    EXPECT_EQ(caption(), gbk("开始计算"));
    expectAValidDivision(o);
    const std::string text = report();
    const std::string head = gbk("\r\n最少可能为");
    const size_t at = text.rfind(head);
    ASSERT_NE(at, std::string::npos) << "a stopped search is not proven";
    const int64_t bound = std::stoll(text.substr(at + head.size()));
    EXPECT_LE(bound, calc::state().twoPlateSheets);
    EXPECT_EQ(text, expectedReport(o, head + std::to_string(bound) + gbk("张")));
}

}  // namespace
