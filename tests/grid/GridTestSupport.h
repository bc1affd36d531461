// Grids for the tests: the stored windows' settings, a consistency check of
// the model to run after changes, and a loaded window holding grid units.
#pragma once

#include <gtest/gtest.h>

#include <QWidget>

#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "forms/UnitBlocks.h"
#include "grid/GridCtrl.h"
#include "grid/GridUnit.h"
#include "platform/Gbk.h"
#include "runtime/RuntimeTestSupport.h"
#include "runtime/Text.h"

namespace grid_test {

namespace gp = forms::gridprop;

inline std::string gbk(std::string_view utf8) { return platform::utf8ToGbk(utf8); }

// A text argument that owns its bytes.
struct TextArg {
    std::string bytes;
    explicit TextArg(std::string_view gbkText) : bytes(gbkText) {}
    rt::TaggedArg arg() const { return rt::TaggedArg::ofText(bytes.c_str()); }
};
inline rt::TaggedArg floatArg(float f) {
    rt::TaggedArg a;
    std::memcpy(&a.low, &f, 4);
    a.tag = rt::tag::Float;
    return a;
}

// The settings shared by the stored windows of the program, with the grid's own shape.
inline forms::GridSettings storedSettings(int32_t rows, int32_t columns, int32_t fixedRows, int32_t fixedColumns,
                                          int32_t rowHeight, int32_t columnWidth, bool editable, bool marked) {
    forms::GridSettings s = forms::defaultGridSettings();
    s[gp::FocusColor] = 0x0000FF;
    s[gp::SelectionBackColor] = 0x00FFFF;
    s[gp::SelectionTextColor] = 0xFF0000;
    s[gp::EnterMoves] = 2;
    s[gp::AllowRowResize] = 0;
    s[gp::AllowColumnResize] = 0;
    s[gp::RowCount] = rows;
    s[gp::ColumnCount] = columns;
    s[gp::FixedRowCount] = fixedRows;
    s[gp::FixedColumnCount] = fixedColumns;
    s[gp::DefaultRowHeight] = rowHeight;
    s[gp::DefaultColumnWidth] = columnWidth;
    s[gp::Editable] = editable;
    s[gp::MarkedSelection] = marked;
    return s;
}
inline forms::GridSettings orderGridSettings() { return storedSettings(1, 4, 1, 1, 20, 50, true, true); }
inline forms::GridSettings resultListSettings() { return storedSettings(1, 3, 1, 1, 19, 50, false, true); }
inline forms::GridSettings resultSummarySettings() { return storedSettings(7, 2, 0, 0, 20, 90, false, false); }

// The model's invariants: cells everywhere, the fixed bit exactly on cells of
// fixed rows and columns, the focus bit only on the focus cell, the mark bit
// and the set of marked cells in step, one type record per existing column.
inline void expectConsistent(const grid::CGridCtrl& g) {
    SCOPED_TRACE("grid consistency");
    ASSERT_GE(g.fixedRowCount(), 0);
    ASSERT_LE(g.fixedRowCount(), g.rowCount());
    ASSERT_LE(g.fixedColumnCount(), g.columnCount());
    size_t marked = 0;
    for (int32_t r = 0; r < g.rowCount(); ++r) {
        EXPECT_GE(g.rowHeight(r), 0);
        for (int32_t c = 0; c < g.columnCount(); ++c) {
            const grid::CGridCellBase* cell = g.cell(r, c);
            ASSERT_NE(cell, nullptr) << r << "," << c;
            bool fixed = r < g.fixedRowCount() || c < g.fixedColumnCount();
            EXPECT_EQ(cell->hasState(grid::cellstate::Fixed), fixed) << r << "," << c;
            bool focus = g.focusCell() == grid::CellId{r, c};
            EXPECT_EQ(cell->hasState(grid::cellstate::Focused), focus) << r << "," << c;
            if (cell->hasState(grid::cellstate::Marked)) ++marked;
        }
    }
    EXPECT_EQ(marked, g.markedCellCount());
    if (!g.focusCell().isNone()) {
        EXPECT_TRUE(g.isValidCell(g.focusCell().row, g.focusCell().column));
        EXPECT_TRUE(g.isDataCell(g.focusCell().row, g.focusCell().column));
    }
    std::set<int32_t> typed;
    for (const grid::ColumnTypeRecord& r : g.columnTypeRecords()) {
        EXPECT_TRUE(g.isValidColumn(r.column)) << r.column;
        EXPECT_TRUE(typed.insert(r.column).second) << "two records for column " << r.column;
        EXPECT_GE(r.type, grid::coltype::Text);
        EXPECT_LE(r.type, grid::coltype::DropList);
    }
    EXPECT_EQ(g.cell(g.rowCount(), 0), nullptr);
    EXPECT_EQ(g.cell(0, g.columnCount()), nullptr);
}

// A loaded window in the runtime's window table whose units are grids made
// by the grid unit type, as the window loader makes them.
class GridWindowFixture : public rt_test::RuntimeFixture {
protected:
    static constexpr rt::WindowId kWindow = 0x52010001;
    static constexpr rt::ControlId kOrderGrid = 0x16010001;

    void SetUp() override {
        RuntimeFixture::SetUp();
        grid::installGridUnit();
        parent_ = std::make_unique<QWidget>();
        parent_->resize(1214, 660);
        rt::WindowRecord& window = rt::windowTable().emplace_back();
        window.id = kWindow;
        rt::UnitRecord& self = window.units.emplace_back();
        self.id = 0x06010000;
        self.type = rt::tag::WindowUnit;
        self.live = &windowControl_;
    }
    void TearDown() override {
        rt::windowTable().clear();
        parent_.reset();
        RuntimeFixture::TearDown();
    }

    // Adds a grid unit made from the stored block of `settings`.
    grid::CGridCtrl* addGrid(rt::ControlId id, const forms::GridSettings& settings, std::string_view gbkName = "grid") {
        return addGridFromBlock(id, forms::encodeGridBlock(settings), gbkName);
    }
    grid::CGridCtrl* addGridFromBlock(rt::ControlId id, const std::string& block, std::string_view gbkName = "grid") {
        rt::WindowRecord& window = rt::windowTable().front();
        rt::UnitRecord& unit = window.units.emplace_back();
        unit.id = id;
        unit.type = forms::unittype::Grid;
        unit.name = gbkName;
        unit.left = 10;
        unit.top = 20;
        unit.width = 300;
        unit.height = 200;
        unit.flags = rt::unitflag::Visible;
        unit.block = block;
        QWidget* w = gridType().create(window, unit, parent_.get());
        return qobject_cast<grid::CGridCtrl*>(w);
    }
    rt::UnitRecord& unit(rt::ControlId id) { return *rt::windowTable().front().findUnit(id); }
    static grid::GridUnitType& gridType() { return *static_cast<grid::GridUnitType*>(rt::findUnitType(forms::unittype::Grid)); }

    rt_test::FakeControl windowControl_;
    std::unique_ptr<QWidget> parent_;
};

}  // namespace grid_test
