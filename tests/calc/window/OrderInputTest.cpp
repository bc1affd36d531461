// The order grid read into the order model on the real window: which cells
// count and how they are rewritten, the style order, the count label, the
// keys that recount, the editor's column type, and the refusals.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "calc/CalcState.h"
#include "calc/Controls.h"
#include "calc/OrderInput.h"
#include "grid/GridMethods.h"
#include "platform/Gbk.h"
#include "runtime/Events.h"
#include "CalcWindowSupport.h"

using namespace calc_test;

namespace {

constexpr int32_t kKeyReleased = -10, kEditorOpening = 1;

class OrderInput : public CalcWindow {
protected:

    static bool enter(int32_t row, int32_t column, std::string_view text) {
        return grid::call::setCellText(kMainWindow, control::OrderGrid, row, column, text);
    }
    static std::string cell(int32_t row, int32_t column) {
        return grid::call::getCellText(kMainWindow, control::OrderGrid, row, column);
    }
    static const std::vector<int32_t>& quantities() { return calc::state().order.quantities; }
    static std::string countLabel() { return text(control::OrderCount, calc::property::LabelCaption); }
    // Quantities 1..n down column 1.
    static void enterStyles(int n) {
        for (int i = 1; i <= n; ++i) enter(i, 1, std::to_string(i));
    }
};

TEST_F(OrderInput, KeepsOnlyQuantitiesFromOneToNinetyNineMillionAndRewritesThem) {
    struct Row {
        const char* entered;
        const char* afterwards;
    };
    const Row rows[] = {
        {"0", ""}, {"100000000", ""}, {"-5", ""}, {"abc", ""}, {"", ""},
        {" 012", "12"}, {"12abc", "12"}, {"99999999", "99999999"}, {"1", "1"},
        // Past 32 bits the leading number used to wrap into a valid quantity
        // (4300000000 to 5032704, 4294968296 to 1000) and was counted.
        {"4300000000", ""}, {"4294968296", ""}, {"-4294967295", ""}, {"99999999999999999999999", ""},
    };
    int32_t r = 1;
    for (const Row& row : rows) ASSERT_TRUE(enter(r++, 1, row.entered));
    calc::recountOrder();
    r = 1;
    for (const Row& row : rows) EXPECT_EQ(cell(r++, 1), row.afterwards) << "entered \"" << row.entered << '"';
    EXPECT_EQ(quantities(), (std::vector<int32_t>{12, 12, 99999999, 1}));
    EXPECT_EQ(calc::state().order.styleCount, 4);
    EXPECT_EQ(calc::state().order.totalQuantity, 100000024);
}

TEST_F(OrderInput, StylesAreNumberedColumnByColumnWithoutGaps) {
    enter(1, 2, "10");
    enter(2, 2, "20");
    enter(3, 2, "30");
    enter(50, 1, "40");
    enter(7, 3, "junk");
    enter(8, 3, "50");
    calc::recountOrder();
    EXPECT_EQ(quantities(), (std::vector<int32_t>{40, 10, 20, 30, 50}));
}

TEST_F(OrderInput, ReadsEveryRowTheGridHasAndNeverTheHeader) {
    // Header texts look like no number, so a header that was read would be wiped.
    const std::string header = cell(0, 1);
    setProperty(control::OrderGrid, calc::property::GridRowCount, 60);
    enter(59, 3, "7");
    calc::recountOrder();
    EXPECT_EQ(quantities(), (std::vector<int32_t>{7}));
    EXPECT_EQ(cell(0, 1), header);
    EXPECT_FALSE(header.empty());
}

TEST_F(OrderInput, CountLabelShowsStylesAndTotal) {
    EXPECT_EQ(countLabel(), gbk("共0款合计0个"));  // the recount at window creation
    enter(1, 1, "1000");
    enter(2, 1, "2500");
    enter(3, 1, "700");
    calc::recountOrder();
    EXPECT_EQ(countLabel(), gbk("共3款合计4200个"));
}

// A 32-bit total would wrap past 2,147,483,647.
TEST_F(OrderInput, TotalOfAFullGridOfLargeQuantitiesDoesNotWrap) {
    for (int32_t c = 1; c <= 3; ++c)
        for (int32_t r = 1; r <= 50; ++r) enter(r, c, "99999999");
    calc::recountOrder();
    EXPECT_EQ(calc::state().order.styleCount, 150);
    EXPECT_EQ(calc::state().order.totalQuantity, int64_t{150} * 99999999);
    EXPECT_EQ(countLabel(), gbk("共150款合计14999999850个"));
}

TEST_F(OrderInput, DeleteAndCtrlWithVOrXRecountOtherKeysDoNot) {
    struct Key {
        uint32_t code, state;
        bool recounts;
    };
    const Key keys[] = {
        {86, 0, false}, {86, 2, false}, {86, 3, false}, {88, 4, false}, {65, 1, false},
        {86, 1, true},  {88, 1, true},  {46, 0, true},  {46, 3, true},
    };
    int32_t row = 1;
    for (const Key& key : keys) {
        enter(row, 1, std::to_string(row));
        rt::raiseEvent(kMainWindow, control::OrderGrid, kKeyReleased, {key.code, key.state});
        EXPECT_EQ(quantities().size() == static_cast<size_t>(row), key.recounts)
            << "key " << key.code << " state " << key.state;
        if (key.recounts) ++row;
    }
}

TEST_F(OrderInput, EditorTakesNumbersOnlyUntilTheNextRecount) {
    rt::raiseEvent(kMainWindow, control::OrderGrid, kEditorOpening);
    for (int32_t c = 1; c <= 3; ++c) EXPECT_FALSE(enter(1, c, "abc")) << "column " << c;
    EXPECT_TRUE(enter(1, 0, "abc"));  // the row-number column keeps its type
    calc::recountOrder();
    EXPECT_TRUE(enter(1, 1, "abc"));
}

class OrderCheck : public OrderInput {
protected:
    bool check(int styles, int32_t ups) {
        enterStyles(styles);
        calc::recountOrder();
        calc::state().order.upsPerPlate = ups;
        return calc::checkOrderForCompute();
    }
    std::string tooMany(const char* bracket, const char* current) {
        return gbk("订单的款数不能超过 模数*2 （") + bracket + gbk("） 款 当前") + current +
               gbk("款！\r\n目前一次最多只能计算2张印刷版！");
    }
};

TEST_F(OrderCheck, RefusesAnEmptyOrder) {
    EXPECT_FALSE(check(0, 48));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, gbk("订单数量为空 请在左边表格输入每款的数量！"));
    EXPECT_EQ(host.boxes[0].caption, gbk("提示"));
    EXPECT_EQ(host.boxes[0].style & 0xFFF, 0u);  // OK button, no icon
}

