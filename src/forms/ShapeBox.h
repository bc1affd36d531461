// The shape box: a rectangle, rounded rectangle or ellipse drawn with its
// line and fill, holding the units placed inside it.
#pragma once

#include <QWidget>

namespace forms {

struct ShapeLook {
    QColor backColour;  // invalid = transparent
    int32_t shape = 0;  // 0 rectangle, 1 rounded rectangle, 2 ellipse
    int32_t lineStyle = 0;  // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 none
    int32_t fillStyle = 0;  // 0 hollow, 1 solid, 2-7 hatched
    int32_t lineWidth = 1;
    QColor lineColour = Qt::black, fillColour = Qt::black;
};

class ShapeBoxWidget final : public QWidget {
    Q_OBJECT
public:
    explicit ShapeBoxWidget(QWidget* parent);
    const ShapeLook& look() const { return look_; }
    void setLook(const ShapeLook& look);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ShapeLook look_;
};

}  // namespace forms
