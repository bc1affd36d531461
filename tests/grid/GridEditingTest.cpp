// Working in a grid with real keys and clicks: the number filter and its
// normalisation, Esc, Enter and Tab moving on, click-to-edit, the refusals of
// a grid that is not editable, copy and cut, scrolling, and the editor while
// the view scrolls.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include <utility>
#include <vector>

#include "GridEditingFixture.h"
#include "grid/GridEditor.h"

namespace {

using namespace grid_test;
using grid::CGridCtrl;

TEST_F(GridEditing, NumberFilterRefusesWithABeepAndTheEditNormalises) {
    focusOn(1, 1);
    type("1-2..6");  // "-" after a digit and the second "." are dropped
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->text(), QStringLiteral("12.6"));
    type("x");  // refused with a beep
    EXPECT_EQ(editor()->text(), QStringLiteral("12.6"));
    key(Qt::Key_Return);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(text(1, 1), "13");  // 0 decimals
    EXPECT_EQ(count(ev::EditCommitted), 1);

    // 007 stores 7, "5." stores 5; Enter moved down (EnterMoves 2).
    ASSERT_EQ(grid_->focusCell(), (grid::CellId{2, 1}));
    type("007");
    key(Qt::Key_Return);
    EXPECT_EQ(text(2, 1), "7");
    type("5.");
    key(Qt::Key_Return);
    EXPECT_EQ(text(3, 1), "5");
    // A minus only at the very start.
    type("-3");
    key(Qt::Key_Return);
    EXPECT_EQ(text(4, 1), "-3");
    expectConsistent(*grid_);
}

TEST_F(GridEditing, NormalisationAndFilterRules) {
    EXPECT_EQ(grid::normaliseNumberText("007"), "7");
    EXPECT_EQ(grid::normaliseNumberText("00.5"), "0.5");
    EXPECT_EQ(grid::normaliseNumberText("5."), "5");
    EXPECT_EQ(grid::normaliseNumberText("000"), "000");  // worth 0: left alone
    using grid::FilterVerdict;
    const int32_t number = grid::coltype::Number;
    EXPECT_EQ(grid::filterCharacter(number, '-', "12", 2, false), FilterVerdict::Drop);
    EXPECT_EQ(grid::filterCharacter(number, '-', "12", 0, true), FilterVerdict::Accept);
    EXPECT_EQ(grid::filterCharacter(number, '5', "-1", 0, false), FilterVerdict::Drop);
    EXPECT_EQ(grid::filterCharacter(number, ' ', "12", 0, true), FilterVerdict::EmptyAll);
    EXPECT_EQ(grid::filterCharacter(number, ' ', "12", 1, false), FilterVerdict::Beep);
    EXPECT_EQ(grid::filterCharacter(grid::coltype::Date, '/', "", 0, false), FilterVerdict::Accept);
    EXPECT_EQ(grid::filterCharacter(grid::coltype::Date, 'a', "", 0, false), FilterVerdict::Beep);
    EXPECT_EQ(grid::filterCharacter(grid::coltype::Text, 'a', "", 0, false), FilterVerdict::Accept);
}

TEST_F(GridEditing, EscKeepsTheTextAndStillCommits) {
    grid_->setCellText(2, 2, "40");
    focusOn(2, 2);
    type("99");
    key(Qt::Key_Escape);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(text(2, 2), "40");
    EXPECT_EQ(count(ev::EditCommitted), 1);
    EXPECT_EQ(count(ev::EditorOpening), 1);
    EXPECT_EQ(grid_->focusCell(), (grid::CellId{2, 2}));
}

TEST_F(GridEditing, EnterOnTheLastRowWrapsToTheNextColumnAndLeavesAtTheLastCell) {
    focusOn(5, 1);
    type("8");
    key(Qt::Key_Return);
    EXPECT_EQ(text(5, 1), "8");
    EXPECT_EQ(grid_->focusCell(), (grid::CellId{1, 2}));
    focusOn(5, 3);
    key(Qt::Key_Return);  // the last cell: nothing to move to
    EXPECT_EQ(grid_->focusCell(), (grid::CellId{5, 3}));
}

TEST_F(GridEditing, TabMovesOnWrapsAndLeavesTheGridAtTheEnd) {
    auto* after = new QLineEdit(window_.get());
    after->setGeometry(310, 0, 80, 20);
    after->show();
    focusOn(1, 3);
    key(Qt::Key_Tab);
    EXPECT_EQ(grid_->focusCell(), (grid::CellId{2, 1}));
    key(Qt::Key_Backtab);
    EXPECT_EQ(grid_->focusCell(), (grid::CellId{1, 3}));
    // Typing and Tab go on cell after cell with an editor each time.
    focusOn(5, 2);
    type("4");
    key(Qt::Key_Tab);
    EXPECT_EQ(text(5, 2), "4");
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(grid_->focusCell(), (grid::CellId{5, 3}));
    key(Qt::Key_Tab);  // commits, then the last cell passes Tab on
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), after);
}

