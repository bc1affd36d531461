// Loads a window: re-uses one that is loaded, keeps the records as they stood,
// builds the window, its menu and every unit under its parent, sends the load
// notices, shows the units, raises the window's events 0, 3 and 4 and then
// shows the window.
#include "runtime/Events.h"

#include "forms/WindowLoader.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>

#include <memory>
#include <optional>
#include <vector>

#include "forms/BasicUnitType.h"
#include "forms/MenuBuilder.h"
#include "forms/UnitWidgets.h"
#include "forms/WindowUnit.h"
#include "runtime/Notify.h"

namespace forms {
namespace {

bool isMenuItem(const rt::UnitRecord& unit) {
    return rt::idkind::isMenuItem(unit.id) || unit.type == rt::tag::MenuUnit;
}

WidgetUnitType* widgetTypeOf(const rt::UnitRecord& unit) {
    return dynamic_cast<WidgetUnitType*>(rt::findUnitType(unit.type));
}

void dropLiveControl(rt::UnitRecord& unit) {
    unit.live = nullptr;
    unit.liveHolder.reset();
}

// The records as they stand before the load, without anything live.
std::vector<rt::UnitRecord> storedCopyOf(const std::vector<rt::UnitRecord>& units) {
    std::vector<rt::UnitRecord> copy = units;
    for (rt::UnitRecord& unit : copy) {
        dropLiveControl(unit);
        unit.unitData.reset();
    }
    return copy;
}

// Creates the units in template order, each under its parent; a parent
// stored after its child is created first.
class UnitBuilder {
public:
    UnitBuilder(rt::WindowRecord& window, QWidget* client)
        : window_(window), client_(client), state_(window.units.size(), Made::No) {}

    bool createAll() {
        for (size_t i = 1; i < window_.units.size(); ++i)
            if (!isMenuItem(window_.units[i]) && !create(i)) return false;
        return true;
    }

private:
    enum class Made { No, Making, Yes };

    std::optional<size_t> indexOf(rt::ControlId id) const {
        for (size_t i = 1; i < window_.units.size(); ++i)
            if (window_.units[i].id == id && !isMenuItem(window_.units[i])) return i;
        return std::nullopt;
    }

    // The widget the unit goes into: its parent unit's, or the client area
    // for the window, an unknown parent or a parent that contains the unit itself.
    QWidget* parentFor(const rt::UnitRecord& unit, bool& failed) {
        if (unit.parent == 0 || unit.parent == window_.units.front().id) return client_;
        std::optional<size_t> parent = indexOf(unit.parent);
        if (!parent || state_[*parent] == Made::Making) return client_;
        if (!create(*parent)) {
            failed = true;
            return nullptr;
        }
        QWidget* widget = widgetOf(window_.id, unit.parent);
        return widget ? widget : client_;
    }

    bool create(size_t index) {
        if (state_[index] != Made::No) return true;
        state_[index] = Made::Making;
        bool failed = false;
        QWidget* parent = parentFor(window_.units[index], failed);
        if (failed) return false;
        rt::UnitRecord& unit = window_.units[index];
        WidgetUnitType* type = widgetTypeOf(unit);
        if (!type) return false;
        dropLiveControl(unit);
        QWidget* widget = type->create(window_, unit, parent);
        if (!widget) return false;
        // A type that made no live control of its own gets the plain one.
        if (!unit.live) {
            auto control = std::make_shared<WidgetControl>(widget);
            unit.liveHolder = control;
            unit.live = control.get();
        }
        if (widget->objectName().isEmpty()) widget->setObjectName(fromGbk(unit.name));
        widget->setGeometry(unit.left, unit.top, unit.width, unit.height);
        widget->setEnabled(!(unit.flags & rt::unitflag::Disabled));
        tagUnitWidget(widget, window_.id, unit.id);
        attachCommonEvents(widget, window_.id, unit.id);
        state_[index] = Made::Yes;
        return true;
    }

