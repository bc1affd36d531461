// Keyboard commands on the grid: moving the focus and the selection, the
// keys that open an editor, Delete, the check-box Space and the clipboard keys.
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>

#include "grid/GridCtrl.h"

namespace grid {

namespace gp = forms::gridprop;

// ---- Rows and columns that navigation visits ------------------------------------------

int32_t CGridCtrl::nextShownRow(int32_t from, int32_t step) const {
    for (int32_t r = from + step; r >= fixedRows_ && r < rowCount(); r += step)
        if (isRowShown(r)) return r;
    return -1;
}

int32_t CGridCtrl::nextShownColumn(int32_t from, int32_t step) const {
    for (int32_t c = from + step; c >= fixedColumns_ && c < columnCount(); c += step)
        if (isColumnShown(c)) return c;
    return -1;
}

int32_t CGridCtrl::firstShownRow() const { return nextShownRow(fixedRows_ - 1, 1); }
int32_t CGridCtrl::firstShownColumn() const { return nextShownColumn(fixedColumns_ - 1, 1); }
int32_t CGridCtrl::lastShownRow() const { return nextShownRow(rowCount(), -1); }
int32_t CGridCtrl::lastShownColumn() const { return nextShownColumn(columnCount(), -1); }

// ---- Focus and selection ---------------------------------------------------------------

void CGridCtrl::restartSelection(const CellId& anchor, const CellId& to) {
    clearSelection();
    if (anchor.isNone() || to.isNone()) return;
    selection_ = CellRange{std::min(anchor.row, to.row), std::min(anchor.column, to.column),
                           std::max(anchor.row, to.row), std::max(anchor.column, to.column)};
    // The marks follow the selection where the grid selects by marking.
    if (setting(gp::MarkedSelection))
        for (int32_t r = selection_.firstRow; r <= selection_.lastRow; ++r)
            for (int32_t c = selection_.firstColumn; c <= selection_.lastColumn; ++c)
                if (isDataCell(r, c)) setCellMarked(r, c, true);
}

bool CGridCtrl::moveFocusTo(int32_t row, int32_t column, bool extend) {
    if (CellId{row, column} == focus_ || !isValidCell(row, column)) return true;
    if (mouseMode_ == MouseMode::None) {
        // Shift extends from the anchor, or from where the focus was when there is none.
        if (extend && anchor_.isNone()) anchor_ = focus_;
        if (!extend || anchor_.isNone()) anchor_ = CellId{row, column};
        restartSelection(anchor_, CellId{row, column});
    }
    setFocusCell(row, column);
    QPointer<CGridCtrl> alive(this);
    raiseGridEvent(gridevent::FocusChanged);
    if (!alive) return false;
    ensureCellVisible(focus_.row, focus_.column);
    update();
    return true;
}

void CGridCtrl::selectAll() {
    if (rowCount() <= fixedRows_ || columnCount() <= fixedColumns_) return;
    restartSelection(CellId{fixedRows_, fixedColumns_}, CellId{rowCount() - 1, columnCount() - 1});
}

// ---- Key commands ----------------------------------------------------------------------

std::optional<CellId> CGridCtrl::navigationTarget(int key, Qt::KeyboardModifiers modifiers) {
    CellId at = focus_;
    if (at.isNone()) {
        // Without a focus cell the keys start from the first data cell.
        const int32_t r = firstShownRow(), c = firstShownColumn();
        if (r < 0 || c < 0) return std::nullopt;
        return CellId{r, c};
    }
    const bool ctrl = modifiers & Qt::ControlModifier;
    switch (key) {
        case Qt::Key_Left: {
            const int32_t c = nextShownColumn(at.column, -1);
            return c < 0 ? at : CellId{at.row, c};
        }
        case Qt::Key_Right: {
            const int32_t c = nextShownColumn(at.column, 1);
            return c < 0 ? at : CellId{at.row, c};
        }
        case Qt::Key_Up: {
            const int32_t r = nextShownRow(at.row, -1);
            return r < 0 ? at : CellId{r, at.column};
        }
        case Qt::Key_Down: {
            const int32_t r = nextShownRow(at.row, 1);
            return r < 0 ? at : CellId{r, at.column};
        }
        case Qt::Key_Tab: {
            int32_t c = nextShownColumn(at.column, 1);
            if (c >= 0) return CellId{at.row, c};
            const int32_t r = nextShownRow(at.row, 1), first = firstShownColumn();
            if (r < 0 || first < 0) return std::nullopt;  // the last cell: Tab leaves the grid
            return CellId{r, first};
        }
        case Qt::Key_Backtab: {
            int32_t c = nextShownColumn(at.column, -1);
            if (c >= 0) return CellId{at.row, c};
            const int32_t r = nextShownRow(at.row, -1), last = lastShownColumn();
            if (r < 0 || last < 0) return std::nullopt;
            return CellId{r, last};
        }
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: {
            const bool down = key == Qt::Key_PageDown;
            const int32_t before = scrollRow();
            const CellRange shown = visibleCells();
            const int32_t page = shown.isEmpty() ? 1 : std::max(1, shown.lastRow - shown.firstRow);
            scrollToRow(before + (down ? page : -page));
            const int32_t moved = scrollRow() - before;
            int32_t r;
            if (moved == 0) r = down ? lastShownRow() : firstShownRow();
            else r = std::clamp(at.row + moved, fixedRows_, rowCount() - 1);
            if (r < 0) return at;
            return CellId{r, at.column};
        }
        case Qt::Key_Home: {
            const int32_t c = firstShownColumn();
            scrollToColumn(fixedColumns_);
            if (ctrl) scrollToRow(fixedRows_);
            const int32_t r = ctrl ? firstShownRow() : at.row;
            if (c < 0 || r < 0) return at;
            return CellId{r, c};
        }
        case Qt::Key_End: {
            const int32_t c = lastShownColumn();
            scrollToColumn(columnCount());
            if (ctrl) scrollToRow(rowCount());
            const int32_t r = ctrl ? lastShownRow() : at.row;
            if (c < 0 || r < 0) return at;
            return CellId{r, c};
        }
        default: return at;
    }
}

namespace {

bool isNavigationKey(int key) {
    switch (key) {
        case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down:
        case Qt::Key_PageUp: case Qt::Key_PageDown: case Qt::Key_Home: case Qt::Key_End:
            return true;
        default: return false;
    }
}

}  // namespace

bool CGridCtrl::handleKey(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool listMode = setting(gp::ListMode);
    const bool isEnter = key == Qt::Key_Return || key == Qt::Key_Enter;

    if (ctrl && !shift) {
        switch (key) {
            case Qt::Key_C: case Qt::Key_Insert: copySelection(); return true;
            case Qt::Key_X: cutSelection(); return true;
            case Qt::Key_V: pasteByKey(); return true;
            case Qt::Key_A: selectAll(); return true;
            default: break;
        }
    }
    if (shift && !ctrl && key == Qt::Key_Insert) {
        pasteByKey();
        return true;
    }

    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        if (listMode) return false;
        const std::optional<CellId> to = navigationTarget(key, modifiers);
        if (!to) return false;  // passed on: the focus leaves the grid
        moveFocusTo(to->row, to->column);
        return true;
    }
    if (isEnter && !ctrl) {
        if (listMode) return false;
        const int32_t moves = settings_[gp::EnterMoves];
        if (moves == 0) {
            // Enter does not move: it opens the editor with the caret at the end.
            if (!focus_.isNone()) openEditor(focus_.row, focus_.column, 13);
            return true;
        }
        if (moves != 1 && moves != 2) return false;
        if (focus_.isNone()) return false;
        std::optional<CellId> to;
        if (moves == 1) {
            to = navigationTarget(Qt::Key_Tab, {});
        } else {
            const int32_t r = nextShownRow(focus_.row, 1);
            if (r >= 0) {
                to = CellId{r, focus_.column};
            } else {
                const int32_t c = nextShownColumn(focus_.column, 1), first = firstShownRow();
                if (c >= 0 && first >= 0) to = CellId{first, c};
            }
        }
        if (!to) return false;  // the last cell: Enter goes on to the window
        moveFocusTo(to->row, to->column);
        return true;
    }
    if (isNavigationKey(key)) {
        if (listMode && (key == Qt::Key_Left || key == Qt::Key_Right)) return false;
        const std::optional<CellId> to = navigationTarget(key, modifiers);
        if (to) moveFocusTo(to->row, to->column, shift);
        return true;
    }
    if (key == Qt::Key_Delete) {
        if (listMode) return false;
        deleteSelection();
        return true;
    }
    if (key == Qt::Key_F2) {
        if (!focus_.isNone()) openEditor(focus_.row, focus_.column, 1);
        return true;
    }
    if (key == Qt::Key_Space && !ctrl && !focus_.isNone() && columnType(focus_.column) == coltype::CheckBox &&
        isDataCell(focus_.row, focus_.column)) {
        if (!listMode) toggleCheck(focus_.row, focus_.column);
        return true;
    }
    // A typed character or Backspace opens the editor with it.
    if (ctrl || mouseMode_ != MouseMode::None || focus_.isNone()) return false;
    if (key == Qt::Key_Escape) return false;
    if (key == Qt::Key_Backspace) {
        openEditor(focus_.row, focus_.column, 8);
        return true;
    }
    if (!text.isEmpty() && text.at(0).isPrint()) {
        openEditor(focus_.row, focus_.column, static_cast<int32_t>(text.at(0).unicode()), text);
        return true;
    }
    return false;
}

void CGridCtrl::pasteByKey() {
    QPointer<CGridCtrl> alive(this);
    const PasteResult result = pasteFromClipboard();
    if (alive) valuesLeftOutByKey_ = result.leftOut;
}

void CGridCtrl::keyPressEvent(QKeyEvent* event) {
    if (handleKey(event->key(), event->modifiers(), event->text())) event->accept();
    else event->ignore();
}

bool CGridCtrl::event(QEvent* e) {
    // Tab and Shift+Tab move between cells before the window's focus chain sees them.
    if (e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            QPointer<CGridCtrl> alive(this);
            const bool taken = handleKey(key->key(), key->modifiers(), key->text());
            if (!alive) return true;
            if (!taken) focusNextPrevChild(key->key() == Qt::Key_Tab);
            return true;
        }
    }
    return QWidget::event(e);
}

}  // namespace grid
