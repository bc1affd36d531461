// The one-line and the multi-line text editor of the grid, and the few
// operations that the editor session needs of either.
#include "grid/GridTextEdit.h"

#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace grid::textedit {
namespace {

// Room between the multi-line editor's frame and its text, so that one line fits a cell of the default height.
constexpr qreal kDocumentMargin = 1;

QLineEdit* asLine(const QWidget* w) { return qobject_cast<QLineEdit*>(const_cast<QWidget*>(w)); }
QPlainTextEdit* asPlain(const QWidget* w) { return qobject_cast<QPlainTextEdit*>(const_cast<QWidget*>(w)); }

QPlainTextEdit* createMultiLine(QWidget* parent) {
    auto* edit = new QPlainTextEdit(parent);
    // A line runs on to the right (the editor widens), and the editor grows
    // downward instead of showing scroll bars.
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setFrameStyle(QFrame::Box | QFrame::Plain);
    edit->setLineWidth(1);
    edit->document()->setDocumentMargin(kDocumentMargin);
    edit->setTabChangesFocus(true);
    return edit;
}

}  // namespace

QWidget* create(QWidget* parent, bool multiLine) {
    if (multiLine) return createMultiLine(parent);
    auto* edit = new QLineEdit(parent);
    edit->setFrame(true);
    return edit;
}

bool isTextEditor(const QWidget* editor) { return asLine(editor) || asPlain(editor); }
bool isMultiLine(const QWidget* editor) { return asPlain(editor) != nullptr; }

QString text(const QWidget* editor) {
    if (QLineEdit* line = asLine(editor)) return line->text();
    if (QPlainTextEdit* plain = asPlain(editor)) return plain->toPlainText();
    return {};
}

void setText(QWidget* editor, const QString& text) {
    if (QLineEdit* line = asLine(editor)) line->setText(text);
    else if (QPlainTextEdit* plain = asPlain(editor)) plain->setPlainText(text);
}

void clear(QWidget* editor) {
    if (QLineEdit* line = asLine(editor)) line->clear();
    else if (QPlainTextEdit* plain = asPlain(editor)) plain->clear();
}

void insert(QWidget* editor, const QString& text) {
    if (QLineEdit* line = asLine(editor)) line->insert(text);
    else if (QPlainTextEdit* plain = asPlain(editor)) plain->insertPlainText(text);
}

void moveCaretToEnd(QWidget* editor) {
    if (QLineEdit* line = asLine(editor)) line->end(false);
    else if (QPlainTextEdit* plain = asPlain(editor)) plain->moveCursor(QTextCursor::End);
}

void selectAll(QWidget* editor) {
    if (QLineEdit* line = asLine(editor)) line->selectAll();
    else if (QPlainTextEdit* plain = asPlain(editor)) plain->selectAll();
}

void backspace(QWidget* editor) {
    if (QLineEdit* line = asLine(editor)) {
        line->backspace();
    } else if (QPlainTextEdit* plain = asPlain(editor)) {
        QTextCursor cursor = plain->textCursor();
        cursor.deletePreviousChar();
        plain->setTextCursor(cursor);
    }
}

int insertionPoint(const QWidget* editor) {
    if (QLineEdit* line = asLine(editor)) return line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
    if (QPlainTextEdit* plain = asPlain(editor)) return plain->textCursor().selectionStart();
    return 0;
}

bool wholeTextSelected(const QWidget* editor) {
    const QString all = text(editor);
    if (all.isEmpty()) return false;
    if (QLineEdit* line = asLine(editor)) return line->selectedText() == all;
    const QTextCursor cursor = asPlain(editor)->textCursor();
    return cursor.selectionStart() == 0 && cursor.selectionEnd() == all.size();
}

int widestLineWidth(const QWidget* editor) {
    const QFontMetrics metrics = editor->fontMetrics();
    int widest = 0;
    for (const QString& line : text(editor).split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line + QStringLiteral("  ")));
    return widest;
}

int lineCount(const QWidget* editor) {
    if (QPlainTextEdit* plain = asPlain(editor)) return plain->document()->blockCount();
    return 1;
}

int lineHeight(const QWidget* editor) { return editor->fontMetrics().lineSpacing(); }

}  // namespace grid::textedit
