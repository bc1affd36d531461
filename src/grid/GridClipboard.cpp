// Copy, cut, paste and Delete on the grid.
#include "grid/GridClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "forms/Units.h"
#include "grid/GridCtrl.h"

namespace grid {

namespace gp = forms::gridprop;

std::vector<std::vector<std::string>> splitPasteText(std::string_view text) {
    std::vector<std::vector<std::string>> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const bool lastLine = end == std::string_view::npos;
        if (lastLine) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!lastLine && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::vector<std::string>& fields = lines.emplace_back();
        size_t from = 0;
        while (from < line.size()) {
            const size_t sep = line.find_first_of("\t,", from);
            if (sep == std::string_view::npos) {
                fields.emplace_back(line.substr(from));
                break;
            }
            fields.emplace_back(line.substr(from, sep - from));
            from = sep + 1;
        }
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

void CGridCtrl::pasteClipboard() {
    if (!setting(gp::Editable)) return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return;
    pasteText(forms::toGbk(clipboard->text()));
}

bool CGridCtrl::pasteText(std::string_view gbk) {
    if (!setting(gp::Editable)) return false;
    CellId from = focus_;
    if (from.isNone()) {
        const CellRange shown = visibleCells();
        if (shown.isEmpty()) return false;
        from = CellId{shown.firstRow, shown.firstColumn};
    }
    if (!isValidCell(from.row, from.column) || !isDataCell(from.row, from.column)) return false;
    const std::vector<std::vector<std::string>> lines = splitPasteText(gbk);
    QPointer<CGridCtrl> alive(this);
    bool wrote = false;
    int32_t row = from.row;
    for (const std::vector<std::string>& fields : lines) {
        while (row < rowCount() && !isRowShown(row)) ++row;
        if (row >= rowCount()) break;  // paste never adds rows
        int32_t column = from.column;
        for (const std::string& field : fields) {
            while (column < columnCount() && !isColumnShown(column)) ++column;
            if (column >= columnCount()) break;
            notifyParent(gridnotify::CellChanging, row, column);
            if (!alive) return wrote;
            if (columnType(column) != coltype::Picture) {
                std::optional<std::string> text = numericRendering(row, column, field);
                setCellText(row, column, text ? *text : std::string());
                wrote = true;
            }
            update(cellRect(row, column));
            notifyParent(gridnotify::CellChanged, row, column);
            if (!alive) return wrote;
            setCellMarked(row, column, false);
            ++column;
        }
        ++row;
    }
    update();
    return wrote;
}

}  // namespace grid
