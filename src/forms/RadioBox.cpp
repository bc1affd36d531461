// The radio box unit: caption, colours, font and check state; a click raises
// event 0. The radio boxes of one parent exclude each other.
#include "runtime/Events.h"

#include <QRadioButton>

#include "forms/BasicUnitType.h"
#include "forms/UnitTypes.h"

namespace forms {
namespace {

// A checked radio box of an exclusive set refuses to be unchecked directly.
void setChecked(QRadioButton* radio, bool checked) {
    if (checked || !radio->isChecked()) {
        radio->setChecked(checked);
        return;
    }
    radio->setAutoExclusive(false);
    radio->setChecked(false);
    radio->setAutoExclusive(true);
}

class RadioBoxType final : public BasicUnitType {
public:
    RadioBoxType() : BasicUnitType(unittype::RadioBox) {}

protected:
    QWidget* build(rt::WindowRecord& window, rt::UnitRecord& unit, UnitState& state, QWidget* parent) override {
        auto* radio = new QRadioButton(parent);
        // Its background colour fills the box like a window's, not like a push button's face.
        radio->setBackgroundRole(QPalette::Window);
        for (uint32_t own : {radioprop::Picture, radioprop::Caption, radioprop::TextOnLeft, radioprop::TextColour,
                             radioprop::BackColour, radioprop::Font, radioprop::Checked})
            configure(state, radio, own);
        QObject::connect(radio, &QRadioButton::clicked, radio,
                         [w = window.id, c = unit.id] { rt::raiseEvent(w, c, 0); });
        return radio;
    }

    bool readLive(const rt::UnitRecord&, UnitState& state, QWidget* widget, uint32_t own,
                  rt::PropertyValue& out) override {
        if (own != radioprop::Checked) return false;
        state.stored.setInteger(own, static_cast<QRadioButton*>(widget)->isChecked() ? 1 : 0);
        out = state.stored.values[own];
        return true;
    }

    int apply(rt::WindowRecord&, rt::UnitRecord&, UnitState& state, QWidget* widget, uint32_t own) override {
        configure(state, static_cast<QRadioButton*>(widget), own);
        return 0;
    }

private:
    static void configure(UnitState& state, QRadioButton* radio, uint32_t own) {
        StoredProperties& s = state.stored;
        switch (own) {
            case radioprop::Picture: {
                QImage image = decodePicture(s.bytes(own));
                radio->setIcon(image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image)));
                break;
            }
            case radioprop::Caption: radio->setText(textValue(s, own)); break;
            case radioprop::TextOnLeft:
                radio->setLayoutDirection(s.integer(own) != 0 ? Qt::RightToLeft : Qt::LeftToRight);
                break;
            case radioprop::TextColour: setPaletteColour(radio, QPalette::WindowText, colourValue(s, own)); break;
            case radioprop::BackColour: {
                QColor colour = colourValue(s, own);
                setSurfaceColour(radio, QPalette::Window, colour);
                radio->setAutoFillBackground(colour.isValid());
                break;
            }
            case radioprop::Font: radio->setFont(fontValue(s, own)); break;
            // Exactly 1 checks: the value is passed on as written.
            case radioprop::Checked: {
                bool checked = s.integer(own) == 1;
                setChecked(radio, checked);
                s.setInteger(own, checked ? 1 : 0);
                break;
            }
            default: break;
        }
    }
};

}  // namespace

WidgetUnitType& radioBoxType() {
    static RadioBoxType type;
    return type;
}

}  // namespace forms
