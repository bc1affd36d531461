// Selecting whole columns and rows by their headers: the press, Shift and
// dragging along the headers, what copy and Delete then work on, and the
// setting that turns it off.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>

#include "GridEditingFixture.h"

namespace {

using namespace grid_test;

class GridHeaderSelection : public GridEditing {
protected:
    void SetUp() override {
        GridEditing::SetUp();
        // Each data cell holds its row and column: "23" at row 2, column 3.
        for (int r = 1; r < grid_->rowCount(); ++r)
            for (int c = 1; c < grid_->columnCount(); ++c) grid_->setCellText(r, c, std::to_string(r * 10 + c));
    }
    // The data cells marked, row by row, as "rc" numbers.
    std::vector<int> marked() const {
        std::vector<int> cells;
        for (int r = 1; r < grid_->rowCount(); ++r)
            for (int c = 1; c < grid_->columnCount(); ++c)
                if (grid_->isCellMarked(r, c)) cells.push_back(r * 10 + c);
        return cells;
    }
    // A press on one cell, the mouse dragged to another, released there.
    void drag(int r0, int c0, int r1, int c1) {
        const QPoint from = grid_->cellRect(r0, c0).center(), to = grid_->cellRect(r1, c1).center();
        QTest::mousePress(grid_, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, to, grid_->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(grid_, &move);
        QTest::mouseRelease(grid_, Qt::LeftButton, {}, to);
    }
    static QString clipboard() { return QGuiApplication::clipboard()->text(); }
};

// A press on a header returned early: Ctrl+C copied, and Delete cleared, the
// old focus cell instead of the column.
TEST_F(GridHeaderSelection, APressOnAColumnHeaderSelectsTheColumnForCopyAndDelete) {
    focusOn(3, 1);
    events_.clear();
    click(0, 2);
    EXPECT_EQ(marked(), (std::vector<int>{12, 22, 32, 42, 52}));
    EXPECT_EQ(grid_->focusCell(), (grid::CellId{3, 2}));  // into the column, in the row it was in
    EXPECT_EQ(count(ev::FixedCellClicked), 1);
    EXPECT_EQ(count(ev::FocusChanged), 1);
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard(), QStringLiteral("12\r\n22\r\n32\r\n42\r\n52"));
    key(Qt::Key_Delete);
    for (int r = 1; r <= 5; ++r) {
        EXPECT_EQ(text(r, 2), "") << r;
        EXPECT_EQ(text(r, 1), std::to_string(r * 10 + 1)) << r;
        EXPECT_EQ(text(r, 3), std::to_string(r * 10 + 3)) << r;
    }
    expectConsistent(*grid_);
}

TEST_F(GridHeaderSelection, APressOnARowHeaderSelectsTheRow) {
    focusOn(1, 3);
    click(2, 0);
    EXPECT_EQ(marked(), (std::vector<int>{21, 22, 23}));
    EXPECT_EQ(grid_->focusCell(), (grid::CellId{2, 3}));
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard(), QStringLiteral("21\t22\t23"));
    // Without a focus cell the focus goes to the row's first cell in view.
    grid_->clearFocus();
    click(4, 0);
    EXPECT_EQ(grid_->focusCell(), (grid::CellId{4, 1}));
    EXPECT_EQ(marked(), (std::vector<int>{41, 42, 43}));
}

TEST_F(GridHeaderSelection, DraggingAlongTheHeadersOrShiftExtendsTheLines) {
    drag(0, 1, 0, 3);
    EXPECT_EQ(marked().size(), 15u);
    drag(4, 0, 2, 0);
    EXPECT_EQ(marked(), (std::vector<int>{21, 22, 23, 31, 32, 33, 41, 42, 43}));
    // The drag may run on into the cells: the column under the mouse counts.
    drag(0, 2, 3, 3);
    EXPECT_EQ(marked(), (std::vector<int>{12, 13, 22, 23, 32, 33, 42, 43, 52, 53}));
    click(0, 1);
    click(0, 2, Qt::ShiftModifier);
    EXPECT_EQ(marked(), (std::vector<int>{11, 12, 21, 22, 31, 32, 41, 42, 51, 52}));
    // The corner selects everything.
    click(0, 0);
    EXPECT_EQ(marked().size(), 15u);
    expectConsistent(*grid_);
}

TEST_F(GridHeaderSelection, WithTheSettingOffAPressOnAHeaderClearsTheSelection) {
    grid_->writeSetting(gp::WholeLineSelection, 0);
    focusOn(1, 1);
    key(Qt::Key_Right, Qt::ShiftModifier);
    ASSERT_EQ(marked().size(), 2u);
    click(0, 3);
    EXPECT_TRUE(marked().empty());
    EXPECT_EQ(grid_->focusCell(), (grid::CellId{1, 2}));
    EXPECT_EQ(count(ev::FixedCellClicked), 1);
}

}  // namespace
