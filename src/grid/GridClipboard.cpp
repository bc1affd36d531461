// Copy, cut, paste and Delete on the grid, and the notice of values a paste left out.
#include "grid/GridClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>

#include <utility>

#include "forms/Units.h"
#include "grid/GridCtrl.h"
#include "grid/GridTexts.h"
#include "runtime/Host.h"
#include "runtime/Numbers.h"

namespace grid {

namespace gp = forms::gridprop;

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string withoutCommas(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (char c : field)
        if (c != ',') out += c;
    return out;
}

// Cuts one line into its fields. Where a grouped number may stand (a tabular
// text), each field that starts the line or follows a tab is first tried as a
// whole up to the next tab; commas cut everything else.
void splitLine(std::string_view line, bool tabular, std::vector<std::string>& fields) {
    size_t from = 0;
    bool afterTab = true;  // the line's start counts as one
    while (from < line.size()) {
        if (tabular && afterTab) {
            const size_t tab = line.find('\t', from);
            const std::string_view whole = line.substr(from, tab == std::string_view::npos ? tab : tab - from);
            if (isGroupedWholeNumber(whole)) {
                fields.push_back(withoutCommas(whole));
                if (tab == std::string_view::npos) break;
                from = tab + 1;
                continue;
            }
        }
        const size_t sep = line.find_first_of("\t,", from);
        if (sep == std::string_view::npos) {
            fields.emplace_back(line.substr(from));
            break;
        }
        fields.emplace_back(line.substr(from, sep - from));
        afterTab = line[sep] == '\t';
        from = sep + 1;
    }
}

}  // namespace

bool isGroupedWholeNumber(std::string_view field) {
    size_t at = field.find_first_not_of(' ');
    const size_t end = field.find_last_not_of(' ') + 1;
    if (at == std::string_view::npos) return false;
    if (field[at] == '+' || field[at] == '-') ++at;
    const size_t leadStart = at;
    while (at < end && isDigit(field[at])) ++at;
    const size_t lead = at - leadStart;
    if (lead < 1 || lead > 3 || field[leadStart] == '0') return false;
    size_t groups = 0;
    for (; at < end; at += 4, ++groups)
        if (end - at < 4 || field[at] != ',' || !isDigit(field[at + 1]) || !isDigit(field[at + 2]) ||
            !isDigit(field[at + 3]))
            return false;
    return groups > 0;
}

std::vector<std::vector<std::string>> splitPasteText(std::string_view text) {
    const bool tabular = text.find_first_of("\t\n") != std::string_view::npos;
    std::vector<std::vector<std::string>> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const bool lastLine = end == std::string_view::npos;
        if (lastLine) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!lastLine && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        splitLine(line, tabular, lines.emplace_back());
        start = end + 1;
    }
    return lines;
}

std::string CGridCtrl::selectionText() const {
    CellRange range = selection_;
    if (range.isEmpty()) {
        if (focus_.isNone()) return {};
        range = CellRange{focus_.row, focus_.column, focus_.row, focus_.column};
    }
    const bool marksOnly = setting(gp::MarkedSelection);
    std::string out;
    bool firstRow = true;
    for (int32_t r = range.firstRow; r <= range.lastRow && r < rowCount(); ++r) {
        if (!isRowShown(r)) continue;
        if (!firstRow) out += "\r\n";
        firstRow = false;
        bool firstField = true;
        for (int32_t c = range.firstColumn; c <= range.lastColumn && c < columnCount(); ++c) {
            if (!isColumnShown(c)) continue;
            if (!firstField) out += '\t';
            firstField = false;
            // Where the selection is marked, an unmarked cell keeps its place but not its text.
            if (!marksOnly || isCellMarked(r, c) || (marked_.empty() && CellId{r, c} == focus_)) out += cellText(r, c);
        }
    }
    return out;
}

void CGridCtrl::copySelection() {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(forms::fromGbk(selectionText()));
}

bool CGridCtrl::clearCellForUser(int32_t row, int32_t column, bool allContents) {
    CGridCellBase* c = cell(row, column);
    if (!c || !isDataCell(row, column)) return false;
    QPointer<CGridCtrl> alive(this);
    notifyParent(gridnotify::CellChanging, row, column);
    if (!alive) return false;
    if (allContents) {
        c->clearContents();
    } else {
        c->setText({});
        if (columnType(column) == coltype::Picture) c->setPicture(QImage());
    }
    update(cellRect(row, column));
    notifyParent(gridnotify::CellChanged, row, column);
    return alive;
}

