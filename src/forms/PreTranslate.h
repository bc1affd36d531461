// The walk that offers an input event to the units from its target up to the window.
#pragma once

#include <QEvent>
#include <QObject>

namespace forms {

// True when a unit's type handled the event (it is then consumed).
bool preTranslateEvent(QObject* receiver, QEvent* event);

}  // namespace forms
