// The combo box unit: an editable drop-down, a drop-down list or a simple
// combo, with its items, selection and colours. The selection is read from
// the control and remembered.
#include <QComboBox>
#include <QLineEdit>

#include <algorithm>

#include "forms/BasicUnitType.h"
#include "forms/UnitTypes.h"

namespace forms {
namespace {

constexpr int32_t kDropDownList = 1;

class ComboBoxType final : public BasicUnitType {
public:
    ComboBoxType() : BasicUnitType(unittype::ComboBox) {}

protected:
    QWidget* build(rt::WindowRecord&, rt::UnitRecord&, UnitState& state, QWidget* parent) override {
        auto* combo = new QComboBox(parent);
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
