// Working in a grid with real keys and clicks: the number filter and its
// normalisation, Esc, Enter and Tab moving on, click-to-edit, the refusals of
// a grid that is not editable, the clipboard and the paste parser, scrolling.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include <utility>
#include <vector>

#include "GridTestSupport.h"
#include "grid/GridClipboard.h"
#include "grid/GridEditor.h"

namespace {

using namespace grid_test;
using grid::CGridCtrl;
namespace ev = grid::gridevent;

// The order grid's shape: 51 rows of which one fixed, four columns of which
// one fixed, columns 1 to 3 numeric, in a window of its own.
class GridEditing : public ::testing::Test {
protected:
    void SetUp() override { make(storedSettings(6, 4, 1, 1, 20, 50, true, true)); }
    void make(const forms::GridSettings& s) {
        window_ = std::make_unique<QWidget>();
        window_->resize(400, 300);
        grid_ = new CGridCtrl(s, window_.get());
        grid_->setGeometry(0, 0, 300, 200);
        for (int c = 1; c < grid_->columnCount(); ++c) grid_->setColumnType(c, 2);
        grid_->setEventSink([this](int32_t event, const std::vector<int32_t>& args) {
            events_.push_back(event);
            if (event == ev::MayEdit && refuseEdits_) return rt::HandlerResult::ofBool(false);
            (void)args;
            return rt::HandlerResult::none();
        });
        window_->show();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        grid_->setFocus();
    }
    QLineEdit* editor() const { return qobject_cast<QLineEdit*>(grid_->editorWidget()); }
    void focusOn(int r, int c) {
        grid_->moveFocusTo(r, c);
        grid_->setFocus();
    }
    std::string text(int r, int c) const { return grid_->cellText(r, c); }
    int count(int32_t event) const { return static_cast<int>(std::count(events_.begin(), events_.end(), event)); }
    // Each key to the widget that has the focus by then (the editor once it opened).
    void type(const char* keys) {
        for (const char* k = keys; *k; ++k) QTest::keyClicks(QApplication::focusWidget(), QString(QLatin1Char(*k)));
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(QApplication::focusWidget(), k, m); }
    void click(int r, int c) { QTest::mouseClick(grid_, Qt::LeftButton, {}, grid_->cellRect(r, c).center()); }

    std::unique_ptr<QWidget> window_;
    CGridCtrl* grid_ = nullptr;
    std::vector<int32_t> events_;
    bool refuseEdits_ = false;
};

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
    // A click on a header cell reports it and moves nothing.
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
    EXPECT_FALSE(grid_->pasteText("9"));
}

TEST_F(GridEditing, PasteSplitsAtTabCommaAndLineFeedAndNeverAddsRows) {
    std::vector<std::pair<int, int>> notified;
    QObject::connect(grid_, &CGridCtrl::parentNotified, [&](int code, int r, int c) {
        if (code == grid::gridnotify::CellChanged) notified.emplace_back(r, c);
    });
    focusOn(1, 1);
    QGuiApplication::clipboard()->setText(QStringLiteral("1,2\t3"));
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(text(1, 1), "1");
    EXPECT_EQ(text(1, 2), "2");
    EXPECT_EQ(text(1, 3), "3");
    EXPECT_EQ(notified.size(), 3u);

    grid_->setCellText(2, 2, "old");
    focusOn(2, 1);
    ASSERT_TRUE(grid_->pasteText("1\t\t3"));
    EXPECT_EQ(text(2, 2), "");
    EXPECT_EQ(text(2, 3), "3");

    // A hidden row is skipped; lines and fields past the grid go nowhere.
    grid_->setRowHeight(4, 0);
    focusOn(3, 2);
    ASSERT_TRUE(grid_->pasteText("10\r\n20\r\n30\r\n40,41,42\n"));
    EXPECT_EQ(text(3, 2), "10");
    EXPECT_EQ(text(4, 2), "");
    EXPECT_EQ(text(5, 2), "20");
    EXPECT_EQ(grid_->rowCount(), 6);
    EXPECT_EQ(grid_->columnCount(), 4);
    expectConsistent(*grid_);
}

TEST(GridPasteText, FieldsAndLines) {
    using Lines = std::vector<std::vector<std::string>>;
    EXPECT_EQ(grid::splitPasteText("1,2\t3"), (Lines{{"1", "2", "3"}}));
    EXPECT_EQ(grid::splitPasteText("1\t\t3"), (Lines{{"1", "", "3"}}));
    EXPECT_EQ(grid::splitPasteText("a,\r\nb\n"), (Lines{{"a"}, {"b"}}));
    EXPECT_EQ(grid::splitPasteText("\n,x"), (Lines{{}, {"", "x"}}));
    EXPECT_EQ(grid::splitPasteText("a\rb"), (Lines{{"a\rb"}}));  // a lone CR stays
    EXPECT_TRUE(grid::splitPasteText("").empty());
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
