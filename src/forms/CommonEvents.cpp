// The events every unit raises from its widget: left button pressed, focus
// got and lost, key released.
#include "runtime/Events.h"

#include <QAbstractScrollArea>
#include <QFocusEvent>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

#include "forms/EditBox.h"
#include "forms/Units.h"
#include "forms/WindowUnit.h"

namespace forms {
namespace {

namespace event {
inline constexpr int32_t LeftPressed = -1, FocusGot = -7, FocusLost = -8, KeyReleased = -10;
}

struct Binding {
    rt::WindowId window = 0;
    rt::ControlId control = 0;
    QPointer<QWidget> unitWidget;  // the unit's widget; a viewport reports in its coordinates
};

class CommonEventFilter final : public QObject {
public:
    void bind(QWidget* watched, const Binding& binding) {
        if (!bindings_.contains(watched)) {
            watched->installEventFilter(this);
            connect(watched, &QObject::destroyed, this, [this](QObject* gone) { bindings_.remove(gone); });
        }
        bindings_.insert(watched, binding);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        auto it = bindings_.constFind(watched);
        if (it == bindings_.constEnd()) return false;
        Binding b = it.value();
        // A control that has been replaced, or whose window is going away
        // (a focused control loses the focus while it is destroyed), raises nothing.
        if (!b.unitWidget || widgetOf(b.window, b.control) != b.unitWidget || !inLiveWindow(b.unitWidget)) return false;
        QPointer<QObject> alive(watched);
        switch (e->type()) {
            case QEvent::MouseButtonPress: {
                auto* mouse = static_cast<QMouseEvent*>(e);
                if (mouse->button() != Qt::LeftButton) return false;
                QPoint at = mouse->position().toPoint();
                if (watched != b.unitWidget) at = static_cast<QWidget*>(watched)->mapTo(b.unitWidget, at);
                rt::raiseEvent(b.window, b.control, event::LeftPressed,
                               {static_cast<uint32_t>(at.x()), static_cast<uint32_t>(at.y()),
                                static_cast<uint32_t>(keyStateOf(mouse->modifiers()))});
                break;
            }
            case QEvent::FocusIn:
                if (watched != b.unitWidget) return false;
                rt::raiseEvent(b.window, b.control, event::FocusGot);
                break;
            case QEvent::FocusOut:
                if (watched != b.unitWidget) return false;
                if (EditBoxApi* edit = editBoxOf(b.unitWidget)) edit->ensureCaretVisible();
                rt::raiseEvent(b.window, b.control, event::FocusLost);
                break;
            case QEvent::KeyRelease: {
                auto* key = static_cast<QKeyEvent*>(e);
                if (key->isAutoRepeat()) return false;
                rt::raiseEvent(b.window, b.control, event::KeyReleased,
                               {static_cast<uint32_t>(virtualKeyOf(*key)),
                                static_cast<uint32_t>(keyStateOf(key->modifiers()))});
                break;
            }
            default: return false;
        }
        // A handler that destroyed the widget leaves nothing to deliver the event to.
        return alive.isNull();
    }

private:
    QHash<QObject*, Binding> bindings_;
};

CommonEventFilter& commonEventFilter() {
    static auto* filter = new CommonEventFilter;
    return *filter;
}

}  // namespace

void attachCommonEvents(QWidget* widget, rt::WindowId window, rt::ControlId control) {
    if (!widget) return;
    Binding binding{window, control, widget};
    commonEventFilter().bind(widget, binding);
    // Scroll areas take the mouse in their viewport.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) commonEventFilter().bind(area->viewport(), binding);
}

}  // namespace forms
