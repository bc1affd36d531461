// The common frame of the basic unit types: the unit's state (its stored own
// properties), creation from the stored block, reads that prefer what the
// live control knows, writes applied to the widget, and re-creation in place.
#pragma once

#include <memory>

#include "forms/UnitBlocks.h"
#include "forms/Units.h"

namespace forms {

// The state of a basic unit: its own properties as stored and last written.
struct UnitState {
    virtual ~UnitState() = default;
    StoredProperties stored;
};

// The state of a unit created by a BasicUnitType, or null.
UnitState* unitStateOf(const rt::UnitRecord& unit);

class BasicUnitType : public WidgetUnitType {
public:
    explicit BasicUnitType(uint32_t libraryType) : type_(libraryType) {}

    uint32_t libraryType() const override { return type_; }
    const std::vector<uint16_t>& ownPropertyTypes() const override { return ownPropertyTypesOf(type_); }
    uint32_t flags() const override { return rt::kEventCapableFlags; }

    QWidget* create(rt::WindowRecord& window, rt::UnitRecord& unit, QWidget* parent) override;
    rt::PropertyValue readProperty(const rt::WindowRecord& window, const rt::UnitRecord& unit, uint32_t own) override;
    int writeProperty(rt::WindowRecord& window, rt::UnitRecord& unit, uint32_t own,
                      const rt::PropertyValue& value) override;
    void recreate(rt::WindowRecord& window, rt::UnitRecord& unit) override;

protected:
    virtual std::shared_ptr<UnitState> makeState() const { return std::make_shared<UnitState>(); }
    // Makes the widget from the state, under `parent`, and the unit's live control.
    virtual QWidget* build(rt::WindowRecord& window, rt::UnitRecord& unit, UnitState& state, QWidget* parent) = 0;
    // A value the live control knows better than the state (text typed by the
    // user, a selection); true when `out` holds it.
    virtual bool readLive(const rt::UnitRecord& unit, UnitState& state, QWidget* widget, uint32_t own,
                          rt::PropertyValue& out) {
        (void)unit; (void)state; (void)widget; (void)own; (void)out;
        return false;
    }
    // Applies property `own`, already in the state, to the widget; may correct
    // the stored value. 1 asks for the control to be re-created.
    virtual int apply(rt::WindowRecord& window, rt::UnitRecord& unit, UnitState& state, QWidget* widget,
                      uint32_t own) {
        (void)window; (void)unit; (void)state; (void)widget; (void)own;
        return 0;
    }
    // The unit's live control over its widget (an edit box has its own).
    virtual std::shared_ptr<WidgetControl> makeControl(QWidget* widget) const {
        return std::make_shared<WidgetControl>(widget);
    }

    // The widget of the unit while it is live.
    static QWidget* liveWidget(const rt::UnitRecord& unit);

private:
    // Name, geometry, enabled state, unit mark, common events and live control.
    void adopt(rt::WindowRecord& window, rt::UnitRecord& unit, QWidget* widget);

    uint32_t type_;
};

// Helpers for the types' widgets.
QColor colourValue(const StoredProperties& stored, uint32_t own);
QFont fontValue(const StoredProperties& stored, uint32_t own);
QString textValue(const StoredProperties& stored, uint32_t own);
// Sets (or, for an invalid colour, resets to the platform's) one palette role
// of an enabled widget: text colours and the backgrounds of input fields. A
// disabled widget shows the platform's colours for the role, as its disabled look.
void setPaletteColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour);
// The same for a surface's background (a window, a radio box), which keeps
// its colour when disabled: the greyed text shows the state.
void setSurfaceColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour);
// 0 left, 1 centre, 2 right / 0 top, 1 centre, 2 bottom, clamped.
Qt::Alignment horizontalAlignment(int32_t value);
Qt::Alignment verticalAlignment(int32_t value);

}  // namespace forms
