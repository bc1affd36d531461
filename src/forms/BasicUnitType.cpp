// Creation, property reads and writes, and re-creation of the basic units.
#include "forms/BasicUnitType.h"

#include <QApplication>

#include <algorithm>
#include <initializer_list>

#include "forms/UnitWidgets.h"

namespace forms {

UnitState* unitStateOf(const rt::UnitRecord& unit) { return static_cast<UnitState*>(unit.unitData.get()); }

QWidget* BasicUnitType::liveWidget(const rt::UnitRecord& unit) {
    auto* live = unit.isLive() ? dynamic_cast<WidgetControl*>(unit.live) : nullptr;
    return live ? live->widget() : nullptr;
}

QWidget* BasicUnitType::create(rt::WindowRecord& window, rt::UnitRecord& unit, QWidget* parent) {
    std::optional<StoredProperties> stored = decodeUnitBlock(type_, unit.block);
    if (!stored) return nullptr;
    std::shared_ptr<UnitState> state = makeState();
    state->stored = std::move(*stored);
    // Every own property has a value, whatever the block carried.
    if (state->stored.values.size() < ownPropertyTypes().size()) state->stored.values.resize(ownPropertyTypes().size());
    unit.unitData = state;  // stored as a UnitState*, which unitStateOf gives back
    QWidget* widget = build(window, unit, *state, parent);
    if (!widget) return nullptr;
    adopt(window, unit, widget);
    return widget;
}

void BasicUnitType::adopt(rt::WindowRecord& window, rt::UnitRecord& unit, QWidget* widget) {
    if (!unit.name.empty()) widget->setObjectName(fromGbk(unit.name));
    if (!widget->isWindow()) widget->setGeometry(unit.left, unit.top, unit.width, unit.height);
    widget->setEnabled(!(unit.flags & rt::unitflag::Disabled));
    tagUnitWidget(widget, window.id, unit.id);
    if (!widget->isWindow()) attachCommonEvents(widget, window.id, unit.id);
    std::shared_ptr<WidgetControl> control = makeControl(widget);
    unit.liveHolder = control;
    unit.live = control.get();
}

rt::PropertyValue BasicUnitType::readProperty(const rt::WindowRecord&, const rt::UnitRecord& unit, uint32_t own) {
    UnitState* state = unitStateOf(unit);
    if (!state) return {};
    rt::PropertyValue live;
    if (QWidget* widget = liveWidget(unit); widget && readLive(unit, *state, widget, own, live)) return live;
    return own < state->stored.values.size() ? state->stored.values[own] : rt::PropertyValue{};
}

int BasicUnitType::writeProperty(rt::WindowRecord& window, rt::UnitRecord& unit, uint32_t own,
                                 const rt::PropertyValue& value) {
    UnitState* state = unitStateOf(unit);
    if (!state) return 0;
    if (own >= state->stored.values.size()) state->stored.values.resize(own + 1);
    state->stored.values[own] = value;
    QWidget* widget = liveWidget(unit);
    return widget ? apply(window, unit, *state, widget, own) : 0;
}

// The new control takes the old one's place: same parent, geometry, state,
// stacking and contained units; the old one goes once control returns to the loop.
void BasicUnitType::recreate(rt::WindowRecord& window, rt::UnitRecord& unit) {
    QWidget* old = liveWidget(unit);
    UnitState* state = unitStateOf(unit);
    if (!old || !state) return;
    // What the old control knows better than the state (typed text, a selection) goes over.
    for (uint32_t own = 0; own < state->stored.values.size(); ++own) {
        rt::PropertyValue live;
        readLive(unit, *state, old, own, live);
    }
    bool shown = !old->isHidden();
    QRect geometry = old->geometry();
    QWidget* widget = build(window, unit, *state, old->parentWidget());
    if (!widget) return;
    adopt(window, unit, widget);
    widget->setGeometry(geometry);
    for (QObject* child : old->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && unitOfWidget(w)) {
            bool childShown = !w->isHidden();
            w->setParent(widget);
            w->setVisible(childShown);
        }
    }
    if (!unit.cursor.empty()) unit.live->setCursorData(unit.cursor);
    widget->stackUnder(old);
    widget->setVisible(shown);
    old->hide();
    old->deleteLater();
}

QColor colourValue(const StoredProperties& stored, uint32_t own) {
    return colourOf(static_cast<uint32_t>(stored.integer(own)));
}

QFont fontValue(const StoredProperties& stored, uint32_t own) { return fontOf(stored.bytes(own)); }

QString textValue(const StoredProperties& stored, uint32_t own) { return fromGbk(stored.bytes(own)); }

namespace {

// Sets the role in the given colour groups: the unit's colour, or the
// platform's colour of each group where the unit has none.
void setRoleInGroups(QWidget* widget, QPalette::ColorRole role, const QColor& colour,
                     std::initializer_list<QPalette::ColorGroup> groups) {
    QPalette palette = widget->palette();
    const QPalette platform = QApplication::palette(widget);
    for (QPalette::ColorGroup group : groups)
        palette.setColor(group, role, colour.isValid() ? colour : platform.color(group, role));
    widget->setPalette(palette);
}

}  // namespace

// The Disabled group is never set: a disabled widget inherits the platform's
// colours for it and so looks disabled whatever colours the unit stores.
void setPaletteColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    setRoleInGroups(widget, role, colour, {QPalette::Active, QPalette::Inactive});
}

void setSurfaceColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    setRoleInGroups(widget, role, colour, {QPalette::Active, QPalette::Inactive, QPalette::Disabled});
}

Qt::Alignment horizontalAlignment(int32_t value) {
    switch (std::clamp(value, 0, 2)) {
        case 0: return Qt::AlignLeft;
        case 1: return Qt::AlignHCenter;
        default: return Qt::AlignRight;
    }
}

Qt::Alignment verticalAlignment(int32_t value) {
    switch (std::clamp(value, 0, 2)) {
        case 0: return Qt::AlignTop;
        case 1: return Qt::AlignVCenter;
        default: return Qt::AlignBottom;
    }
}

}  // namespace forms
