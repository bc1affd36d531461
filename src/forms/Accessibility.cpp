// Labels, picture boxes and shape boxes paint themselves, so Qt cannot tell
// what they show: a label is static text named by its caption, a picture box
// a graphic and a shape box a grouping, each named by its unit name unless an
// accessible name was given.
#include "forms/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "forms/Label.h"
#include "forms/PicBox.h"
#include "forms/ShapeBox.h"

namespace forms {
namespace {

class DrawnUnitAccessible final : public QAccessibleWidget {
public:
    DrawnUnitAccessible(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QString text(QAccessible::Text kind) const override {
        if (kind != QAccessible::Name) return QAccessibleWidget::text(kind);
        if (!widget()->accessibleName().isEmpty()) return widget()->accessibleName();
        if (auto* label = qobject_cast<LabelWidget*>(widget())) return label->caption();
        return widget()->objectName();
    }
};

QAccessibleInterface* drawnUnitFactory(const QString&, QObject* object) {
    if (auto* label = qobject_cast<LabelWidget*>(object)) return new DrawnUnitAccessible(label, QAccessible::StaticText);
    if (auto* picture = qobject_cast<PictureBoxWidget*>(object))
        return new DrawnUnitAccessible(picture, QAccessible::Graphic);
    if (auto* shape = qobject_cast<ShapeBoxWidget*>(object)) return new DrawnUnitAccessible(shape, QAccessible::Grouping);
    return nullptr;
}

}  // namespace

void installUnitAccessibility() {
    static bool installed = [] {
        QAccessible::installFactory(&drawnUnitFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace forms
