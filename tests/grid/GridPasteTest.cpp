// Pasting into a grid: the splitter and its formatted numbers, where the
// fields go, and the message on values that found no cell.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "GridEditingFixture.h"
#include "grid/GridClipboard.h"
#include "grid/NumberText.h"

namespace {

using namespace grid_test;
using grid::CGridCtrl;
using Lines = std::vector<std::vector<std::string>>;

// ---- The splitter ------------------------------------------------------------------

TEST(GridPasteText, FieldsAndLines) {
    EXPECT_EQ(grid::splitPasteText("1,2\t3"), (Lines{{"1", "2", "3"}}));
    EXPECT_EQ(grid::splitPasteText("1\t\t3"), (Lines{{"1", "", "3"}}));
    EXPECT_EQ(grid::splitPasteText("a,\r\nb\n"), (Lines{{"a"}, {"b"}}));
    EXPECT_EQ(grid::splitPasteText("\n,x"), (Lines{{}, {"", "x"}}));
    EXPECT_EQ(grid::splitPasteText("a\rb"), (Lines{{"a\rb"}}));  // a lone CR stays
    EXPECT_TRUE(grid::splitPasteText("").empty());
}

// Formatted numbers copied from a spreadsheet were cut at their commas.
TEST(GridPasteText, GroupedWholeNumbersInTabularTextStayWhole) {
    struct Case {
        const char* text;
        Lines lines;
    } cases[] = {
        // Tabular text (a tab or a line feed in it): grouped numbers are one field without their commas.
        {"1,000\n2,500", {{"1000"}, {"2500"}}},
        {"1,000\r\n2,500\r\n", {{"1000"}, {"2500"}}},
        {"12,345,678\t-1,000\t+2,000", {{"12345678", "-1000", "+2000"}}},
        {" 1,000 \t999,999", {{" 1000 ", "999999"}}},
        {"1,000\t", {{"1000"}}},
        {"a\t1,000\tb", {{"a", "1000", "b"}}},
        // Not a grouped number: cut at the commas as before.
        {"1,000,2\t", {{"1", "000", "2"}}},
        {"1,00\n", {{"1", "00"}}},
        {",000\n", {{"", "000"}}},
        {"1,0000\n", {{"1", "0000"}}},
        {"01,000\n", {{"01", "000"}}},
        {"1,000.50\n", {{"1", "000.50"}}},
        {"1,,000\n", {{"1", "", "000"}}},
        {"1,000,\n", {{"1", "000"}}},
        {"1, 000\n", {{"1", " 000"}}},
        {"x,1,000\t5", {{"x", "1", "000", "5"}}},  // only a whole field between tabs
        {"(1,000)\n", {{"(1", "000)"}}},
        {"- 1,000\n", {{"- 1", "000"}}},
        // One line without tabs: the comma separates fields.
        {"1,000", {{"1", "000"}}},
        {"1,000,000", {{"1", "000", "000"}}},
        {"1,000\r", {{"1", "000\r"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(grid::splitPasteText(c.text), c.lines);
    }
}

TEST(GridPasteText, WhatCountsAsAGroupedWholeNumber) {
    for (const char* yes : {"1,000", "-1,000", "+1,000", "999,999,999", "12,345,678", " 1,000", "1,000  ", "100,000"})
        EXPECT_TRUE(grid::isGroupedWholeNumber(yes)) << yes;
    for (const char* no : {"1000", "1,00", "1,0000", ",000", "01,000", "0,000", "1,000.5", "1,000,", "1,,000", "+,000",
                           "1 000", "1,000 2", "", " ", "1,0a0", "1234,000"})
        EXPECT_FALSE(grid::isGroupedWholeNumber(no)) << no;
}

// ---- Pasting into the grid ----------------------------------------------------------

class GridPaste : public GridEditing {
protected:
    void SetUp() override {
        GridEditing::SetUp();
        grid_->setRowCount(51);  // the order grid: 50 data rows, three quantity columns
    }
    static void paste(const QString& clipboardText) {
        QGuiApplication::clipboard()->setText(clipboardText);
        key(Qt::Key_V, Qt::ControlModifier);
    }
    std::string leftOutMessage(const char* count) const {
        return gbk("粘贴的内容超出表格范围，有") + count + gbk("个数值没有粘贴。");
    }
};

TEST_F(GridPaste, FieldsGoFromTheFocusCellAndNeverAddRowsOrColumns) {
    std::vector<std::pair<int, int>> notified;
    QObject::connect(grid_, &CGridCtrl::parentNotified, [&](int code, int r, int c) {
        if (code == grid::gridnotify::CellChanged) notified.emplace_back(r, c);
    });
    focusOn(1, 1);
    paste(QStringLiteral("1,2\t3"));
    EXPECT_EQ(text(1, 1), "1");
    EXPECT_EQ(text(1, 2), "2");
    EXPECT_EQ(text(1, 3), "3");
    EXPECT_EQ(notified.size(), 3u);

    grid_->setCellText(2, 2, "old");
    focusOn(2, 1);
    ASSERT_TRUE(grid_->pasteText("1\t\t3").wrote);
    EXPECT_EQ(text(2, 2), "");
    EXPECT_EQ(text(2, 3), "3");

    // A hidden row is skipped; lines and fields past the grid go nowhere.
    grid_->setRowCount(6);
    grid_->setRowHeight(4, 0);
    focusOn(3, 2);
    const CGridCtrl::PasteResult result = grid_->pasteText("10\r\n20\r\n30\r\n40,41,42\n");
    EXPECT_TRUE(result.wrote);
    EXPECT_EQ(result.leftOut, 4);
    EXPECT_EQ(text(3, 2), "10");
    EXPECT_EQ(text(4, 2), "");
    EXPECT_EQ(text(5, 2), "20");
    EXPECT_EQ(grid_->rowCount(), 6);
    EXPECT_EQ(grid_->columnCount(), 4);
    EXPECT_TRUE(host_.boxes.empty());  // the paste alone tells nobody
    expectConsistent(*grid_);
}

// Values past the last row were dropped without a word.
TEST_F(GridPaste, AColumnLongerThanTheGridSaysHowManyValuesWereLeftOutOnceTheKeyIsUp) {
    QString column;
    for (int i = 1; i <= 60; ++i) column += QString::number(i) + QStringLiteral("\r\n");
    // What the grid holds, and what was told, when the release of V reaches
    // the grid (where the application recounts the order).
    size_t boxesAtRelease = 99;
    std::string lastRowAtRelease;
    struct Watcher : QObject {
        std::function<void()> onRelease;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::KeyRelease && static_cast<QKeyEvent*>(e)->key() == Qt::Key_V) onRelease();
            return false;
        }
    } watcher;
    watcher.onRelease = [&] {
        boxesAtRelease = host_.boxes.size();
        lastRowAtRelease = text(50, 1);
    };
    grid_->installEventFilter(&watcher);
    focusOn(1, 1);
    paste(column);
    grid_->removeEventFilter(&watcher);

    EXPECT_EQ(text(50, 1), "50");
    EXPECT_EQ(lastRowAtRelease, "50");  // the paste was done
    EXPECT_EQ(boxesAtRelease, 0u);      // and nothing said before the key-up
    ASSERT_EQ(host_.boxes.size(), 1u);
    EXPECT_EQ(host_.boxes[0].caption, gbk("提示"));
    EXPECT_EQ(host_.boxes[0].text, leftOutMessage("10"));
    EXPECT_EQ(host_.boxes[0].style & rt::mb::ButtonMask, rt::mb::Ok);
}

TEST_F(GridPaste, ValuesPastTheLastColumnCountButBlankFieldsDoNot) {
    focusOn(1, 2);
    // Line 1 leaves 3 and 4 out; line 2 leaves a blank field and 6 out.
    paste(QStringLiteral("1\t2\t3\t4\n5\t\t \t6"));
    EXPECT_EQ(text(1, 3), "2");
    EXPECT_EQ(text(2, 2), "5");
    ASSERT_EQ(host_.boxes.size(), 1u);
    EXPECT_EQ(host_.boxes[0].text, leftOutMessage("3"));

    // Nothing left out, or only blanks and empty lines: no message.
    host_.boxes.clear();
    focusOn(50, 1);
    paste(QStringLiteral("7\t8\t9\t \t\n\n  \n"));
    EXPECT_EQ(text(50, 3), "9");
    EXPECT_TRUE(host_.boxes.empty());

    // A refused paste says nothing either.
    grid_->writeSetting(gp::Editable, 0);
    paste(QStringLiteral("1\t2\t3\t4\t5"));
    EXPECT_TRUE(host_.boxes.empty());
}

// "1,000" was stored as 1 and its "000" overwrote the neighbouring cell.
TEST_F(GridPaste, FormattedThousandsAreStoredWholeWithoutTheirCommas) {
    ASSERT_TRUE(grid_->setColumnType(2, 1));  // a Text column keeps the text as pasted
    grid_->setCellText(1, 2, "keep");
    grid_->setCellText(2, 2, "keep");
    focusOn(1, 1);
    paste(QStringLiteral("1,000\r\n2,500\r\n"));
    EXPECT_EQ(text(1, 1), "1000");
    EXPECT_EQ(text(2, 1), "2500");
    EXPECT_EQ(text(1, 2), "keep");
    EXPECT_EQ(text(2, 2), "keep");

    focusOn(3, 2);
    paste(QStringLiteral("12,345,678\t-1,000"));
    EXPECT_EQ(text(3, 2), "12345678");
    EXPECT_EQ(grid::numericValue(text(3, 2)), 12345678);  // what the leading-number reading sees
    EXPECT_EQ(text(3, 3), "-1000");
    EXPECT_TRUE(host_.boxes.empty());

    // On one line without tabs the comma still separates.
    focusOn(4, 1);
    paste(QStringLiteral("1,000"));
    EXPECT_EQ(text(4, 1), "1");
    EXPECT_EQ(text(4, 2), "000");
}

}  // namespace
