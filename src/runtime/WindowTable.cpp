// The window table and the registry of unit types.
#include "runtime/WindowTable.h"

#include <algorithm>
#include <unordered_map>

namespace rt {

UnitRecord* WindowRecord::findUnit(ControlId id) {
    if (units.empty()) return nullptr;
    if (id == 0) return &units.front();
    auto it = std::find_if(units.begin(), units.end(), [id](const UnitRecord& u) { return u.id == id; });
    return it == units.end() ? nullptr : &*it;
}

const UnitRecord* WindowRecord::findUnit(ControlId id) const { return const_cast<WindowRecord*>(this)->findUnit(id); }

std::deque<WindowRecord>& windowTable() {
    static std::deque<WindowRecord> table;
    return table;
}

WindowRecord* findWindow(WindowId id) {
    auto& table = windowTable();
    if (table.empty()) return nullptr;
    if (table.front().id == id) return &table.front();
    auto it = std::find_if(table.begin(), table.end(), [id](const WindowRecord& w) { return w.id == id; });
    return it == table.end() ? nullptr : &*it;
}

UnitRecord* findUnit(WindowId windowId, ControlId controlId) {
    WindowRecord* window = findWindow(windowId);
    return window ? window->findUnit(controlId) : nullptr;
}

LiveControl* findLiveControl(WindowId windowId, ControlId controlId) {
    UnitRecord* unit = findUnit(windowId, controlId);
    return unit && unit->isLive() ? unit->live : nullptr;
}

ValueForm valueFormOf(uint16_t code) {
    switch (code) {
        case 1000: case 1001: case 1014: case 1015: case 1017: return ValueForm::Int;
        case 1006: return ValueForm::Choice;
        case 1002: case 1004: return ValueForm::EightBytes;
        case 1003: return ValueForm::Bool;
        case 1009: case 1010: case 1012: case 1023: case 1024: return ValueForm::Binary;
        case 1011: return ValueForm::Cursor;
        case 1013: return ValueForm::Font;
        default: return ValueForm::Text;
    }
}

namespace {
std::unordered_map<uint32_t, UnitType*>& unitTypes() {
    static std::unordered_map<uint32_t, UnitType*> types;
    return types;
}
}  // namespace

void registerUnitType(UnitType* type) { unitTypes()[type->libraryType()] = type; }

UnitType* findUnitType(uint32_t libraryType) {
    auto it = unitTypes().find(libraryType);
    return it == unitTypes().end() ? nullptr : it->second;
}

}  // namespace rt
