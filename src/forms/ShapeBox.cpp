// The shape box widget and its unit type.
#include "forms/ShapeBox.h"

#include <QPainter>

#include <algorithm>

#include "forms/BasicUnitType.h"
#include "forms/UnitTypes.h"

namespace forms {
namespace {

Qt::PenStyle penStyleOf(int32_t style) {
    switch (style) {
        case 1: return Qt::DashLine;
        case 2: return Qt::DotLine;
        case 3: return Qt::DashDotLine;
        case 4: return Qt::DashDotDotLine;
        case 5: return Qt::NoPen;
        default: return Qt::SolidLine;
    }
}

Qt::BrushStyle brushStyleOf(int32_t fill) {
    switch (fill) {
        case 0: return Qt::NoBrush;
        case 2: return Qt::HorPattern;
        case 3: return Qt::VerPattern;
        case 4: return Qt::FDiagPattern;
        case 5: return Qt::BDiagPattern;
        case 6: return Qt::CrossPattern;
        case 7: return Qt::DiagCrossPattern;
        default: return Qt::SolidPattern;
    }
}

}  // namespace

ShapeBoxWidget::ShapeBoxWidget(QWidget* parent) : QWidget(parent) {}

void ShapeBoxWidget::setLook(const ShapeLook& look) {
    look_ = look;
    update();
}

void ShapeBoxWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (look_.backColour.isValid()) painter.fillRect(rect(), look_.backColour);
    painter.setRenderHint(QPainter::Antialiasing, look_.shape != 0);
    int width = std::max(look_.lineWidth, 1);
    QPen pen(look_.lineColour, width, penStyleOf(look_.lineStyle));
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(QBrush(look_.fillColour, brushStyleOf(look_.fillStyle)));
    // The line lies inside the box.
    qreal inset = width / 2.0;
    QRectF outline = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    switch (look_.shape) {
        case 1: {
            qreal radius = std::min(outline.width(), outline.height()) / 6.0;
            painter.drawRoundedRect(outline, radius, radius);
            break;
        }
        case 2: painter.drawEllipse(outline); break;
        default: painter.drawRect(outline); break;
    }
}

namespace {

class ShapeBoxType final : public BasicUnitType {
public:
    ShapeBoxType() : BasicUnitType(unittype::ShapeBox) {}

protected:
    QWidget* build(rt::WindowRecord&, rt::UnitRecord&, UnitState& state, QWidget* parent) override {
        auto* box = new ShapeBoxWidget(parent);
        box->setLook(lookOf(state.stored));
        return box;
    }

    int apply(rt::WindowRecord&, rt::UnitRecord&, UnitState& state, QWidget* widget, uint32_t) override {
        static_cast<ShapeBoxWidget*>(widget)->setLook(lookOf(state.stored));
        return 0;
    }

private:
    static ShapeLook lookOf(const StoredProperties& s) {
        using namespace shapeprop;
        ShapeLook look;
        look.backColour = colourValue(s, BackColour);
        look.shape = s.integer(Shape);
        look.lineStyle = s.integer(LineStyle);
        look.fillStyle = s.integer(FillStyle);
        look.lineWidth = s.integer(LineWidth);
        QColor line = colourValue(s, LineColour), fill = colourValue(s, FillColour);
        look.lineColour = line.isValid() ? line : QColor(Qt::black);
        look.fillColour = fill.isValid() ? fill : QColor(Qt::black);
        return look;
    }
};

}  // namespace

WidgetUnitType& shapeBoxType() {
    static ShapeBoxType type;
    return type;
}

}  // namespace forms
