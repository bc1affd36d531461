// The basic unit types of the window layer, one instance each.
#pragma once

#include "forms/Units.h"

namespace forms {

WidgetUnitType& windowUnitType();
WidgetUnitType& editBoxType();
WidgetUnitType& picBoxType();
WidgetUnitType& shapeBoxType();
WidgetUnitType& labelType();
WidgetUnitType& buttonType();
WidgetUnitType& radioBoxType();
WidgetUnitType& comboBoxType();

}  // namespace forms
