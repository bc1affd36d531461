// The grid unit type: creation from the template record and the own properties.
#include "grid/GridUnit.h"

#include <memory>

#include "forms/UnitBlocks.h"
#include "grid/GridAccessible.h"

namespace grid {
namespace {

// What the unit keeps in unit.unitData.
struct GridUnitState {
    QPointer<CGridCtrl> grid;
};

CGridCtrl* gridOfUnit(const rt::UnitRecord& unit) {
    auto* state = static_cast<GridUnitState*>(unit.unitData.get());
    return state ? state->grid.data() : nullptr;
}

}  // namespace

CGridCtrl* gridOf(rt::LiveControl* control) {
    auto* widgetControl = dynamic_cast<forms::WidgetControl*>(control);
    return widgetControl ? qobject_cast<CGridCtrl*>(widgetControl->widget()) : nullptr;
}

uint32_t GridUnitType::libraryType() const { return forms::unittype::Grid; }

const std::vector<uint16_t>& GridUnitType::ownPropertyTypes() const {
    return forms::ownPropertyTypesOf(forms::unittype::Grid);
}

uint32_t GridUnitType::flags() const { return rt::kEventCapableFlags; }

QWidget* GridUnitType::create(rt::WindowRecord& window, rt::UnitRecord& unit, QWidget* parent) {
    std::optional<forms::GridSettings> settings =
        unit.block.empty() ? std::optional(forms::defaultGridSettings()) : forms::decodeGridBlock(unit.block);
    if (!settings) return nullptr;
    auto* grid = new CGridCtrl(*settings, parent);
    grid->setObjectName(forms::fromGbk(unit.name));
    grid->setGeometry(unit.left, unit.top, unit.width, unit.height);
    forms::attachCommonEvents(grid, window.id, unit.id);
    auto state = std::make_shared<GridUnitState>();
    state->grid = grid;
    unit.unitData = state;
    unit.liveHolder = std::make_shared<GridControl>(grid);
    unit.live = unit.liveHolder.get();
    return grid;
}

rt::PropertyValue GridUnitType::readProperty(const rt::WindowRecord&, const rt::UnitRecord& unit, uint32_t index) {
    rt::PropertyValue value;
    if (CGridCtrl* grid = gridOfUnit(unit)) value.words = rt::Words::ofInt(grid->readSetting(index));
    return value;
}

int GridUnitType::writeProperty(rt::WindowRecord&, rt::UnitRecord& unit, uint32_t index,
                                const rt::PropertyValue& value) {
    if (CGridCtrl* grid = gridOfUnit(unit)) grid->writeSetting(index, value.words.asInt());
    return 0;  // a grid is never re-created for a property
}

void installGridUnit() {
    static GridUnitType type;
    forms::registerWidgetUnitType(&type);
    installGridAccessibility();
}

}  // namespace grid