    rt::WindowRecord& window_;
    QWidget* client_;
    std::vector<Made> state_;
};

void sendNotices(rt::WindowRecord& window, uint32_t code) {
    for (size_t i = window.units.size(); i-- > 1;) {
        rt::UnitRecord& unit = window.units[i];
        if (isMenuItem(unit) || !unit.isLive()) continue;
        if (WidgetUnitType* type = widgetTypeOf(unit)) type->notice(window, unit, code);
    }
}

// Units on a tab unit's page appear only while their page is current.
bool mayShow(rt::WindowRecord& window, const rt::UnitRecord& unit) {
    const rt::UnitRecord* parent = unit.parent ? window.findUnit(unit.parent) : nullptr;
    if (!parent || parent == &window.units.front() || parent->type != rt::tag::TabUnit) return true;
    rt::UnitType* tab = rt::findUnitType(parent->type);
    return !tab || tab->isChildPageCurrent(window, *parent, unit);
}

void showUnits(rt::WindowRecord& window) {
    for (size_t i = 1; i < window.units.size(); ++i) {
        rt::UnitRecord& unit = window.units[i];
        if (isMenuItem(unit) || !unit.isLive()) continue;
        unit.live->setVisible((unit.flags & rt::unitflag::Visible) && mayShow(window, unit));
    }
}

void showWindow(WindowWidget& widget, const rt::UnitRecord& self) {
    UnitState* state = unitStateOf(self);
    switch (state ? state->stored.integer(windowprop::StartState) : 0) {
        case 1: widget.showMinimized(); break;
        case 2: widget.showMaximized(); break;
        default: widget.show(); break;
    }
}

// A failed load leaves nothing behind, and no window-destroyed notice.
void abandonLoad(rt::WindowRecord& window, WindowState& state) {
    state.notifyDestroyed = false;
    if (WindowWidget* widget = state.widget.data()) {
        widget->runtimeClosing = true;
        delete widget;
    }
    for (rt::UnitRecord& unit : window.units) dropLiveControl(unit);
    window.rebuildMenu = nullptr;
}

void onWidgetDestroyed(rt::WindowId id, const std::weak_ptr<WindowState>& weak) {
    std::shared_ptr<WindowState> state = weak.lock();
    if (state && !state->notifyDestroyed) return;
    if (rt::WindowRecord* window = rt::findWindow(id); window && state && window->windowData == state)
        window->rebuildMenu = nullptr;
    rt::RuntimeNotify(rt::NotifyCode::WindowDestroyed, id);
}

// Disables the other loaded windows and runs a loop until the window is gone.
void runModal(WindowWidget* widget) {
    std::vector<QPointer<QWidget>> disabled;
    for (rt::WindowRecord& other : rt::windowTable()) {
        WindowWidget* w = windowWidgetOf(other);
        if (w && w != widget && w->isEnabled()) {
            w->setEnabled(false);
            disabled.emplace_back(w);
        }
    }
    QEventLoop modal;
    QObject::connect(widget, &QObject::destroyed, &modal, &QEventLoop::quit);
    modal.exec();
    for (QPointer<QWidget>& w : disabled)
        if (w) w->setEnabled(true);
}

}  // namespace

void destroyWindow(rt::WindowRecord& window) {
    if (WindowWidget* widget = windowWidgetOf(window)) {
        widget->runtimeClosing = true;
        delete widget;
    }
}

int32_t loadWindow(rt::WindowId windowId, uintptr_t options) {
    LoadOptions opts = options ? *reinterpret_cast<const LoadOptions*>(options) : LoadOptions{};
    rt::WindowRecord* window = rt::findWindow(windowId);
    if (!window || window->units.empty() || !qobject_cast<QApplication*>(QCoreApplication::instance())) return 0;

    if (window->loaded()) {
        WindowWidget* loaded = windowWidgetOf(*window);
        if (!opts.reuse) {
            if (loaded) {
                if (loaded->isMinimized()) loaded->showNormal();
                loaded->raise();
                loaded->activateWindow();
            }
            return 1;
        }
        // Replaced rather than gone: the loop must not end for it.
        if (WindowState* old = windowStateOf(*window)) old->notifyDestroyed = false;
        destroyWindow(*window);
    }

    QWidget* owner = nullptr;
    if (opts.owner != 0) {
        rt::WindowRecord* ownerRecord = rt::findWindow(opts.owner);
        owner = ownerRecord ? windowWidgetOf(*ownerRecord) : nullptr;
        if (!owner) return 0;
    }

    rt::RuntimeNotify(rt::NotifyCode::ProcessEvents);
    window->storedUnits = storedCopyOf(window->units);

    rt::UnitRecord& self = window->units.front();
    WidgetUnitType* windowType = widgetTypeOf(self);
    if (!windowType) return 0;
    auto state = std::make_shared<WindowState>();
    window->windowData = state;
    dropLiveControl(self);
    QWidget* created = windowType->create(*window, self, owner);
    auto* widget = qobject_cast<WindowWidget*>(created);
    if (!widget) {
        delete created;
        dropLiveControl(self);
        return 0;
    }
    state->widget = widget;
    std::weak_ptr<WindowState> weak = state;
    QObject::connect(widget, &QObject::destroyed, [windowId, weak] { onWidgetDestroyed(windowId, weak); });

    buildMenuBar(*window, *widget);
    window->rebuildMenu = &rebuildWindowMenu;
    if (!UnitBuilder(*window, widget->client()).createAll()) {
        abandonLoad(*window, *state);
        return 0;
    }
    for (rt::UnitRecord& unit : window->units)
        if (unit.isLive() && !unit.cursor.empty()) unit.live->setCursorData(unit.cursor);

    sendNotices(*window, loadnotice::UnitsCreated);
    windowType->notice(*window, self, loadnotice::WindowCreated);
    showUnits(*window);
    rt::RuntimeNotify(rt::NotifyCode::ProcessEventsAfterLoad);

    // The created events run before the window is shown, so that their
    // handlers can size it; each needs the window to have survived the one before.
    QPointer<WindowWidget> alive(widget);
    auto survives = [&] { return !alive.isNull() && window->loaded(); };
    if (!survives()) return 1;
    widget->armEvents();
    rt::raiseEvent(windowId, 0, 0);
    if (!survives()) return 1;
    widget->raiseMoved();
    if (!survives()) return 1;
    widget->raiseResized();
    if (!survives()) return 1;
    if (self.flags & rt::unitflag::Visible) showWindow(*widget, self);

    QPointer<QWidget> focus = QApplication::focusWidget();
    sendNotices(*window, loadnotice::LoadFinished);
    if (focus && QApplication::focusWidget() != focus) focus->setFocus();
    state->completelyLoaded = true;

    // A modal window is loaded completely before its loop runs.
    if (opts.modal && survives()) runModal(widget);
    return 1;
}

}  // namespace forms
