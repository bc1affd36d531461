// What assistive technology learns of the units that draw themselves.
#pragma once

namespace forms {

// Installs the accessibility factory for labels, picture boxes and shape boxes. Idempotent.
void installUnitAccessibility();

}  // namespace forms
