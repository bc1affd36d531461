// Reading and writing control properties by window, control and property number.
#pragma once

#include <cstdint>

#include "runtime/Value.h"
#include "runtime/WindowTable.h"

namespace rt {

// Properties common to every unit; a unit type's own properties start at FirstOwn.
namespace prop {
inline constexpr PropertyIndex Left = 0, Top = 1, Width = 2, Height = 3, Tag = 4, Visible = 5, Disabled = 6,
                               Cursor = 7, FirstOwn = 8;
}

// Menu items answer these indices from their stored record.
namespace menuprop {
inline constexpr PropertyIndex Caption = 0, Checked = 1, Disabled = 2, Visible = 3;
}

// Sub-indices of a font property; Whole (-1) is what application code passes for every property.
namespace fontpart {
inline constexpr int32_t Whole = -1, Escapement = 0, Bold = 1, Italic = 2, Underline = 3, StrikeOut = 4, Size = 5,
                         FaceName = 6;
}

// Positions are clamped to +-kCoordinateLimit, extents to 0..kCoordinateLimit.
inline constexpr int32_t kCoordinateLimit = 32627;

// The value in the form of the property's type: numbers in the words, texts and
// byte-sets as a new block pointer owned by the caller (null when empty).
// A window not in the table, a unit not in the window, or an own property of a
// unit that is not live ends the program with the run-time error report.
Words ReadProperty(WindowId windowId, ControlId controlId, PropertyIndex index, int32_t subIndex);

// Stores the value on the unit record and applies it to the live control.
// Texts and byte-sets are passed as pointers and copied, never taken over.
void WriteProperty(WindowId windowId, ControlId controlId, PropertyIndex index, int32_t subIndex, Words value);

}  // namespace rt
