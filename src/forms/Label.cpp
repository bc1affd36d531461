// The label widget and the label unit type.
#include "forms/Label.h"

#include <QAccessible>
#include <QPainter>

#include "forms/BasicUnitType.h"
#include "forms/UnitTypes.h"

namespace forms {

LabelWidget::LabelWidget(QWidget* parent) : QWidget(parent) {}

void LabelWidget::setCaption(const QString& caption) {
    caption_ = caption;
    update();
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

// Like the other units' text colours, the caption's is the enabled look only.
void LabelWidget::setTextColour(const QColor& colour) {
    setPaletteColour(this, QPalette::WindowText, colour);
    update();
}

void LabelWidget::setBackColour(const QColor& colour) {
    backColour_ = colour;
    update();
}

void LabelWidget::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

void LabelWidget::setWordWrap(bool wrap) {
    wordWrap_ = wrap;
    update();
}

void LabelWidget::setPicture(const std::string& bytes) {
    picture_ = bytes;
    decoded_ = decodePicture(picture_);
    update();
}

void LabelWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (backColour_.isValid()) painter.fillRect(rect(), backColour_);
    if (!decoded_.isNull()) painter.drawImage(QPoint(0, 0), decoded_);
    if (caption_.isEmpty()) return;
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    int flags = static_cast<int>(alignment_) | (wordWrap_ ? Qt::TextWordWrap : 0);
    painter.drawText(rect(), flags, caption_);
}

namespace {

class LabelType final : public BasicUnitType {
public:
    LabelType() : BasicUnitType(unittype::Label) {}

protected:
    QWidget* build(rt::WindowRecord&, rt::UnitRecord&, UnitState& state, QWidget* parent) override {
        auto* label = new LabelWidget(parent);
        for (uint32_t own : {labelprop::Caption, labelprop::Font, labelprop::TextColour, labelprop::BackColour,
                             labelprop::Picture, labelprop::HorizontalAlignment, labelprop::WordWrap})
            configure(state, label, own);
        return label;
    }

    int apply(rt::WindowRecord&, rt::UnitRecord&, UnitState& state, QWidget* widget, uint32_t own) override {
        configure(state, static_cast<LabelWidget*>(widget), own);
        return 0;
    }

private:
    static void configure(UnitState& state, LabelWidget* label, uint32_t own) {
        const StoredProperties& s = state.stored;
        switch (own) {
            case labelprop::Caption: label->setCaption(textValue(s, own)); break;
            case labelprop::Font: label->setFont(fontValue(s, own)); break;
            case labelprop::TextColour: label->setTextColour(colourValue(s, own)); break;
            case labelprop::BackColour: label->setBackColour(colourValue(s, own)); break;
            case labelprop::Picture: label->setPicture(s.bytes(own)); break;
            case labelprop::HorizontalAlignment:
            case labelprop::VerticalAlignment:
                label->setAlignment(horizontalAlignment(s.integer(labelprop::HorizontalAlignment)) |
                                    verticalAlignment(s.integer(labelprop::VerticalAlignment)));
                break;
            case labelprop::WordWrap: label->setWordWrap(s.integer(own) != 0); break;
            default: break;
        }
    }
};

}  // namespace

WidgetUnitType& labelType() {
    static LabelType type;
    return type;
}

}  // namespace forms