TEST_F(GridEditing, ClickMovesTheFocusAndASecondClickEditsWithTheCaretAtTheEnd) {
    grid_->setCellText(2, 1, "123");
    click(2, 1);
    EXPECT_EQ(grid_->focusCell(), (grid::CellId{2, 1}));
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(count(ev::FocusChanged), 1);
    EXPECT_EQ(count(ev::Clicked), 1);
    click(2, 1);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->text(), QStringLiteral("123"));
    EXPECT_FALSE(editor()->hasSelectedText());
    EXPECT_EQ(editor()->cursorPosition(), 3);
    type("4");
    key(Qt::Key_Return);
    EXPECT_EQ(text(2, 1), "1234");
    // A click on a header cell reports it.
    click(0, 2);
    EXPECT_EQ(count(ev::FixedCellClicked), 1);
}

TEST_F(GridEditing, AVetoOrEditableFalseRefusesTypingPasteAndDelete) {
    grid_->setCellText(1, 1, "5");
    focusOn(1, 1);
    refuseEdits_ = true;
    type("7");
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(count(ev::EditorOpening), 0);
    refuseEdits_ = false;

    grid_->writeSetting(gp::Editable, 0);
    type("7");
    key(Qt::Key_F2);
    EXPECT_EQ(editor(), nullptr);
    key(Qt::Key_Delete);
    EXPECT_EQ(text(1, 1), "5");
    QGuiApplication::clipboard()->setText(QStringLiteral("9"));
    key(Qt::Key_V, Qt::ControlModifier);
    key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(text(1, 1), "5");
    EXPECT_FALSE(grid_->pasteText("9").wrote);
}

TEST_F(GridEditing, CopyAndCutRoundTripThroughTheClipboard) {
    grid_->setCellText(1, 1, "1");
    grid_->setCellText(1, 2, "2");
    grid_->setCellText(2, 1, "3");
    grid_->setCellText(2, 2, "4");
    focusOn(1, 1);
    key(Qt::Key_Down, Qt::ShiftModifier);
    key(Qt::Key_Right, Qt::ShiftModifier);
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("1\t2\r\n3\t4"));
    key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(text(1, 1), "");
    EXPECT_EQ(text(2, 2), "");
    focusOn(3, 2);
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(text(3, 2), "1");
    EXPECT_EQ(text(3, 3), "2");
    EXPECT_EQ(text(4, 2), "3");
    EXPECT_EQ(text(4, 3), "4");
    EXPECT_FALSE(grid_->isCellMarked(4, 3));
}

TEST_F(GridEditing, DeleteClearsTheSelectionWithNotifications) {
    grid_->setCellText(1, 1, "1");
    grid_->setCellText(1, 2, "2");
    int changing = 0, changed = 0;
    QObject::connect(grid_, &CGridCtrl::parentNotified, [&](int code, int, int) {
        (code == grid::gridnotify::CellChanging ? changing : changed)++;
    });
    focusOn(1, 1);
    key(Qt::Key_Right, Qt::ShiftModifier);
    key(Qt::Key_Delete);
    EXPECT_EQ(text(1, 1), "");
    EXPECT_EQ(text(1, 2), "");
    EXPECT_EQ(changing, changed);
    EXPECT_GE(changed, 2);
}

TEST_F(GridEditing, TheFocusScrollsIntoViewAndFixedRowsStay) {
    grid_->setRowCount(51);
    ASSERT_FALSE(grid_->verticalScrollBar()->isHidden());
    const QRect header = grid_->cellRect(0, 1);
    focusOn(1, 1);
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid_->focusCell(), (grid::CellId{50, 3}));
    EXPECT_GT(grid_->scrollRow(), 1);
    EXPECT_TRUE(grid_->cellArea().contains(grid_->cellRect(50, 3)));
    EXPECT_EQ(grid_->cellRect(0, 1), header);
    const grid::CellRange shown = grid_->visibleCells();
    EXPECT_EQ(shown.firstRow, grid_->scrollRow());
    EXPECT_EQ(shown.lastRow, 50);
    key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(grid_->focusCell(), (grid::CellId{1, 1}));
    EXPECT_EQ(grid_->scrollRow(), 1);
    // The wheel scrolls by the system's line count.
    QWheelEvent wheel(QPointF(50, 50), grid_->mapToGlobal(QPointF(50, 50)), {}, QPoint(0, -120), Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid_, &wheel);
    EXPECT_EQ(grid_->scrollRow(), 1 + QApplication::wheelScrollLines());
}

