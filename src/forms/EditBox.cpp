// The edit box widgets and the edit box unit type.
#include "runtime/Events.h"

#include "forms/EditBox.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>

#include "forms/BasicUnitType.h"
#include "forms/UnitTypes.h"

namespace forms {
namespace {

bool modeAdmits(int32_t mode, QChar c) {
    switch (mode) {
        case editprop::InputWholeNumber: return (c >= u'0' && c <= u'9') || c == u'-';
        case editprop::InputDecimal: return (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
        default: return true;
    }
}

qsizetype refusedCount(int32_t mode, const QString& text) {
    qsizetype count = 0;
    for (QChar c : text)
        if (!modeAdmits(mode, c)) ++count;
    return count;
}

// Multi-line controls hold lines ending in LF; the runtime's texts end them in CR LF.
QString toControlLines(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

}  // namespace

QString admittedInput(const InputRules& rules, qsizetype length, qsizetype replaced, const QString& typed) {
    QString admitted;
    for (QChar c : typed)
        if (modeAdmits(rules.mode, c)) admitted.append(c);
    if (rules.maxLength > 0) {
        qsizetype room = std::max<qsizetype>(0, rules.maxLength - (length - replaced));
        admitted.truncate(room);
    }
    return admitted;
}

// ---- Both kinds ------------------------------------------------------------------

void EditBoxApi::setContent(const QString& text) {
    settingContent_ = true;
    replaceContent(text);
    settingContent_ = false;
    notifyChange();
}

void EditBoxApi::setInitialContent(const QString& text) {
    settingContent_ = true;
    replaceContent(text);
    settingContent_ = false;
}

void EditBoxApi::controlChanged() {
    if (!settingContent_) notifyChange();
}

void EditBoxApi::notifyChange() {
    ++notifications_;
    if (onChange) onChange();
}

EditBoxApi* editBoxOf(QWidget* widget) { return dynamic_cast<EditBoxApi*>(widget); }

// ---- Single line -------------------------------------------------------------------

InputRulesValidator::InputRulesValidator(LineEditBox* box) : QValidator(box), box_(box) {}

QValidator::State InputRulesValidator::validate(QString& input, int&) const {
    if (box_->programmatic_ || box_->settingContent_) return Acceptable;
    const InputRules& rules = box_->rules();
    const QString& before = box_->accepted_;
    // Text the program put in stays editable: only what the edit adds is judged.
    if (refusedCount(rules.mode, input) > refusedCount(rules.mode, before)) return Invalid;
    if (rules.maxLength > 0 && input.size() > rules.maxLength && input.size() > before.size()) return Invalid;
    return Acceptable;
}

LineEditBox::LineEditBox(QWidget* parent) : QLineEdit(parent) {
    setValidator(new InputRulesValidator(this));
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        accepted_ = text;
        controlChanged();
    });
}

void LineEditBox::replaceContent(const QString& text) {
    programmatic_ = true;
    setText(text);
    accepted_ = text;
    programmatic_ = false;
}

void LineEditBox::appendContent(const QString& added) {
    programmatic_ = true;
    setText(text() + added);  // replaces the undo history as well
    programmatic_ = false;
    end(false);
}

// ---- Multi-line ----------------------------------------------------------------------

TextEditBox::TextEditBox(QWidget* parent) : QPlainTextEdit(parent) {
    connect(this, &QPlainTextEdit::textChanged, this, [this] { controlChanged(); });
}

QString TextEditBox::content() const {
    QString text = toPlainText();
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

void TextEditBox::replaceContent(const QString& text) { setPlainText(toControlLines(text)); }

void TextEditBox::appendContent(const QString& added) {
    QTextCursor cursor = textCursor();
    cursor.movePosition(QTextCursor::End);
    setTextCursor(cursor);
    bool undo = document()->isUndoRedoEnabled();
    document()->setUndoRedoEnabled(false);
    insertPlainText(toControlLines(added));
    document()->setUndoRedoEnabled(undo);
    ensureCursorVisible();
}

qsizetype TextEditBox::selectedLength() const {
    QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

// Typed characters that the input rules refuse are swallowed; keys that
// type nothing (and shortcuts) go on to the control.
void TextEditBox::keyPressEvent(QKeyEvent* event) {
    if (!isReadOnly() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        bool newLine = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        QString typed = newLine ? QStringLiteral("\n") : event->text();
        bool printable = newLine || (!typed.isEmpty() && typed.front() >= u' ' && typed.front() != QChar(0x7F));
        if (printable) {
            InputRules rules = rules_;
            if (newLine) rules.mode = editprop::InputNormal;  // a line break counts against the length only
            if (admittedInput(rules, document()->characterCount() - 1, selectedLength(), typed) != typed) {
                event->accept();
                return;
            }
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TextEditBox::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText()) return QPlainTextEdit::insertFromMimeData(source);
    QString admitted = admittedInput(rules_, document()->characterCount() - 1, selectedLength(),
                                     toControlLines(source->text()));
    textCursor().insertText(admitted);
    ensureCursorVisible();
}

// ---- The unit type ----------------------------------------------------------------------

namespace {

// The edit box's live control, to which the runtime appends text.
class EditControl final : public WidgetControl, public rt::TextAppendable {
public:
    using WidgetControl::WidgetControl;
    void appendText(const char* gbk) override {
        if (EditBoxApi* box = editBoxOf(widget())) box->appendContent(fromGbk(gbk ? gbk : ""));
    }
};

class EditBoxType final : public BasicUnitType {
public:
    EditBoxType() : BasicUnitType(unittype::EditBox) {}

protected:
    QWidget* build(rt::WindowRecord& window, rt::UnitRecord& unit, UnitState& state, QWidget* parent) override {
        QWidget* widget = state.stored.integer(editprop::MultiLine) != 0 ? static_cast<QWidget*>(new TextEditBox(parent))
                                                                          : new LineEditBox(parent);
        for (uint32_t own : {editprop::Border, editprop::TextColour, editprop::BackColour, editprop::Font,
                             editprop::InputMode, editprop::ScrollBars, editprop::Alignment})
            configure(state, widget, own);
        EditBoxApi* box = editBoxOf(widget);
        box->setInitialContent(textValue(state.stored, editprop::Content));
        box->onChange = [w = window.id, c = unit.id] { rt::raiseEvent(w, c, 0); };
        return widget;
    }

    bool readLive(const rt::UnitRecord&, UnitState& state, QWidget* widget, uint32_t own,
                  rt::PropertyValue& out) override {
        EditBoxApi* box = editBoxOf(widget);
        if (own != editprop::Content || !box) return false;
        state.stored.setBytes(own, toGbk(box->content()));
        out = state.stored.values[own];
        return true;
    }

    int apply(rt::WindowRecord&, rt::UnitRecord&, UnitState& state, QWidget* widget, uint32_t own) override {
        switch (own) {
            case editprop::Content:
                if (EditBoxApi* box = editBoxOf(widget)) box->setContent(textValue(state.stored, own));
                return 0;
            // The other kind of control is needed.
            case editprop::MultiLine:
                return (state.stored.integer(own) != 0) != (qobject_cast<TextEditBox*>(widget) != nullptr) ? 1 : 0;
            default: configure(state, widget, own); return 0;
        }
    }

    std::shared_ptr<WidgetControl> makeControl(QWidget* widget) const override {
        return std::make_shared<EditControl>(widget);
    }

private:
    static void configure(UnitState& state, QWidget* widget, uint32_t own) {
        const StoredProperties& s = state.stored;
        auto* line = qobject_cast<LineEditBox*>(widget);
        auto* text = qobject_cast<TextEditBox*>(widget);
        switch (own) {
            case editprop::Border:
                if (line) line->setFrame(s.integer(own) != 0);
                if (text) text->setFrameShape(s.integer(own) != 0 ? QFrame::StyledPanel : QFrame::NoFrame);
                break;
            case editprop::TextColour: setPaletteColour(widget, QPalette::Text, colourValue(s, own)); break;
            case editprop::BackColour: setPaletteColour(widget, QPalette::Base, colourValue(s, own)); break;
            case editprop::Font: widget->setFont(fontValue(s, own)); break;
            case editprop::MaxLength:
            case editprop::InputMode: {
                int32_t mode = s.integer(editprop::InputMode);
                editBoxOf(widget)->setRules({mode, std::max(s.integer(editprop::MaxLength), 0)});
                if (line) {
                    line->setReadOnly(mode == editprop::InputReadOnly);
                    line->setEchoMode(mode == editprop::InputPassword ? QLineEdit::Password : QLineEdit::Normal);
                }
                if (text) text->setReadOnly(mode == editprop::InputReadOnly);
                break;
            }
            case editprop::ScrollBars:
                if (text) {
                    int32_t bars = s.integer(own);
                    bool horizontal = bars == 1 || bars == 3, vertical = bars == 2 || bars == 3;
                    text->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
                    text->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
                    // Without a horizontal scroll bar long lines wrap.
                    text->setLineWrapMode(horizontal ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
                }
                break;
            case editprop::Alignment: {
                Qt::Alignment h = horizontalAlignment(s.integer(own));
                if (line) line->setAlignment(h | Qt::AlignVCenter);
                if (text) {
                    QTextOption option = text->document()->defaultTextOption();
                    option.setAlignment(h);
                    text->document()->setDefaultTextOption(option);
                }
                break;
            }
            default: break;
        }
    }
};

}  // namespace

WidgetUnitType& editBoxType() {
    static EditBoxType type;
    return type;
}

}  // namespace forms
