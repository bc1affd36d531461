// Builds the menu bar from the menu-item records in their stored order: an
// item belongs to the nearest item one level up above it.
#include "runtime/Events.h"

#include "forms/MenuBuilder.h"

#include <QMenu>

#include <climits>

#include "forms/Units.h"
#include "forms/WindowUnit.h"

namespace forms {
namespace {

bool isMenuItem(const rt::UnitRecord& unit) {
    return rt::idkind::isMenuItem(unit.id) || unit.type == rt::tag::MenuUnit;
}

// The level of the next menu item after position i, or -1 when none follows.
int nextMenuLevel(const std::vector<rt::UnitRecord>& units, size_t i) {
    for (size_t j = i + 1; j < units.size(); ++j)
        if (isMenuItem(units[j])) return std::max(units[j].level, 0);
    return -1;
}

// The old menu objects go once control returns to the loop: the item whose
// handler asked for the rebuild may still be delivering its signal.
void dropMenu(WindowWidget& widget) {
    QMenuBar* bar = widget.menuBar();
    for (QAction* action : bar->actions()) bar->removeAction(action);
    for (QPointer<QObject>& object : widget.menuObjects)
        if (object) object->deleteLater();
    widget.menuObjects.clear();
}

}  // namespace

void buildMenuBar(rt::WindowRecord& window, WindowWidget& widget) {
    dropMenu(widget);
    QMenuBar* bar = widget.menuBar();
    std::vector<QMenu*> open;  // open[n]: the menu that items of level n + 1 go into
    int hiddenLevel = INT_MAX;  // items below a hidden item are left out with it
    bool anyShown = false;
    const rt::WindowId windowId = window.id;
    for (size_t i = 0; i < window.units.size(); ++i) {
        const rt::UnitRecord& item = window.units[i];
        if (!isMenuItem(item)) continue;
        int level = std::max(item.level, 0);
        if (level > hiddenLevel) continue;
        hiddenLevel = INT_MAX;
        if (item.flags & rt::unitflag::Visible) {  // bit 0 set hides a menu item
            hiddenLevel = level;
            continue;
        }
        if (level > static_cast<int>(open.size())) continue;  // no item one level up to belong to
        open.resize(static_cast<size_t>(level));
        QWidget* container = level == 0 ? static_cast<QWidget*>(bar) : open.back();
        QString caption = fromGbk(item.caption);
        bool enabled = !(item.flags & rt::unitflag::Disabled);
        anyShown = true;
        if (caption == QStringLiteral("-")) {
            QAction* separator = new QAction(container);
            separator->setSeparator(true);
            container->addAction(separator);
            widget.menuObjects.emplace_back(separator);
        } else if (nextMenuLevel(window.units, i) > level) {
            QMenu* menu = new QMenu(caption, container);
            menu->setEnabled(enabled);
            container->addAction(menu->menuAction());
            widget.menuObjects.emplace_back(menu);
            open.push_back(menu);
        } else {
            QAction* action = new QAction(caption, container);
            action->setEnabled(enabled);
            if (item.flags & rt::unitflag::Checked) {
                action->setCheckable(true);
                action->setChecked(true);
            }
            const rt::ControlId itemId = item.id;
            QObject::connect(action, &QAction::triggered, action, [windowId, itemId] { rt::raiseEvent(windowId, itemId, 0); });
            container->addAction(action);
            widget.menuObjects.emplace_back(action);
        }
    }
    bar->setVisible(anyShown);
    widget.layoutChildren();
}

void rebuildWindowMenu(rt::WindowRecord& window) {
    if (WindowWidget* widget = windowWidgetOf(window)) buildMenuBar(window, *widget);
}

}  // namespace forms