void CGridCtrl::deleteSelection() {
    if (!setting(gp::Editable)) return;
    if (!focus_.isNone() && !clearCellForUser(focus_.row, focus_.column, false)) {
        if (!isValidCell(focus_.row, focus_.column)) return;
    }
    const CellRange range = selection_;
    if (range.isEmpty()) return;
    for (int32_t r = range.firstRow; r <= range.lastRow && r < rowCount(); ++r)
        for (int32_t c = range.firstColumn; c <= range.lastColumn && c < columnCount(); ++c)
            if (!clearCellForUser(r, c, true) && !isValidCell(r, c)) return;
}

void CGridCtrl::cutSelection() {
    if (!setting(gp::Editable)) return;
    copySelection();
    QPointer<CGridCtrl> alive(this);
    if (setting(gp::MarkedSelection) && !marked_.empty()) {
        std::vector<CellId> cells;
        for (int32_t r = 0; r < rowCount(); ++r)
            for (int32_t c = 0; c < columnCount(); ++c)
                if (isCellMarked(r, c)) cells.push_back({r, c});
        for (const CellId& id : cells) {
            clearCellForUser(id.row, id.column, false);
            if (!alive) return;
        }
    } else if (!focus_.isNone()) {
        clearCellForUser(focus_.row, focus_.column, false);
        if (!alive) return;
    }
    update();
}

namespace {

// A value is a field that holds more than blanks.
bool isValue(std::string_view field) { return field.find_first_not_of(' ') != std::string_view::npos; }

int64_t countValues(const std::vector<std::string>& fields, size_t from) {
    int64_t n = 0;
    for (size_t k = from; k < fields.size(); ++k)
        if (isValue(fields[k])) ++n;
    return n;
}

}  // namespace

void CGridCtrl::pasteClipboard() {
    QPointer<CGridCtrl> alive(this);
    const PasteResult result = pasteFromClipboard();
    if (alive && result.leftOut > 0) tellValuesLeftOut(result.leftOut);
}

CGridCtrl::PasteResult CGridCtrl::pasteFromClipboard() {
    if (!setting(gp::Editable)) return {};
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return {};
    return pasteText(forms::toGbk(clipboard->text()));
}

void CGridCtrl::tellValuesLeftOut(int64_t count) {
    const std::string message = texts::PasteLeftOutHead + rt::formatInt(count) + texts::PasteLeftOutTail;
    rt::host().showMessageBox(message.c_str(), texts::PasteLeftOutCaption, rt::mb::Ok | rt::mb::TaskModal, window());
}

void CGridCtrl::keyReleaseEvent(QKeyEvent* event) {
    // A paste by key tells what it left out once the key is up: the key-up
    // event (on which the application recounts) has been raised by then, and
    // the message box does not swallow the release.
    if (valuesLeftOutByKey_ > 0 && !event->isAutoRepeat()) tellValuesLeftOut(std::exchange(valuesLeftOutByKey_, 0));
    else QWidget::keyReleaseEvent(event);
}

void CGridCtrl::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    // The focus left before the paste key came up: the message is not held back any longer.
    if (valuesLeftOutByKey_ > 0) tellValuesLeftOut(std::exchange(valuesLeftOutByKey_, 0));
}

CGridCtrl::PasteResult CGridCtrl::pasteText(std::string_view gbk) {
    if (!setting(gp::Editable)) return {};
    CellId from = focus_;
    if (from.isNone()) {
        const CellRange shown = visibleCells();
        if (shown.isEmpty()) return {};
        from = CellId{shown.firstRow, shown.firstColumn};
    }
    if (!isValidCell(from.row, from.column) || !isDataCell(from.row, from.column)) return {};
    const std::vector<std::vector<std::string>> lines = splitPasteText(gbk);
    QPointer<CGridCtrl> alive(this);
    PasteResult result;
    int32_t row = from.row;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::vector<std::string>& fields = lines[i];
        while (row < rowCount() && !isRowShown(row)) ++row;
        if (row >= rowCount()) {
            // Paste never adds rows: the values of this and every later line are left out.
            for (size_t rest = i; rest < lines.size(); ++rest) result.leftOut += countValues(lines[rest], 0);
            break;
        }
        int32_t column = from.column;
        for (size_t k = 0; k < fields.size(); ++k) {
            while (column < columnCount() && !isColumnShown(column)) ++column;
            if (column >= columnCount()) {
                result.leftOut += countValues(fields, k);
                break;
            }
            notifyParent(gridnotify::CellChanging, row, column);
            if (!alive) return result;
            if (columnType(column) != coltype::Picture) {
                std::optional<std::string> text = numericRendering(row, column, fields[k]);
                setCellText(row, column, text ? *text : std::string());
                result.wrote = true;
            }
            update(cellRect(row, column));
            notifyParent(gridnotify::CellChanged, row, column);
            if (!alive) return result;
            setCellMarked(row, column, false);
            ++column;
        }
        ++row;
    }
    update();
    return result;
}

}  // namespace grid
