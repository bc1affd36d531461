// The live control over a unit's widget, the widget's unit mark and cursors.
#include <QVariant>

#include "forms/UnitWidgets.h"
#include "forms/Units.h"

namespace forms {
namespace {

constexpr const char* kWindowMark = "impostraWindow";
constexpr const char* kControlMark = "impostraControl";

}  // namespace

WidgetControl::WidgetControl(QWidget* widget) : widget_(widget) {
    if (widget) watch_ = QObject::connect(widget, &QObject::destroyed, [this] { gone_ = true; });
}

WidgetControl::~WidgetControl() { QObject::disconnect(watch_); }

rt::Rect WidgetControl::geometry() const {
    QWidget* w = widget();
    if (!w) return {};
    QRect g = w->geometry();
    return {g.x(), g.y(), g.width(), g.height()};
}

void WidgetControl::move(int left, int top) {
    if (QWidget* w = widget()) w->move(left, top);
}

void WidgetControl::resize(int width, int height) {
    if (QWidget* w = widget()) w->resize(width, height);
}

bool WidgetControl::isVisible() const {
    QWidget* w = widget();
    return w && w->isVisible();
}

void WidgetControl::setVisible(bool visible) {
    if (QWidget* w = widget()) w->setVisible(visible);
}

// Disabled is the unit's own state, not inherited from a disabled container.
bool WidgetControl::isEnabled() const {
    QWidget* w = widget();
    return w && !w->testAttribute(Qt::WA_ForceDisabled);
}

void WidgetControl::setEnabled(bool enabled) {
    if (QWidget* w = widget()) w->setEnabled(enabled);
}

void WidgetControl::setCursorData(const std::string& data) {
    QWidget* w = widget();
    if (!w) return;
    if (std::optional<Qt::CursorShape> shape = cursorShapeOf(data)) w->setCursor(*shape);
    else w->unsetCursor();
}

// Qt shows a widget's new cursor at once; nothing is left to do.
void WidgetControl::refreshCursor() {}

QWidget* widgetOf(rt::WindowId window, rt::ControlId control) {
    auto* live = dynamic_cast<WidgetControl*>(rt::findLiveControl(window, control));
    return live ? live->widget() : nullptr;
}

void tagUnitWidget(QWidget* widget, rt::WindowId window, rt::ControlId control) {
    widget->setProperty(kWindowMark, QVariant::fromValue(window));
    widget->setProperty(kControlMark, QVariant::fromValue(control));
}

std::optional<UnitKey> unitOfWidget(const QWidget* widget) {
    if (!widget) return std::nullopt;
    QVariant window = widget->property(kWindowMark);
    if (!window.isValid()) return std::nullopt;
    return UnitKey{window.value<rt::WindowId>(), widget->property(kControlMark).value<rt::ControlId>()};
}

rt::UnitRecord* unitRecordOfWidget(const QWidget* widget) {
    std::optional<UnitKey> key = unitOfWidget(widget);
    if (!key) return nullptr;
    rt::UnitRecord* unit = rt::findUnit(key->window, key->control);
    if (!unit || !unit->isLive()) return nullptr;
    auto* live = dynamic_cast<WidgetControl*>(unit->live);
    return live && live->widget() == widget ? unit : nullptr;
}

std::optional<Qt::CursorShape> cursorShapeOf(std::string_view data) {
    // The first word names the cursor; shorter data is no cursor of its own.
    if (data.size() < 4) return std::nullopt;
    auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(data[i])); };
    auto number = static_cast<int32_t>(byte(0) | (byte(1) << 8) | (byte(2) << 16) | (byte(3) << 24));
    switch (number) {
        case 0: return std::nullopt;
        case 32513: return Qt::IBeamCursor;
        case 32514: return Qt::WaitCursor;
        case 32515: return Qt::CrossCursor;
        case 32516: return Qt::UpArrowCursor;
        case 32642: return Qt::SizeFDiagCursor;
        case 32643: return Qt::SizeBDiagCursor;
        case 32644: return Qt::SizeHorCursor;
        case 32645: return Qt::SizeVerCursor;
        case 32646: return Qt::SizeAllCursor;
        case 32648: return Qt::ForbiddenCursor;
        case 32649: return Qt::PointingHandCursor;
        case 32650: return Qt::BusyCursor;
        case 32651: return Qt::WhatsThisCursor;
        default: return Qt::ArrowCursor;  // 32512 and every unknown number
    }
}

}  // namespace forms
