// Column types: what a new type does to the column and what the old one leaves behind.
#include <gtest/gtest.h>

#include "GridTestSupport.h"

namespace {

using namespace grid_test;
using grid::CGridCtrl;

constexpr int32_t kText = 1, kNumber = 2, kDate = 3, kComboBox = 4, kCheckBox = 5, kPicture = 6, kCurrency = 7,
                  kDropList = 8;

void fillColumn(CGridCtrl& g, int column, std::initializer_list<const char*> texts) {
    int row = g.fixedRowCount();
    for (const char* t : texts) g.setCellText(row++, column, t);
}

TEST(GridColumnType, RecordsByTypeOneAtMostPerColumn) {
    CGridCtrl g(orderGridSettings(), nullptr);  // 4 columns
    for (auto [column, type] : std::initializer_list<std::pair<int, int>>{{9, 2}, {4, 2}, {-1, 2}, {1, 0}, {1, 9}})
        EXPECT_FALSE(g.setColumnType(column, type)) << column << "," << type;
    g.choiceList() = {"a", "b"};
    for (int t = kText; t <= kDropList; ++t) {
        EXPECT_TRUE(g.setColumnType(1, t));
        EXPECT_EQ(g.columnType(1), 100 + t);
    }
    EXPECT_EQ(g.columnTypeRecord(1)->list, (std::vector<std::string>{"a", "b"}));
    ASSERT_TRUE(g.setColumnType(2, kCurrency));
    ASSERT_TRUE(g.setColumnType(3, kDate));
    ASSERT_TRUE(g.setColumnType(0, kPicture));
    EXPECT_EQ(g.columnTypeRecord(2)->prefix, gbk("￥"));
    EXPECT_EQ(g.columnTypeRecord(3)->dateFormat, "%Y-%m-%d");
    EXPECT_EQ(g.columnTypeRecord(3)->prefix, "");
    EXPECT_EQ(g.pictureMode(0), grid::picturemode::TopLeft);
    EXPECT_EQ(g.pictureMode(2), grid::picturemode::Tiled);
    expectConsistent(g);
}

TEST(GridColumnType, BecomingNumericRendersTheDataCells) {
    CGridCtrl g;
    fillColumn(g, 1, {"12.6", "abc", "", "0", "7x"});
    g.setCellText(0, 1, "12.6");
    ASSERT_TRUE(g.setColumnType(1, kNumber));
    EXPECT_EQ(g.cellText(0, 1), "12.6");  // the header is left alone
    EXPECT_EQ(g.cellText(1, 1), "13");
    EXPECT_EQ(g.cellText(2, 1), "abc");   // worth 0: untouched while zeros show
    EXPECT_EQ(g.cellText(3, 1), "");
    EXPECT_EQ(g.cellText(4, 1), "0");
    g.writeSetting(gp::ShowZero, 0);
    fillColumn(g, 2, {"abc", "0", "4"});
    ASSERT_TRUE(g.setColumnType(2, kCurrency));
    EXPECT_EQ(g.cellText(1, 2), "");
    EXPECT_EQ(g.cellText(2, 2), "");
    EXPECT_EQ(g.cellText(3, 2), "4");
}

TEST(GridColumnType, NumberAndCurrencyKeepDecimalsAndTextsBetweenThem) {
    CGridCtrl g;
    ASSERT_TRUE(g.setColumnType(1, kNumber));
    ASSERT_TRUE(g.setColumnDecimals(1, 2));
    g.setCellText(1, 1, "3.14159");
    ASSERT_TRUE(g.setColumnType(1, kCurrency));
    EXPECT_EQ(g.columnTypeRecord(1)->decimals, 2);
    EXPECT_EQ(g.cellText(1, 1), "3.14159");
    ASSERT_TRUE(g.setColumnType(1, kNumber));
    EXPECT_EQ(g.columnTypeRecord(1)->decimals, 2);
    EXPECT_EQ(g.cellText(1, 1), "3.14159");
    // Through text the decimals are lost.
    ASSERT_TRUE(g.setColumnType(1, kText));
    ASSERT_TRUE(g.setColumnType(1, kNumber));
    EXPECT_EQ(g.columnTypeRecord(1)->decimals, 0);
    EXPECT_EQ(g.cellText(1, 1), "3");
}

TEST(GridColumnType, DateBecomingNumberEmptiesTheDataCells) {
    CGridCtrl g;
    ASSERT_TRUE(g.setColumnType(1, kDate));
    fillColumn(g, 1, {"2020-01-05", "12"});
    g.setCellText(0, 1, "date");
    ASSERT_TRUE(g.setColumnType(1, kNumber));
    EXPECT_EQ(g.cellText(1, 1), "");
    EXPECT_EQ(g.cellText(2, 1), "");
    EXPECT_EQ(g.cellText(0, 1), "date");
    ASSERT_TRUE(g.setColumnType(2, kDate));
    fillColumn(g, 2, {"2020-01-05"});
    ASSERT_TRUE(g.setColumnType(2, kText));
    EXPECT_EQ(g.cellText(1, 2), "2020-01-05");  // date to text keeps them
}

TEST(GridColumnType, CheckBoxAndPictureLeaveNothingBehindInDataRows) {
    CGridCtrl g;
    ASSERT_TRUE(g.setColumnType(1, kCheckBox));
    g.setCellChecked(0, 1, true);
    g.setCellChecked(2, 1, true);
    ASSERT_TRUE(g.setColumnType(1, kCheckBox));  // even into the same type
    EXPECT_FALSE(g.cellChecked(2, 1));
    EXPECT_TRUE(g.cellChecked(0, 1));  // the header row keeps its state
    g.setCellChecked(3, 1, true);
    ASSERT_TRUE(g.setColumnType(1, kComboBox));
    EXPECT_FALSE(g.cellChecked(3, 1));

    fillColumn(g, 2, {"a", "b"});
    g.setCellText(0, 2, "header");
    ASSERT_TRUE(g.setColumnType(2, kPicture));
    EXPECT_EQ(g.cellText(2, 2), "");
    EXPECT_EQ(g.cellText(0, 2), "header");
    g.setCellPicture(1, 2, QImage(2, 2, QImage::Format_RGB32));
    ASSERT_TRUE(g.setColumnType(2, kText));
    EXPECT_TRUE(g.cellPicture(1, 2).isNull());
}

}  // namespace