// ---- The editor while the view scrolls -----------------------------------------------

// An open editor scrolled over the header row and then out of sight, keeping
// the keys: digits went into a cell the user could not see.
TEST_F(GridEditing, AnEditorWhoseCellScrollsOutOfViewCommitsAndGivesTheKeysBack) {
    grid_->setRowCount(51);
    focusOn(2, 1);
    type("12");
    ASSERT_NE(editor(), nullptr);
    QWheelEvent wheel(QPointF(100, 100), grid_->mapToGlobal(QPointF(100, 100)), {}, QPoint(0, -120), Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid_, &wheel);
    ASSERT_GT(grid_->scrollRow(), 2);
    EXPECT_EQ(grid_->editorWidget(), nullptr);
    EXPECT_EQ(text(2, 1), "12");  // committed, as a click elsewhere would
    EXPECT_EQ(count(ev::EditCommitted), 1);
    EXPECT_EQ(QApplication::focusWidget(), grid_);
    // Typing on opens the editor on the focus cell, scrolled back into view below the headers.
    type("5");
    ASSERT_NE(editor(), nullptr);
    const QRect header = grid_->cellRect(0, 1);
    EXPECT_GT(editor()->geometry().top(), header.bottom());
    EXPECT_TRUE(grid_->cellArea().contains(editor()->geometry()));
    key(Qt::Key_Return);
    EXPECT_EQ(text(2, 1), "5");
}

TEST_F(GridEditing, AnEditorMovesWithItsCellWhileTheCellStaysInView) {
    grid_->setRowCount(51);
    QScrollBar* bar = grid_->verticalScrollBar();
    focusOn(5, 1);
    type("7");
    ASSERT_NE(editor(), nullptr);
    bar->setValue(bar->value() + 1);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->geometry().topLeft(), grid_->cellRect(5, 1).topLeft());
    type("8");
    // Dragged by the scroll bar under the header row, the cell takes what was typed.
    bar->setValue(bar->value() + 4);
    EXPECT_EQ(grid_->editorWidget(), nullptr);
    EXPECT_EQ(text(5, 1), "78");
    type("9");
    EXPECT_EQ(grid_->scrollRow(), 5);  // back in view to edit it
    key(Qt::Key_Escape);
    EXPECT_EQ(text(5, 1), "78");
}

// ---- Line breaks -------------------------------------------------------------------------

// Ctrl+Enter ended the edit and moved down instead of breaking the line.
TEST_F(GridEditing, CtrlEnterBreaksTheLineInATextCell) {
    ASSERT_TRUE(grid_->setColumnType(2, 1));
    focusOn(1, 2);
    type("ab");
    QWidget* edit = grid_->editorWidget();
    ASSERT_NE(edit, nullptr);
    const int oneLine = edit->height();
    key(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(grid_->editorWidget(), edit);
    EXPECT_GT(edit->height(), oneLine);  // a line taller for the new line
    type("cd");
    key(Qt::Key_Return);
    EXPECT_EQ(grid_->editorWidget(), nullptr);
    EXPECT_EQ(text(1, 2), "ab\r\ncd");
    EXPECT_EQ(grid_->focusCell(), (grid::CellId{2, 2}));
    EXPECT_EQ(count(ev::EditCommitted), 1);

    // Opened and left unchanged, a cell keeps its text byte for byte, its line breaks too.
    focusOn(1, 2);
    key(Qt::Key_F2);
    key(Qt::Key_Escape);
    EXPECT_EQ(text(1, 2), "ab\r\ncd");
    grid_->setCellText(3, 2, "x\ny");
    focusOn(3, 2);
    key(Qt::Key_F2);
    key(Qt::Key_Return);
    EXPECT_EQ(text(3, 2), "x\ny");

    // A number has one line: there Ctrl+Enter ends the edit as Enter does.
    focusOn(1, 1);
    type("5");
    key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(grid_->editorWidget(), nullptr);
    EXPECT_EQ(text(1, 1), "5");
}

TEST_F(GridEditing, AHandlerThatDestroysTheGridStopsIt) {
    focusOn(1, 1);
    grid_->setEventSink([this](int32_t event, const std::vector<int32_t>&) {
        if (event == ev::EditorOpening) {
            // Nothing of the sink is touched once the grid (which holds it) is gone.
            CGridCtrl* doomed = std::exchange(grid_, nullptr);
            delete doomed;
        }
        return rt::HandlerResult::none();
    });
    QPointer<CGridCtrl> watch(grid_);
    EXPECT_FALSE(grid_->openEditor(1, 1, 1));
    EXPECT_TRUE(watch.isNull());
}

}  // namespace
