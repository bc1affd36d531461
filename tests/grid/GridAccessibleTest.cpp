// The grid as a table for assistive technology: counts, cell texts as shown,
// header cells, the focus cell, the marks, and cells that go with their rows.
#include <gtest/gtest.h>

#include <QAccessible>

#include "GridTestSupport.h"
#include "grid/GridAccessible.h"

namespace {

using namespace grid_test;
using grid::CGridCtrl;

std::string utf8(const QString& s) { return s.toStdString(); }

// Four rows and three columns: one header row ("款", "金额"), one header column.
class GridAccessibleTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid::installGridAccessibility();
        forms::GridSettings s = forms::defaultGridSettings();
        s[gp::RowCount] = 4;
        s[gp::ColumnCount] = 3;
        grid_ = std::make_unique<CGridCtrl>(s, nullptr);
        grid_->resize(300, 200);
        grid_->setCellText(0, 1, gbk("款"));
        grid_->setCellText(0, 2, gbk("金额"));
        grid_->setCellText(1, 0, "1");
        grid_->setCellText(2, 0, "2");
        grid_->setColumnType(2, 7);
        grid_->setCellText(1, 1, "A");
        grid_->setCellText(1, 2, "12");
        table_ = QAccessible::queryAccessibleInterface(grid_.get());
        ASSERT_NE(table_, nullptr);
        tableInterface_ = table_->tableInterface();
        ASSERT_NE(tableInterface_, nullptr);
    }
    QAccessibleInterface* cell(int r, int c) { return tableInterface_->cellAt(r, c); }

    std::unique_ptr<CGridCtrl> grid_;
    QAccessibleInterface* table_ = nullptr;
    QAccessibleTableInterface* tableInterface_ = nullptr;
};

TEST_F(GridAccessibleTest, ATableOfTheGridsCellsWithTheirShownTexts) {
    EXPECT_EQ(table_->role(), QAccessible::Table);
    EXPECT_EQ(tableInterface_->rowCount(), 4);
    EXPECT_EQ(tableInterface_->columnCount(), 3);
    EXPECT_GE(table_->childCount(), 12);
    EXPECT_EQ(utf8(cell(1, 1)->text(QAccessible::Name)), "A");
    EXPECT_EQ(utf8(cell(1, 2)->text(QAccessible::Name)), "￥12");  // as painted
    EXPECT_EQ(utf8(cell(2, 2)->text(QAccessible::Name)), "");
    EXPECT_EQ(cell(4, 0), nullptr);
    EXPECT_EQ(cell(0, -1), nullptr);
    // One identity per cell, and children numbered row by row.
    EXPECT_EQ(cell(1, 2), cell(1, 2));
    for (int i = 0; i < 12; ++i) {
        QAccessibleInterface* child = table_->child(i);
        ASSERT_NE(child, nullptr) << i;
        EXPECT_EQ(table_->indexOfChild(child), i);
        EXPECT_EQ(child->parent(), table_);
        EXPECT_EQ(child->tableCellInterface()->rowIndex(), i / 3);
        EXPECT_EQ(child->tableCellInterface()->columnIndex(), i % 3);
    }
    // The cell's place on the screen is where it is painted.
    const QRect r = grid_->cellRect(1, 2);
    EXPECT_EQ(cell(1, 2)->rect(), QRect(grid_->mapToGlobal(r.topLeft()), r.size()));
    EXPECT_EQ(table_->childAt(cell(1, 2)->rect().center().x(), cell(1, 2)->rect().center().y()), cell(1, 2));
}

TEST_F(GridAccessibleTest, FixedRowsAndColumnsAreTheHeaders) {
    EXPECT_EQ(cell(0, 1)->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(cell(2, 0)->role(), QAccessible::RowHeader);
    EXPECT_EQ(cell(1, 1)->role(), QAccessible::Cell);
    EXPECT_EQ(utf8(cell(0, 2)->text(QAccessible::Name)), "金额");
    QAccessibleTableCellInterface* data = cell(2, 2)->tableCellInterface();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->columnHeaderCells(), QList<QAccessibleInterface*>{cell(0, 2)});
    EXPECT_EQ(data->rowHeaderCells(), QList<QAccessibleInterface*>{cell(2, 0)});
    EXPECT_TRUE(cell(0, 2)->tableCellInterface()->columnHeaderCells().isEmpty());
    EXPECT_EQ(utf8(tableInterface_->columnDescription(2)), "金额");
    EXPECT_EQ(utf8(tableInterface_->rowDescription(2)), "2");
    EXPECT_TRUE(cell(0, 2)->state().readOnly);
}

TEST_F(GridAccessibleTest, TheFocusCellIsTheFocusedChild) {
    EXPECT_EQ(table_->focusChild(), nullptr);
    grid_->setFocusCell(2, 1);
    EXPECT_EQ(table_->focusChild(), cell(2, 1));
    EXPECT_TRUE(cell(2, 1)->state().focused);
    grid_->setFocusCell(3, 2);
    EXPECT_EQ(table_->focusChild(), cell(3, 2));
    EXPECT_FALSE(cell(2, 1)->state().focused);
}

TEST_F(GridAccessibleTest, MarksAndCheckStates) {
    grid_->setCellMarked(2, 1, true);
    grid_->setCellMarked(2, 2, true);
    EXPECT_EQ(tableInterface_->selectedCellCount(), 2);
    EXPECT_EQ(tableInterface_->selectedCells(), (QList<QAccessibleInterface*>{cell(2, 1), cell(2, 2)}));
    EXPECT_TRUE(cell(2, 1)->state().selected);
    EXPECT_EQ(tableInterface_->selectedRows(), QList<int>{2});
    EXPECT_TRUE(tableInterface_->selectedColumns().isEmpty());
    grid_->setColumnType(1, 5);
    grid_->setCellChecked(3, 1, true);
    EXPECT_TRUE(cell(3, 1)->state().checkable);
    EXPECT_TRUE(cell(3, 1)->state().checked);
    EXPECT_FALSE(cell(1, 1)->state().checked);
}

// A cell interface kept by a client must not reach a row that is gone.
TEST_F(GridAccessibleTest, CellsGoWithTheirRowsAndTheGrid) {
    QAccessibleInterface* gone = cell(3, 2);
    grid_->setRowCount(2);
    EXPECT_EQ(tableInterface_->rowCount(), 2);
    EXPECT_FALSE(gone->isValid());
    EXPECT_EQ(utf8(gone->text(QAccessible::Name)), "");
    EXPECT_EQ(cell(3, 2), nullptr);
    QAccessible::Id id = QAccessible::uniqueId(cell(1, 1));
    grid_.reset();
    EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr);
}

}  // namespace
