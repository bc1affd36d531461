// The combo box unit: an editable drop-down, a drop-down list or a simple
// combo, with its items, selection and colours. The selection is read from
// the control and remembered.
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionComplex>

#include <algorithm>

#include "forms/BasicUnitType.h"
#include "forms/UnitTypes.h"

namespace forms {
namespace {

constexpr int32_t kDropDownList = 1;

// Combo boxes are laid out for a drop-down button about as wide as a scroll
// bar; the platform style's button is wider and takes the room of the last
// characters of a choice that fills its box ("随机10000次" in the trial-count
// box). This style draws the arrow in a narrower button and gives the text
// field what that leaves over. Everything else is the application style's.
class NarrowArrowStyle final : public QProxyStyle {
public:
    // Room for the arrow glyph with a few pixels on either side.
    static constexpr int kArrowWidth = 15;

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override {
        QRect rect = QProxyStyle::subControlRect(control, option, sub, widget);
        if (control != CC_ComboBox || (sub != SC_ComboBoxArrow && sub != SC_ComboBoxEditField)) return rect;
        QRect arrow = QProxyStyle::subControlRect(control, option, SC_ComboBoxArrow, widget);
        int spare = arrow.width() - kArrowWidth;
        if (spare <= 0) return rect;
        // Rectangles are in visual order: the arrow is on the right, or on the left right-to-left.
        bool rightToLeft = option->direction == Qt::RightToLeft;
        if (sub == SC_ComboBoxArrow)
            return rightToLeft ? rect.adjusted(0, 0, -spare, 0) : rect.adjusted(spare, 0, 0, 0);
        return rightToLeft ? rect.adjusted(-spare, 0, 0, 0) : rect.adjusted(0, 0, spare, 0);
    }
};

// One style for all combo boxes, owned by the application object.
QStyle* narrowArrowStyle() {
    static QPointer<QStyle> style;
    if (!style) {
        style = new NarrowArrowStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

class ComboBoxType final : public BasicUnitType {
public:
    ComboBoxType() : BasicUnitType(unittype::ComboBox) {}

protected:
    QWidget* build(rt::WindowRecord&, rt::UnitRecord&, UnitState& state, QWidget* parent) override {
        auto* combo = new QComboBox(parent);
        combo->setStyle(narrowArrowStyle());
        for (uint32_t own : {comboprop::Kind, comboprop::Items, comboprop::Selection, comboprop::Content,
                             comboprop::MaxLength, comboprop::VisibleRows, comboprop::TextColour,
                             comboprop::BackColour, comboprop::Font})
            configure(state, combo, own);
        return combo;
    }

    bool readLive(const rt::UnitRecord&, UnitState& state, QWidget* widget, uint32_t own,
                  rt::PropertyValue& out) override {
        auto* combo = static_cast<QComboBox*>(widget);
        switch (own) {
            case comboprop::Selection: state.stored.setInteger(own, combo->currentIndex()); break;
            case comboprop::Content: state.stored.setBytes(own, toGbk(combo->currentText())); break;
            default: return false;
        }
        out = state.stored.values[own];
        return true;
    }

    int apply(rt::WindowRecord&, rt::UnitRecord&, UnitState& state, QWidget* widget, uint32_t own) override {
        configure(state, static_cast<QComboBox*>(widget), own);
        return 0;
    }

private:
    static void fillItems(const StoredProperties& s, QComboBox* combo) {
        int selected = combo->currentIndex();
        QStringList items;
        for (const std::string& item : decodeItemList(s.bytes(comboprop::Items))) items.append(fromGbk(item));
        if (s.integer(comboprop::Sorted) != 0)
            std::sort(items.begin(), items.end(),
                      [](const QString& a, const QString& b) { return QString::localeAwareCompare(a, b) < 0; });
        combo->clear();
        combo->addItems(items);
        combo->setCurrentIndex(selected < combo->count() ? selected : -1);
    }

    static void configure(UnitState& state, QComboBox* combo, uint32_t own) {
        StoredProperties& s = state.stored;
        switch (own) {
            case comboprop::Kind: {
                combo->setEditable(s.integer(own) != kDropDownList);
                configure(state, combo, comboprop::MaxLength);
                break;
            }
            case comboprop::Items:
            case comboprop::Sorted: fillItems(s, combo); break;
            case comboprop::Selection: {
                int32_t index = s.integer(own);
                combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
                break;
            }
            case comboprop::Content:
                if (combo->isEditable()) combo->setEditText(textValue(s, own));
                break;
            case comboprop::MaxLength:
                if (QLineEdit* edit = combo->lineEdit()) {
                    int32_t limit = s.integer(comboprop::MaxLength);
                    edit->setMaxLength(limit > 0 ? limit : 32767);
                }
                break;
            case comboprop::VisibleRows: combo->setMaxVisibleItems(std::max(s.integer(own), 1)); break;
            case comboprop::TextColour: {
                QColor colour = colourValue(s, own);
                setPaletteColour(combo, QPalette::Text, colour);
                setPaletteColour(combo, QPalette::ButtonText, colour);
                break;
            }
            case comboprop::BackColour: {
                QColor colour = colourValue(s, own);
                setPaletteColour(combo, QPalette::Base, colour);
                setPaletteColour(combo, QPalette::Button, colour);
                break;
            }
            case comboprop::Font: combo->setFont(fontValue(s, own)); break;
            default: break;
        }
    }
};

}  // namespace

WidgetUnitType& comboBoxType() {
    static ComboBoxType type;
    return type;
}

}  // namespace forms
