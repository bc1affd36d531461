// The grid as a window unit (library type 0x20001): created from its stored
// block, its own properties 8-37, and its live control.
#pragma once

#include <QPointer>

#include "forms/Units.h"
#include "grid/GridCtrl.h"

namespace grid {

// The live control of a grid unit.
class GridControl final : public forms::WidgetControl {
public:
    explicit GridControl(CGridCtrl* grid) : forms::WidgetControl(grid) {}
    CGridCtrl* grid() const { return qobject_cast<CGridCtrl*>(widget()); }
};

// The grid behind a live control; null when the control is not a grid's.
CGridCtrl* gridOf(rt::LiveControl* control);

class GridUnitType final : public forms::WidgetUnitType {
public:
    uint32_t libraryType() const override;
    const std::vector<uint16_t>& ownPropertyTypes() const override;
    uint32_t flags() const override;
    // The settings come from the unit's block (none: the defaults; a block
    // that cannot be read: no control).
    QWidget* create(rt::WindowRecord& window, rt::UnitRecord& unit, QWidget* parent) override;
    rt::PropertyValue readProperty(const rt::WindowRecord& window, const rt::UnitRecord& unit, uint32_t index) override;
    int writeProperty(rt::WindowRecord& window, rt::UnitRecord& unit, uint32_t index,
                      const rt::PropertyValue& value) override;
};

// Registers the grid unit type with the window layer (idempotent).
void installGridUnit();

}  // namespace grid
