// The grid's two text editors behind one set of operations: a one-line edit
// for numbers and a multi-line edit for texts, in which Ctrl+Enter breaks the line.
#pragma once

#include <QString>

class QWidget;

namespace grid::textedit {

// A new text editor on `parent`; multi-line when asked (its lines are joined by "\n").
QWidget* create(QWidget* parent, bool multiLine);
// Whether the widget is one of the text editors made by create.
bool isTextEditor(const QWidget* editor);
bool isMultiLine(const QWidget* editor);

QString text(const QWidget* editor);
void setText(QWidget* editor, const QString& text);
void clear(QWidget* editor);
// Replaces the selection (or inserts at the caret) with the text.
void insert(QWidget* editor, const QString& text);
void moveCaretToEnd(QWidget* editor);
void selectAll(QWidget* editor);
void backspace(QWidget* editor);
// Where a typed character goes: the start of the selection, or the caret.
int insertionPoint(const QWidget* editor);
// Whether the selection covers a text that is not empty.
bool wholeTextSelected(const QWidget* editor);

// The width of the widest line with two blanks after it, in the editor's font.
int widestLineWidth(const QWidget* editor);
// The number of lines and the height that each one adds.
int lineCount(const QWidget* editor);
int lineHeight(const QWidget* editor);

}  // namespace grid::textedit