TEST_F(OrderCheck, RefusesMoreStylesThanTwiceTheUpsAndTakesExactlyThatMany) {
    EXPECT_FALSE(check(10, 4));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, tooMany("8", "10"));
    EXPECT_EQ(host.boxes[0].caption, gbk("提示"));
    EXPECT_EQ(host.boxes[0].style & 0xFFF, 0u);
    enter(9, 1, "");
    enter(10, 1, "");
    calc::recountOrder();  // 8 styles on two plates of 4
    EXPECT_TRUE(calc::checkOrderForCompute());
    EXPECT_EQ(host.boxes.size(), 1u);
}

// The bound is doubled in double precision: in 32 bits 2 x 2e9 would wrap
// to a negative bound and refuse every order.
TEST_F(OrderCheck, BoundIsShownAsTwiceTheUpsValueWhateverItIs) {
    EXPECT_FALSE(check(1, 0));
    calc::state().order.upsPerPlate = -3;
    EXPECT_FALSE(calc::checkOrderForCompute());
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[0].text, tooMany("0", "1"));
    EXPECT_EQ(host.boxes[1].text, tooMany("-6", "1"));
    calc::state().order.upsPerPlate = 2000000000;
    EXPECT_TRUE(calc::checkOrderForCompute());
}

}  // namespace
