// The edit box: a single-line or multi-line edit control whose content
// writes notify exactly once, with the input rules of its input mode.
#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QValidator>

#include <functional>

namespace forms {

// What typed or pasted input may contain: the input mode's characters and at
// most `maxLength` characters in all (0 = no limit).
struct InputRules {
    int32_t mode = 0;  // editprop::Input*
    int32_t maxLength = 0;
};

// The part of `typed` that may go into a text of `length` characters of which
// `replaced` are being replaced: characters the mode refuses are left out and
// the rest is cut at the maximum length.
QString admittedInput(const InputRules& rules, qsizetype length, qsizetype replaced, const QString& typed);

// What both kinds of edit box offer the unit type and the runtime.
class EditBoxApi {
public:
    virtual ~EditBoxApi() = default;

    // The content, lines ending in CR LF.
    virtual QString content() const = 0;
    // Replaces the content with the change notification held back while the
    // text is set, then notifies once.
    void setContent(const QString& text);
    // The content a new control starts with; no notification.
    void setInitialContent(const QString& text);
    // Moves the caret to the end and inserts the text there, without undo.
    virtual void appendContent(const QString& text) = 0;
    virtual void ensureCaretVisible() = 0;

    void setRules(const InputRules& rules) { rules_ = rules; }
    const InputRules& rules() const { return rules_; }
    // Change notifications so far: one per content write, one per user edit.
    int changeNotifications() const { return notifications_; }
    // Called on every change notification.
    std::function<void()> onChange;

protected:
    virtual void replaceContent(const QString& text) = 0;
    // The control's own change signal: a notification unless the content is being set.
    void controlChanged();

    InputRules rules_;
    bool settingContent_ = false;

private:
    void notifyChange();

    int notifications_ = 0;
};

// The edit box behind a widget, or null.
EditBoxApi* editBoxOf(QWidget* widget);

class LineEditBox;

// Refuses typed or pasted text that breaks the input rules; the text set by
// the program is never refused.
class InputRulesValidator final : public QValidator {
public:
    explicit InputRulesValidator(LineEditBox* box);
    State validate(QString& input, int& position) const override;

private:
    LineEditBox* box_;
};

class LineEditBox final : public QLineEdit, public EditBoxApi {
    Q_OBJECT
public:
    explicit LineEditBox(QWidget* parent);
    QString content() const override { return text(); }
    void appendContent(const QString& text) override;
    void ensureCaretVisible() override { setCursorPosition(cursorPosition()); }

private:
    friend class InputRulesValidator;
    void replaceContent(const QString& text) override;

    QString accepted_;  // the text before the edit being validated
    bool programmatic_ = false;
};

class TextEditBox final : public QPlainTextEdit, public EditBoxApi {
    Q_OBJECT
public:
    explicit TextEditBox(QWidget* parent);
    QString content() const override;
    void appendContent(const QString& text) override;
    void ensureCaretVisible() override { ensureCursorVisible(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void replaceContent(const QString& text) override;
    qsizetype selectedLength() const;
};

}  // namespace forms
