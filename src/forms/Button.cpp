// The push button unit: caption, font, picture, default-button type and the
// caption's alignment; a click raises event 0.
#include "runtime/Events.h"

#include <QPushButton>

#include <algorithm>

#include "forms/BasicUnitType.h"
#include "forms/UnitTypes.h"

namespace forms {
namespace {

class ButtonType final : public BasicUnitType {
public:
    ButtonType() : BasicUnitType(unittype::Button) {}

protected:
    QWidget* build(rt::WindowRecord& window, rt::UnitRecord& unit, UnitState& state, QWidget* parent) override {
        auto* button = new QPushButton(parent);
        for (uint32_t own : {buttonprop::Picture, buttonprop::Type, buttonprop::Caption,
                             buttonprop::HorizontalAlignment, buttonprop::VerticalAlignment, buttonprop::Font})
            configure(state, button, own);
        QObject::connect(button, &QPushButton::clicked, button,
                         [w = window.id, c = unit.id] { rt::raiseEvent(w, c, 0); });
        return button;
    }

    int apply(rt::WindowRecord&, rt::UnitRecord&, UnitState& state, QWidget* widget, uint32_t own) override {
        configure(state, static_cast<QPushButton*>(widget), own);
        return 0;
    }

private:
    // Out-of-range values are stored as the value applied, so they read back so too.
    static void configure(UnitState& state, QPushButton* button, uint32_t own) {
        StoredProperties& s = state.stored;
        switch (own) {
            case buttonprop::Picture: {
                QImage image = decodePicture(s.bytes(own));
                button->setIcon(image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image)));
                if (!image.isNull()) button->setIconSize(image.size());
                break;
            }
            case buttonprop::Type:
                s.setInteger(own, std::clamp(s.integer(own), 0, 1));
                button->setDefault(s.integer(own) == 1);
                break;
            case buttonprop::Caption: button->setText(textValue(s, own)); break;
            case buttonprop::HorizontalAlignment: {
                s.setInteger(own, std::clamp(s.integer(own), 0, 2));
                static const char* const kAlign[] = {"left", "center", "right"};
                // A centred caption is the button's own look; only the others need a style.
                button->setStyleSheet(s.integer(own) == 1 ? QString()
                                                          : QStringLiteral("QPushButton { text-align: %1; }")
                                                                .arg(QLatin1String(kAlign[s.integer(own)])));
                break;
            }
            // Captions are always centred vertically; the value is kept.
            case buttonprop::VerticalAlignment: s.setInteger(own, std::clamp(s.integer(own), 0, 2)); break;
            case buttonprop::Font: button->setFont(fontValue(s, own)); break;
            default: break;
        }
    }
};

}  // namespace

WidgetUnitType& buttonType() {
    static ButtonType type;
    return type;
}

}  // namespace forms
