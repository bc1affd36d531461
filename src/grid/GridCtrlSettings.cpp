// The grid's 30 settings: reads, the effect and refusals of each write, and
// the order in which a new control takes them.
#include <QPalette>

#include <algorithm>

#include "grid/GridCtrl.h"

namespace grid {
namespace {

namespace gp = forms::gridprop;

uint32_t colorRefOf(const QColor& c) {
    return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}

constexpr int32_t kLastBorderStyle = 5;

}  // namespace

uint32_t CGridCtrl::buttonFaceColour() const { return colorRefOf(palette().color(QPalette::Button)); }

int32_t CGridCtrl::borderWidth() const {
    switch (settings_[gp::BorderStyle]) {
        case 1: return 2;  // sunken client edge
        case 2: return 3;  // dialog frame
        case 3: return 1;  // static edge
        case 4: return 5;  // client edge inside a dialog frame
        case 5: return 1;  // plain one-pixel border
        default: return 0;
    }
}

int32_t CGridCtrl::readSetting(uint32_t own) const {
    if (own >= gp::Count) return 0;
    if (!storedSettingsFlag_) {
        switch (own) {
            case gp::RowCount: return rowCount();
            case gp::ColumnCount: return columnCount();
            case gp::FixedRowCount: return fixedRowCount();
            case gp::FixedColumnCount: return fixedColumnCount();
            default: break;
        }
    }
    return settings_[own];
}

void CGridCtrl::writeExtentSetting(uint32_t own, int32_t value) {
    if (value < 0) return;  // a negative height or width is refused
    settings_[own] = value;
    const int32_t extent = std::max(value, minimumExtent());
    auto& extents = own == gp::DefaultRowHeight ? rowHeights_ : columnWidths_;
    std::fill(extents.begin(), extents.end(), extent);
    layoutChanged();
}

void CGridCtrl::writeCountSetting(uint32_t own, int32_t value) {
    if (value <= 0) return;
    const bool rows = own == gp::RowCount;
    if (!(rows ? setRowCount(value) : setColumnCount(value))) return;
    settings_[own] = value;
    // Every row (column) takes the default extent again, also one set by hand before.
    const uint32_t extentSetting = rows ? gp::DefaultRowHeight : gp::DefaultColumnWidth;
    const int32_t extent = std::max(settings_[extentSetting], minimumExtent());
    auto& extents = rows ? rowHeights_ : columnWidths_;
    std::fill(extents.begin(), extents.end(), extent);
    layoutChanged();
}

void CGridCtrl::writeSetting(uint32_t own, int32_t value) {
    switch (own) {
        case gp::DefaultRowHeight:
        case gp::DefaultColumnWidth: writeExtentSetting(own, value); return;
        case gp::RowCount:
        case gp::ColumnCount: writeCountSetting(own, value); return;
        case gp::FixedRowCount:
            if (setFixedRowCount(value)) settings_[own] = value;
            return;
        case gp::FixedColumnCount:
            if (setFixedColumnCount(value)) settings_[own] = value;
            return;
        case gp::MarkedSelection:
            // List mode always marks.
            settings_[own] = (value != 0 || settings_[gp::ListMode] != 0) ? 1 : 0;
            clearSelection();
            return;
        case gp::ListMode:
            settings_[own] = value;
            if (value != 0) {
                settings_[gp::MarkedSelection] = 1;
                clearSelection();
            }
            return;
        case gp::FixedBackColor:
            settings_[own] = static_cast<uint32_t>(value) == kDefaultColour ? static_cast<int32_t>(buttonFaceColour())
                                                                            : value;
            update();
            return;
        case gp::BorderStyle:
            if (value < 0 || value > kLastBorderStyle) return;
            settings_[own] = value;
            setContentsMargins(borderWidth(), borderWidth(), borderWidth(), borderWidth());
            update();
            return;
        case gp::GridLineWidth:
            settings_[own] = value;
            update();
            return;
        default:
            // The colours, switches and choices: stored, and shown by the next paint.
            if (own >= gp::Count) return;
            settings_[own] = value;
            update();
            return;
    }
}

void CGridCtrl::applySettings(const forms::GridSettings& settings) {
    // The border comes with the window; the line width sets the least extent,
    // so it goes before the extents; the rest in index order, which puts the
    // default extents before the counts and the counts before the fixed counts.
    writeSetting(gp::BorderStyle, settings[gp::BorderStyle]);
    writeSetting(gp::GridLineWidth, settings[gp::GridLineWidth]);
    for (uint32_t own = 0; own < gp::Count; ++own)
        if (own != gp::BorderStyle && own != gp::GridLineWidth) writeSetting(own, settings[own]);
}

}  // namespace grid
