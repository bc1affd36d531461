// What the window layer keeps on a unit's widget: which unit it stands for,
// and the cursor its cursor data names.
#pragma once

#include <QCursor>
#include <QWidget>

#include <optional>
#include <string_view>

#include "runtime/WindowTable.h"

namespace forms {

struct UnitKey {
    rt::WindowId window = 0;
    rt::ControlId control = 0;
};

// Marks the widget as the one of the unit; unitOfWidget answers the mark.
void tagUnitWidget(QWidget* widget, rt::WindowId window, rt::ControlId control);
std::optional<UnitKey> unitOfWidget(const QWidget* widget);
// The unit record whose live widget this is, or null.
rt::UnitRecord* unitRecordOfWidget(const QWidget* widget);

// The stock cursor named by cursor data (an int32 stock cursor number, 0 for
// the control's own cursor); none for the control's own cursor.
std::optional<Qt::CursorShape> cursorShapeOf(std::string_view cursorData);

}  // namespace forms
