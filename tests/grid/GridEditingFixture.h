// A grid in a window of its own, worked with real keys and clicks: the order
// grid's settings, events recorded, message boxes recorded by the test host.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "GridTestSupport.h"

namespace grid_test {

namespace ev = grid::gridevent;

// The order grid's settings with six rows of which one fixed, four columns
// of which one fixed, columns 1 to 3 numeric, 300 x 200 pixels.
class GridEditing : public ::testing::Test {
protected:
    void SetUp() override {
        rt::setHost(&host_);
        make(storedSettings(6, 4, 1, 1, 20, 50, true, true));
    }
    void TearDown() override {
        window_.reset();
        rt::setHost(nullptr);
    }
    void make(const forms::GridSettings& s) {
        window_ = std::make_unique<QWidget>();
        window_->resize(400, 300);
        grid_ = new grid::CGridCtrl(s, window_.get());
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
    // The one-line editor of the numeric columns.
    QLineEdit* editor() const { return qobject_cast<QLineEdit*>(grid_->editorWidget()); }
    void focusOn(int r, int c) {
        grid_->moveFocusTo(r, c);
        grid_->setFocus();
    }
    std::string text(int r, int c) const { return grid_->cellText(r, c); }
    int count(int32_t event) const { return static_cast<int>(std::count(events_.begin(), events_.end(), event)); }
    // Each key to the widget that has the focus by then (the editor once it opened).
    static void type(const char* keys) {
        for (const char* k = keys; *k; ++k) QTest::keyClicks(QApplication::focusWidget(), QString(QLatin1Char(*k)));
    }
    static void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), k, m);
    }
    void click(int r, int c, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::mouseClick(grid_, Qt::LeftButton, m, grid_->cellRect(r, c).center());
    }

    rt_test::RecordingHost host_;
    std::unique_ptr<QWidget> window_;
    grid::CGridCtrl* grid_ = nullptr;
    std::vector<int32_t> events_;
    bool refuseEdits_ = false;
};

}  // namespace grid_test
