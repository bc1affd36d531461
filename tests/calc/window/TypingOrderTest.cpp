// The order typed, pasted, deleted and cut in the order grid of the real
// window with real keys, recounted through the grid's events, then computed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include "calc/CalcState.h"
#include "grid/GridCtrl.h"
#include "CalcWindowSupport.h"

using namespace calc_test;

namespace {

class TypingOrder : public CalcWindow {
protected:
    grid::CGridCtrl* orderGrid() { return qobject_cast<grid::CGridCtrl*>(widget(control::OrderGrid)); }
    void startAt(int32_t row, int32_t column) {
        grid::CGridCtrl* g = orderGrid();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        g->setFocus();
        g->moveFocusTo(row, column);
    }
    // Each key to the widget that has the focus by then (the editor once it opened).
    static void keys(const char* text) {
        for (const char* k = text; *k; ++k) QTest::keyClicks(QApplication::focusWidget(), QString(QLatin1Char(*k)));
    }
    static void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), k, m);
    }
    static std::string countLabel() { return text(control::OrderCount, property::LabelCaption); }
};

TEST_F(TypingOrder, DigitsAndEnterCountTheOrderAndTheCalculationReportsIt) {
    ASSERT_NE(orderGrid(), nullptr);
    startAt(1, 1);
    for (const char* q : {"1000", "2500", "700"}) {
        keys(q);
        key(Qt::Key_Return);
    }
    EXPECT_EQ(countLabel(), gbk("共3款合计4200个"));
    EXPECT_EQ(orderGrid()->focusCell(), (grid::CellId{4, 1}));
    setUps("10");
    chooseTrials(kTenTrials);
    press();
    EXPECT_EQ(report(), gbk(kExampleReport));
}

TEST_F(TypingOrder, PasteDeleteAndCutRecount) {
    ASSERT_NE(orderGrid(), nullptr);
    QString column;
    for (int i = 1; i <= 60; ++i) column += QString::number(i) + QStringLiteral("\r\n");
    QGuiApplication::clipboard()->setText(column);
    startAt(1, 1);
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(orderGrid()->rowCount(), 51);
    EXPECT_EQ(calc::state().order.styleCount, 50);  // lines past the last row go nowhere
    EXPECT_EQ(grid::call::getCellText(kMainWindow, control::OrderGrid, 50, 1), "50");

    startAt(1, 1);
    key(Qt::Key_Delete);
    EXPECT_EQ(calc::state().order.styleCount, 49);
    startAt(2, 1);
    key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(calc::state().order.styleCount, 48);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("2"));
}

}  // namespace
