// Opening an in-place editor on a cell, the editors by column type, the
// character filter, the end of an edit and the check-box toggle.
#include "grid/GridEditor.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QKeyEvent>
#include <QPushButton>

#include "forms/Units.h"
#include "grid/GridCtrl.h"
#include "grid/GridTextEdit.h"
#include "grid/GridTexts.h"
#include "grid/NumberText.h"
#include "grid/PictureCodec.h"

namespace grid {

namespace gp = forms::gridprop;

namespace {

bool endRunning = false;

struct EndGuard {
    EndGuard() { endRunning = true; }
    ~EndGuard() { endRunning = false; }
};

bool isNavigationKey(int key) {
    return key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_End || key == Qt::Key_Home ||
           key == Qt::Key_Left || key == Qt::Key_Up || key == Qt::Key_Right || key == Qt::Key_Down;
}
bool isArrowLike(int key) {
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Home || key == Qt::Key_End;
}

// The start character a key continues with: Tab and the navigation keys
// their virtual-key code, anything else 1.
int32_t startCharOfKey(int key) {
    int32_t vk = forms::virtualKeyOfQtKey(key);
    return vk == 9 || (vk >= 33 && vk <= 40) ? vk : 1;
}

// The character as the runtime's texts hold it: ASCII as itself, others as their GBK bytes.
int32_t gbkCode(QChar ch) {
    const std::string bytes = forms::toGbk(QString(ch));
    int32_t code = 0;
    for (unsigned char b : bytes) code = (code << 8) | b;
    return code;
}

// Line breaks are CR LF in a cell and LF in the multi-line editor.
QString editorTextOfCell(const std::string& gbk, bool multiLine) {
    QString text = forms::fromGbk(gbk);
    if (multiLine) text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::string cellTextOfEditor(QString text, bool multiLine) {
    if (multiLine) text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return forms::toGbk(text);
}

QDate dateOfText(const QString& text) {
    for (const char* format : {"yyyy-MM-dd", "yyyy-M-d", "yyyy/M/d", "yyyy/MM/dd", "yyyyMMdd"}) {
        QDate d = QDate::fromString(text.trimmed(), QString::fromLatin1(format));
        if (d.isValid()) return d;
    }
    return {};
}

}  // namespace

bool editEndRunning() { return endRunning; }

FilterVerdict filterCharacter(int32_t columnType, char32_t ch, const QString& text, int cursor, bool allSelected) {
    if (ch < 0x20 || ch == 0x7F) return FilterVerdict::Accept;  // control characters
    const bool digit = ch >= '0' && ch <= '9';
    switch (columnType) {
        case coltype::Number:
        case coltype::Currency: {
            if (ch == ' ') return allSelected ? FilterVerdict::EmptyAll : FilterVerdict::Beep;
            if (!digit && ch != '-' && ch != '.') return FilterVerdict::Beep;
            if (allSelected) return FilterVerdict::Accept;  // the character replaces the text
            const bool hasMinus = text.contains(QLatin1Char('-'));
            if (ch == '-' && (cursor != 0 || hasMinus)) return FilterVerdict::Drop;
            if (cursor == 0 && hasMinus) return FilterVerdict::Drop;
            if (ch == '.' && text.contains(QLatin1Char('.'))) return FilterVerdict::Drop;
            return FilterVerdict::Accept;
        }
        case coltype::Date:
            return digit || ch == '-' || ch == '/' ? FilterVerdict::Accept : FilterVerdict::Beep;
        case coltype::CheckBox:
        case coltype::Picture: return FilterVerdict::Drop;
        default: return FilterVerdict::Accept;
    }
}

std::string normaliseNumberText(std::string text) {
    if (numericValue(text) == 0) return text;
    if (!text.empty() && text.back() == '.') text.pop_back();
    while (!text.empty() && text.front() == '0' && text.rfind("0.", 0) != 0) text.erase(0, 1);
    return text;
}

// ---- The session ------------------------------------------------------------------

EditorSession::EditorSession(CGridCtrl* grid, QWidget* editor, Kind kind, int32_t row, int32_t column,
                             int32_t columnType, bool endsOnArrows, const std::string& startText)
    : QObject(editor), grid_(grid), editor_(editor), kind_(kind), row_(row), column_(column),
      columnType_(columnType), endsOnArrows_(endsOnArrows), startText_(startText),
      shownStartText_(editorTextOfCell(startText, textedit::isMultiLine(editor))) {
    editor->installEventFilter(this);
    for (QWidget* child : editor->findChildren<QWidget*>()) child->installEventFilter(this);
}

std::string EditorSession::committedText() const {
    QWidget* editor = editor_.data();
    if (textedit::isTextEditor(editor)) {
        const QString shown = textedit::text(editor);
        // Unchanged, the text goes back as it came, even where the editor
        // could not hold it exactly (a lone line feed, bytes that are not GBK).
        if (shown == shownStartText_) return startText_;
        return cellTextOfEditor(shown, textedit::isMultiLine(editor));
    }
    if (auto* date = qobject_cast<QDateEdit*>(editor)) return forms::toGbk(date->text());
    if (auto* combo = qobject_cast<QComboBox*>(editor)) return forms::toGbk(combo->currentText());
    return startText_;
}

void EditorSession::restoreStartText() {
    if (textedit::isTextEditor(editor_)) textedit::setText(editor_, shownStartText_);
}

void EditorSession::finish(int key) {
    if (finished_ || editEndRunning()) return;
    finished_ = true;
    std::string text = kind_ == Kind::Picture ? startText_ : committedText();
    if (kind_ == Kind::Date && key == Qt::Key_Escape) text = startText_;
    if (grid_) grid_->endEdit(row_, column_, std::move(text), key);
}

void EditorSession::fitToText() {
    QWidget* editor = editor_.data();
    if (!grid_ || !textedit::isTextEditor(editor)) return;
    const QRect area = grid_->cellArea();
    int width = editor->width(), height = editor->height();
    const int widest = textedit::widestLineWidth(editor);
    if (widest > width) width = std::min(widest + 4, area.right() - editor->x() + 1);
    // One more text line for each line after the first.
    const int tall = grid_->rowHeight(row_) + (textedit::lineCount(editor) - 1) * textedit::lineHeight(editor);
    if (tall > height) height = std::min(tall, area.bottom() - editor->y() + 1);
    editor->resize(width, height);
}

void EditorSession::breakLine() {
    textedit::insert(editor_, QStringLiteral("\n"));
    fitToText();
}

bool EditorSession::filterTextKey(QKeyEvent* key) {
    QWidget* editor = editor_.data();
    const QString typed = key->text();
    if (!textedit::isTextEditor(editor) || typed.isEmpty() || !typed.at(0).isPrint() ||
        (key->modifiers() & Qt::ControlModifier))
        return false;
    // Each character typed is reported before the filter sees it.
    QPointer<EditorSession> alive(this);
    if (grid_) grid_->raiseGridEvent(gridevent::Character, {gbkCode(typed.at(0))});
    if (!alive || !editor_) return true;
    switch (filterCharacter(columnType_, typed.at(0).unicode(), textedit::text(editor), textedit::insertionPoint(editor),
                            textedit::wholeTextSelected(editor))) {
        case FilterVerdict::Accept: return false;
        case FilterVerdict::Drop: return true;
        case FilterVerdict::Beep: QApplication::beep(); return true;
        case FilterVerdict::EmptyAll: textedit::clear(editor); return true;
    }
    return true;
}

void EditorSession::choosePicture() {
    if (choosing_ || !grid_) return;
    choosing_ = true;
    QPointer<EditorSession> alive(this);
    const QString file = QFileDialog::getOpenFileName(grid_, QString(), QString(), forms::fromGbk(texts::PictureFilter));
    if (!alive) return;
    choosing_ = false;
    if (!file.isEmpty() && grid_) {
        QImage picture = loadPictureFile(forms::toGbk(file));
        if (!picture.isNull()) grid_->setCellPicture(row_, column_, std::move(picture));
    }
    finish(Qt::Key_Return);
}

bool EditorSession::eventFilter(QObject* watched, QEvent* event) {
    if (finished_) return false;
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride: {
            auto* key = static_cast<QKeyEvent*>(event);
            const int k = key->key();
            const bool press = event->type() == QEvent::KeyPress;
            const bool enter = k == Qt::Key_Return || k == Qt::Key_Enter;
            // Ctrl+Enter breaks the line where the editor has lines.
            if (enter && (key->modifiers() & Qt::ControlModifier) && textedit::isMultiLine(editor_)) {
                if (press) breakLine();
                else event->accept();  // before any shortcut
                return true;
            }
            bool ends = k == Qt::Key_Escape || k == Qt::Key_Tab || k == Qt::Key_Backtab || enter;
            if (kind_ == Kind::Text && isNavigationKey(k)) ends = ends || !isArrowLike(k) || endsOnArrows_;
            if (kind_ == Kind::Picture && (enter || k == Qt::Key_Space)) {
                if (press) choosePicture();
                return true;
            }
            // A list or date keeps its arrows for itself.
            if (!ends) {
                if (press && kind_ == Kind::Text) return filterTextKey(key);
                return false;
            }
            if (!press) {
                event->accept();  // the editor takes these keys before any shortcut
                return true;
            }
            if (k == Qt::Key_Escape) restoreStartText();
            finish(enter ? Qt::Key_Return : k);
            return true;
        }
        case QEvent::FocusOut: {
            auto* focus = static_cast<QFocusEvent*>(event);
            // A popup of the editor itself (a list, a calendar, a menu) does not end it.
            if (focus->reason() == Qt::PopupFocusReason || choosing_) return false;
            QWidget* next = QApplication::focusWidget();
            if (next && editor_ && (next == editor_ || editor_->isAncestorOf(next))) return false;
            finish(0);
            return false;
        }
        default: break;
    }
    if (watched == editor_ && event->type() == QEvent::KeyRelease) fitToText();
    return false;
}

// ---- The grid's side --------------------------------------------------------------

QWidget* CGridCtrl::editorWidget() const { return editor_.data(); }

bool CGridCtrl::openEditor(int32_t row, int32_t column, int32_t startChar, const QString& typed) {
    if (!setting(gp::Editable) || !isValidCell(row, column) || !isDataCell(row, column) || editor_) return false;
    QPointer<CGridCtrl> alive(this);
    const rt::HandlerResult allowed = raiseGridEvent(gridevent::MayEdit);
    if (!alive || (allowed.present && allowed.value == 0)) return false;

    const uint32_t text = cellTextColour(row, column), back = cellBackColour(row, column);
    const QColor textColour = forms::colourOf(text == kDefaultColour ? static_cast<uint32_t>(settings_[gp::CellTextColor]) : text);
    const QColor backColour = forms::colourOf(back == kDefaultColour ? static_cast<uint32_t>(settings_[gp::CellBackColor]) : back);
    const QFont font = forms::fontOf(cellFont(row, column));

    raiseGridEvent(gridevent::EditorOpening);
    if (!alive || !isValidCell(row, column)) return false;
    // The handler may have changed the column's type: the editor follows it.
    const int32_t type = columnType(column);
    if (type == coltype::CheckBox) return false;
    ensureCellVisible(row, column);
    const QRect rect = cellRect(row, column);
    if (rect.isEmpty() || !cellArea().contains(rect)) return false;
    notifyParent(gridnotify::CellChanging, row, column);

    const std::string start = cellText(row, column);
    const QString startText = forms::fromGbk(start);
    QWidget* editor = nullptr;
    EditorSession::Kind kind = EditorSession::Kind::Text;
    const bool typedStart = startChar != 1 && startChar != 13 && startChar != 8;
    if (type == coltype::Date) {
        auto* date = new QDateEdit(this);
        date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        const QDate d = dateOfText(startText);
        date->setDate(d.isValid() ? d : QDate::currentDate());
        editor = date;
        kind = EditorSession::Kind::Date;
    } else if (type == coltype::ComboBox || type == coltype::DropList) {
        auto* combo = new QComboBox(this);
        const ColumnTypeRecord* record = columnTypeRecord(column);
        if (record)
            for (const std::string& choice : record->list) combo->addItem(forms::fromGbk(choice));
        if (type == coltype::ComboBox) {
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setEditText(startText);
            if (!typed.isEmpty() && typed.at(0).isPrint() && startChar != ' ') combo->setEditText(typed);
        } else {
            const int at = combo->findText(startText);
            combo->setCurrentIndex(at >= 0 ? at : (combo->count() > 0 ? 0 : -1));
        }
        editor = combo;
        kind = EditorSession::Kind::List;
    } else if (type == coltype::Picture) {
        editor = new QPushButton(QStringLiteral("..."), this);
        kind = EditorSession::Kind::Picture;
    } else {
        // Texts may hold line breaks; numbers are one line.
        const bool multiLine = type == coltype::Text;
        editor = textedit::create(this, multiLine);
        textedit::setText(editor, editorTextOfCell(start, multiLine));
        if (startChar == 1 || startChar == 13) {
            textedit::moveCaretToEnd(editor);
        } else if (startChar == 8) {
            textedit::moveCaretToEnd(editor);
            textedit::backspace(editor);
        } else {
            textedit::selectAll(editor);
        }
    }
    QPalette palette = editor->palette();
    if (textColour.isValid()) palette.setColor(QPalette::Text, textColour);
    if (backColour.isValid()) palette.setColor(QPalette::Base, backColour);
    editor->setPalette(palette);
    editor->setFont(font);
    editor->setGeometry(rect);
    editorSession_ = new EditorSession(this, editor, kind, row, column, type, typedStart, start);
    editor_ = editor;
    editor->show();
    editor->setFocus(Qt::OtherFocusReason);
    // A typed character goes in as the user's own keystroke, through the filter.
    if (kind == EditorSession::Kind::Text && typedStart && !typed.isEmpty() && typed.at(0).isPrint() && startChar != ' ') {
        switch (filterCharacter(type, typed.at(0).unicode(), textedit::text(editor), textedit::insertionPoint(editor),
                                textedit::wholeTextSelected(editor))) {
            case FilterVerdict::Accept: textedit::insert(editor, typed.left(1)); break;
            case FilterVerdict::EmptyAll: textedit::clear(editor); break;
            case FilterVerdict::Beep: QApplication::beep(); break;
            case FilterVerdict::Drop: break;
        }
    }
    return true;
}

void CGridCtrl::endEdit(int32_t row, int32_t column, std::string text, int endingKey) {
    if (editEndRunning()) return;
    QPointer<CGridCtrl> alive(this);
    {
        EndGuard guard;
        // The editor goes first, so that what follows may open the next one.
        if (QWidget* editor = editor_.data()) {
            editor_ = nullptr;
            editorSession_ = nullptr;
            if (editor->hasFocus() || editor->isAncestorOf(QApplication::focusWidget())) setFocus(Qt::OtherFocusReason);
            editor->hide();
            editor->deleteLater();
        }
        if (coltype::isNumeric(columnType(column))) text = normaliseNumberText(std::move(text));
        if (CGridCellBase* c = cell(row, column)) {
            if (text != c->text() && columnType(column) != coltype::Picture) {
                if (std::optional<std::string> rendered = numericRendering(row, column, text)) c->setText(*rendered);
                update(cellRect(row, column));
            }
        }
    }
    raiseGridEvent(gridevent::EditCommitted);
    if (!alive) return;
    notifyParent(gridnotify::CellChanged, row, column);
    if (!alive) return;

    if (endingKey == Qt::Key_Tab || endingKey == Qt::Key_Backtab || isNavigationKey(endingKey)) {
        const CellId before = focus_;
        const bool taken = handleKey(endingKey, {}, {});
        if (!alive) return;
        // Tab at the last cell goes on to the window, as it does without an editor.
        if (!taken && (endingKey == Qt::Key_Tab || endingKey == Qt::Key_Backtab)) {
            focusNextPrevChild(endingKey == Qt::Key_Tab);
            return;
        }
        if (!(focus_ == before) && !focus_.isNone()) openEditor(focus_.row, focus_.column, startCharOfKey(endingKey));
    } else if (endingKey == Qt::Key_Return) {
        const int32_t moves = settings_[gp::EnterMoves];
        if (moves == 1 || moves == 2) handleKey(Qt::Key_Return, {}, {});
    }
}

bool CGridCtrl::toggleCheck(int32_t row, int32_t column) {
    if (!setting(gp::Editable) || !isValidCell(row, column) || !isDataCell(row, column)) return false;
    if (columnType(column) != coltype::CheckBox) return false;
    QPointer<CGridCtrl> alive(this);
    const rt::HandlerResult allowed = raiseGridEvent(gridevent::MayEdit);
    if (!alive || (allowed.present && allowed.value == 0)) return false;
    raiseGridEvent(gridevent::EditorOpening);
    if (!alive || !isValidCell(row, column)) return false;
    CGridCellBase* c = cell(row, column);
    c->setChecked(!c->checked());
    c->setFormat(textformat::Centre | textformat::SingleLine | textformat::VerticalCentre);
    update(cellRect(row, column));
    raiseGridEvent(gridevent::EditCommitted);
    return alive;
}

}  // namespace grid
