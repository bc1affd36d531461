// The picture box widget and its unit type.
#include "forms/PicBox.h"

#include <QPainter>

#include "forms/BasicUnitType.h"
#include "forms/UnitTypes.h"

namespace forms {

PictureBoxWidget::PictureBoxWidget(QWidget* parent) : QWidget(parent) {}

void PictureBoxWidget::setPicture(const std::string& bytes) {
    picture_ = bytes;
    decoded_ = decodePicture(picture_);
    ++decodes_;
    update();
}

void PictureBoxWidget::setBackColour(const QColor& colour) {
    backColour_ = colour;
    update();
}

void PictureBoxWidget::setDisplayMode(int32_t mode) {
    mode_ = mode;
    update();
}

void PictureBoxWidget::setBorder(int32_t border) {
    border_ = border;
    update();
}

void PictureBoxWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRect area = rect();
    if (backColour_.isValid()) painter.fillRect(area, backColour_);
    if (border_ != 0) {
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(area.adjusted(0, 0, -1, -1));
        area.adjust(1, 1, -1, -1);
    }
    const QImage& image = decoded_;
    if (image.isNull()) return;
    painter.setClipRect(area);
    switch (mode_) {
        case 1: painter.drawImage(area, image); break;
        case 2: {
            QRect placed(QPoint(0, 0), image.size());
            placed.moveCenter(area.center());
            painter.drawImage(placed.topLeft(), image);
            break;
        }
        case 3: painter.drawTiledPixmap(area, QPixmap::fromImage(image)); break;
        default: painter.drawImage(area.topLeft(), image); break;
    }
}

namespace {

class PicBoxType final : public BasicUnitType {
public:
    PicBoxType() : BasicUnitType(unittype::PicBox) {}

protected:
    QWidget* build(rt::WindowRecord&, rt::UnitRecord&, UnitState& state, QWidget* parent) override {
        auto* box = new PictureBoxWidget(parent);
        for (uint32_t own : {picprop::Border, picprop::BackColour, picprop::Picture, picprop::DisplayMode})
            configure(state, box, own);
        return box;
    }

    int apply(rt::WindowRecord&, rt::UnitRecord&, UnitState& state, QWidget* widget, uint32_t own) override {
        configure(state, static_cast<PictureBoxWidget*>(widget), own);
        return 0;
    }

private:
    static void configure(UnitState& state, PictureBoxWidget* box, uint32_t own) {
        const StoredProperties& s = state.stored;
        switch (own) {
            case picprop::Border: box->setBorder(s.integer(own)); break;
            case picprop::BackColour: box->setBackColour(colourValue(s, own)); break;
            case picprop::Picture: box->setPicture(s.bytes(own)); break;
            case picprop::DisplayMode: box->setDisplayMode(s.integer(own)); break;
            default: break;
        }
    }
};

}  // namespace

WidgetUnitType& picBoxType() {
    static PicBoxType type;
    return type;
}

}  // namespace forms
