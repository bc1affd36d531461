// Input events are offered to the units before they reach their target: from
// the target widget up through its parents to the top-level window, each
// widget that is a live unit's asks its type; the first that handles the
// event ends the walk.
#include "forms/PreTranslate.h"

#include <QInputEvent>
#include <QPointer>
#include <QWidget>

#include "forms/UnitWidgets.h"
#include "forms/Units.h"

namespace forms {
namespace {

bool isWalkedInput(QEvent::Type type) {
    switch (type) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
            return true;
        default:
            return false;
    }
}

bool isStrictAncestor(const QWidget* ancestor, const QWidget* widget) {
    for (const QWidget* w = widget ? widget->parentWidget() : nullptr; w; w = w->parentWidget())
        if (w == ancestor) return true;
    return false;
}

// An event nobody accepted travels on to the target's parents, each time
// through the application's filters again; it has been walked already.
struct LastWalk {
    QEvent::Type type = QEvent::None;
    quint64 timestamp = 0;
    QPointer<QWidget> receiver;
};

bool alreadyWalked(LastWalk& last, QWidget* receiver, QInputEvent* event) {
    bool propagated = last.receiver && last.type == event->type() && last.timestamp == event->timestamp() &&
                      isStrictAncestor(receiver, last.receiver);
    last.type = event->type();
    last.timestamp = event->timestamp();
    last.receiver = receiver;
    return propagated;
}

}  // namespace

bool preTranslateEvent(QObject* receiver, QEvent* event) {
    if (!isWalkedInput(event->type()) || !receiver->isWidgetType()) return false;
    auto* target = static_cast<QWidget*>(receiver);
    static LastWalk last;
    if (alreadyWalked(last, target, static_cast<QInputEvent*>(event))) return false;
    for (QWidget* w = target; w; w = w->parentWidget()) {
        if (rt::UnitRecord* unit = unitRecordOfWidget(w)) {
            auto* type = dynamic_cast<WidgetUnitType*>(rt::findUnitType(unit->type));
            QPointer<QWidget> guard(w);
            if (type && type->preTranslate(*unit, event)) return true;
            if (!guard) return true;  // the unit went away: nothing is left to deliver to
        }
        if (w->isWindow()) break;
    }
    return false;
}

}  // namespace forms
