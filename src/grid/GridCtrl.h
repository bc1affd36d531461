// The grid control: rows and columns of cells with fixed header rows and
// columns, column types, the focus cell and the marked cells, the 30 settings,
// and the operations behind the grid's methods and properties.
#pragma once

#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "forms/UnitBlocks.h"
#include "grid/ColumnType.h"
#include "grid/GridCell.h"
#include "runtime/Events.h"
#include "runtime/Font.h"
#include "runtime/Value.h"

class QScrollBar;

namespace grid {

class EditorSession;

// The window class under which the grid control is known.
inline constexpr char kWindowClassName[] = "MYGridCtrl";

// What SetCellData's kind argument selects.
namespace datakind {
inline constexpr int32_t Value = 1, CheckState = 5, Picture = 6;
}

// Events the grid raises to the application.
namespace gridevent {
inline constexpr int32_t FocusChanged = 0, EditorOpening = 1, EditCommitted = 2, RowResized = 3, ColumnResized = 4,
                         Clicked = 5, MayEdit = 7, FixedCellClicked = 8, FixedCellDoubleClicked = 9;
// The character typed into an open editor (the common character event of units).
inline constexpr int32_t Character = -11;
}  // namespace gridevent

// Notification codes the grid sends its parent around a change made by the user.
namespace gridnotify {
inline constexpr int32_t CellChanging = -105, CellChanged = -106;
}

// A cell position; (-1, -1) is no cell.
struct CellId {
    int32_t row = -1;
    int32_t column = -1;
    bool isNone() const { return row < 0 || column < 0; }
    friend bool operator==(const CellId&, const CellId&) = default;
};

// A rectangle of cells, both corners included.
struct CellRange {
    int32_t firstRow = -1, firstColumn = -1, lastRow = -1, lastColumn = -1;
    bool isEmpty() const { return firstRow < 0 || firstColumn < 0 || lastRow < firstRow || lastColumn < firstColumn; }
};

// What GetCellData answers: a bool, a text or the bytes of a picture.
struct CellData {
    enum class Kind { Bool, Text, Bytes };
    Kind kind = Kind::Bool;
    bool flag = false;
    std::string bytes;  // GBK text, or image-file bytes

    static CellData ofBool(bool b) { return {Kind::Bool, b, {}}; }
    static CellData ofText(std::string t) { return {Kind::Text, false, std::move(t)}; }
    static CellData ofBytes(std::string b) { return {Kind::Bytes, false, std::move(b)}; }
};

class CGridCtrl : public QWidget {
    Q_OBJECT

public:
    // A grid with the settings applied in creation order (see applySettings).
    explicit CGridCtrl(QWidget* parent = nullptr);
    CGridCtrl(const forms::GridSettings& settings, QWidget* parent);
    ~CGridCtrl() override;

    // ---- Counts, heights and widths -------------------------------------------------

    int32_t rowCount() const { return static_cast<int32_t>(rows_.size()); }
    int32_t columnCount() const { return static_cast<int32_t>(columnWidths_.size()); }
    int32_t fixedRowCount() const { return fixedRows_; }
    int32_t fixedColumnCount() const { return fixedColumns_; }

    // Changes the row count to n (0 or more; negative gives false). Rows that go
    // take their cells, marks and the focus with them; new rows get the default
    // row height and a cell per column. A count below the fixed count lowers it.
    bool setRowCount(int32_t n);
    bool setColumnCount(int32_t n);
    // Changes the fixed row count to n (0 or more), raising the row count to n
    // first when it is lower. Rows that become fixed or stop being fixed lose
    // their colours; the fixed bit follows.
    bool setFixedRowCount(int32_t n);
    bool setFixedColumnCount(int32_t n);

    bool isValidRow(int32_t row) const { return row >= 0 && row < rowCount(); }
    bool isValidColumn(int32_t column) const { return column >= 0 && column < columnCount(); }
    bool isValidCell(int32_t row, int32_t column) const { return isValidRow(row) && isValidColumn(column); }
    // A cell outside the fixed rows and columns.
    bool isDataCell(int32_t row, int32_t column) const { return row >= fixedRows_ && column >= fixedColumns_; }

    // 0 outside the grid.
    int32_t rowHeight(int32_t row) const;
    int32_t columnWidth(int32_t column) const;
    // The height or width as given, no minimum; false outside the grid or when negative.
    bool setRowHeight(int32_t row, int32_t height);
    bool setColumnWidth(int32_t column, int32_t width);
    // The least height or width that the property paths give: GridLineWidth + 6.
    int32_t minimumExtent() const;

    // ---- Cells ----------------------------------------------------------------------

    // Null outside the grid.
    CGridCellBase* cell(int32_t row, int32_t column);
    const CGridCellBase* cell(int32_t row, int32_t column) const;

    // Grid-level accessors: outside the grid the setters do nothing and answer
    // false, the getters answer 0 (the empty text; the font getter the default font).
    std::string cellText(int32_t row, int32_t column) const;
    bool setCellText(int32_t row, int32_t column, std::string_view gbk);
    uint32_t cellFormat(int32_t row, int32_t column) const;
    bool setCellFormat(int32_t row, int32_t column, uint32_t format);
    uint32_t cellState(int32_t row, int32_t column) const;
    // Keeps the set of marked cells in step with the mark bit.
    bool setCellState(int32_t row, int32_t column, uint32_t state);
    uint32_t cellTextColour(int32_t row, int32_t column) const;
    bool setCellTextColour(int32_t row, int32_t column, uint32_t colorRef);
    uint32_t cellBackColour(int32_t row, int32_t column) const;
    bool setCellBackColour(int32_t row, int32_t column, uint32_t colorRef);
    rt::LogicalFont cellFont(int32_t row, int32_t column) const;
    bool setCellFont(int32_t row, int32_t column, std::optional<rt::LogicalFont> font);
    bool cellChecked(int32_t row, int32_t column) const;
    bool setCellChecked(int32_t row, int32_t column, bool checked);
    QImage cellPicture(int32_t row, int32_t column) const;
    bool setCellPicture(int32_t row, int32_t column, QImage picture);

    // The font of cells without their own.
    const rt::LogicalFont& defaultFont() const { return defaultFont_; }

    // ---- Column types ---------------------------------------------------------------

    // The stored type code of the column (101-108); Text for a column without a record.
    int32_t columnType(int32_t column) const;
    // Null for a column without a record.
    const ColumnTypeRecord* columnTypeRecord(int32_t column) const;
    const std::vector<ColumnTypeRecord>& columnTypeRecords() const { return columnTypes_; }
    // The picture mode of a picture column; other columns answer Tiled.
    int32_t pictureMode(int32_t column) const;
    // Digits after the point of a Number or Currency column (0 to 9); false for other columns.
    bool setColumnDecimals(int32_t column, int32_t decimals);
    // The choice list that new Text, ComboBox and DropList records copy.
    std::vector<std::string>& choiceList() { return choiceList_; }

    // ---- The methods ----------------------------------------------------------------

    // kind 1: the value as text through the numeric rules; 5: the check state;
    // 6: a picture from image-file bytes or a file name. True when the cell took it.
    bool setCellData(int32_t row, int32_t column, int32_t kind, const rt::TaggedArg& value);
    CellData getCellData(int32_t row, int32_t column) const;
    // Alignment 1 left, 2 centre, 3 right (anything else left). An omitted last
    // row or column is the first; a last one past the grid is lowered to its end.
    bool setCellAlignment(int32_t firstRow, int32_t firstColumn, std::optional<int32_t> lastRow,
                          std::optional<int32_t> lastColumn, int32_t alignment);
    bool setCellBackColor(int32_t firstRow, int32_t firstColumn, std::optional<int32_t> lastRow,
                          std::optional<int32_t> lastColumn, uint32_t colorRef);
    // Type 1 to 8 (the stored code less 100).
    bool setColumnType(int32_t column, int32_t passedType);

    // The kind-1 text rules alone (steps of SetCellData without storing):
    // the text the cell would take, or none when the value is refused.
    std::optional<std::string> cellTextForValue(int32_t row, int32_t column, const rt::TaggedArg& value) const;
    // A text through the numeric rendering of the column, as an edit or paste
    // commits it: unchanged outside numeric columns and in fixed rows. None
    // when the value cannot be rendered.
    std::optional<std::string> numericRendering(int32_t row, int32_t column, std::string text) const;

    // ---- Focus and marks ------------------------------------------------------------

    CellId focusCell() const { return focus_; }
    // Moves the focus bit; a position outside the grid clears the focus.
    void setFocusCell(int32_t row, int32_t column);
    void clearFocus();

    bool isCellMarked(int32_t row, int32_t column) const;
    bool setCellMarked(int32_t row, int32_t column, bool marked);
    size_t markedCellCount() const { return marked_.size(); }
    const CellRange& selection() const { return selection_; }
    void setSelection(const CellRange& range) { selection_ = range; }
    // Unmarks every marked cell and forgets the selection rectangle.
    void clearSelection();

    // ---- Settings -------------------------------------------------------------------

    // The setting by own index (0-29): the live counts for RowCount to
    // FixedColumnCount, the setting as last written otherwise; with the
    // stored-settings flag set, the settings as last written throughout.
    int32_t readSetting(uint32_t own) const;
    // A property write: stores the setting and applies it (see the .cpp for
    // each one's effect and refusals). Unknown indices are ignored.
    void writeSetting(uint32_t own, int32_t value);
    // Applies all settings as a new control takes them: the border style
    // first, the grid-line width before the extents, the default row height
    // and column width before the counts, the counts before the fixed counts.
    void applySettings(const forms::GridSettings& settings);
    const forms::GridSettings& settings() const { return settings_; }
    void setStoredSettingsFlag(bool on) { storedSettingsFlag_ = on; }
    bool storedSettingsFlag() const { return storedSettingsFlag_; }

    // COLORREF of the system button face (what FixedBackColor 0xFF000000 stands for).
    uint32_t buttonFaceColour() const;
    // The frame width that the border style takes on each side.
    int32_t borderWidth() const;

    // ---- Geometry ------------------------------------------------------------------

    // The area inside the border and left of and above the scroll bars, where
    // cells are laid out from the top left.
    QRect cellArea() const;
    // The rectangle of the cell in widget coordinates (empty outside the
    // grid). Fixed rows and columns stay in place; the others are shifted by
    // the scroll position, so rows and columns scrolled off lie outside cellArea().
    QRect cellRect(int32_t row, int32_t column) const;
    // The non-fixed cells at least partly inside cellArea(): the first row and
    // column are scrollRow() and scrollColumn(); empty when none shows.
    CellRange visibleCells() const;
    // The first non-fixed row (column) shown, right below (beside) the fixed
    // ones: fixedRowCount() (fixedColumnCount()) when the view is not scrolled.
    int32_t scrollRow() const { return std::max(scrollRow_, fixedRows_); }
    int32_t scrollColumn() const { return std::max(scrollColumn_, fixedColumns_); }
    // Scrolls so that the given row (column) is the first non-fixed one shown,
    // bounded by what the scroll range allows.
    void scrollToRow(int32_t row);
    void scrollToColumn(int32_t column);
    // Scrolls the cell into view as far as it fits (fixed parts never scroll).
    void ensureCellVisible(int32_t row, int32_t column);
    // The cell under a widget point, or none.
    CellId cellAt(const QPoint& point) const;
    QScrollBar* verticalScrollBar() const { return vbar_; }
    QScrollBar* horizontalScrollBar() const { return hbar_; }

    // ---- Interaction ---------------------------------------------------------------

    // Moves the focus as the keyboard does: selection restarted from the
    // anchor (extended with `extend`), event 0, cell scrolled into view.
    // False when the grid was destroyed by a handler.
    bool moveFocusTo(int32_t row, int32_t column, bool extend = false);
    // Opens the in-place editor on the cell with a start character (1 click
    // or F2, 13 Enter, 8 Backspace, else the character or key) and, for a
    // printable start character, its text. True when an editor opened.
    bool openEditor(int32_t row, int32_t column, int32_t startChar, const QString& typed = {});
    // The open editor widget, or null.
    QWidget* editorWidget() const;
    bool isEditing() const { return editorWidget() != nullptr; }
    // Called by an editor when its edit ends: commits the text (event 2,
    // -106) and goes on with the ending key (a Qt key code; 0 for focus loss).
    void endEdit(int32_t row, int32_t column, std::string gbkText, int endingKey);
    // Toggles a check-box data cell with the opening steps and event 2.
    bool toggleCheck(int32_t row, int32_t column);
    // Clears the focus cell and the selection's editable cells (Delete).
    void deleteSelection();
    // Copy puts the selection's text on the clipboard; cut and paste need Editable.
    // A paste that leaves values out says how many in a message box.
    void copySelection();
    void cutSelection();
    void pasteClipboard();
    // What a paste did: whether it wrote a cell, and how many values (fields
    // holding more than blanks) it left out because their line or field lay
    // past the last row or column.
    struct PasteResult {
        bool wrote = false;
        int64_t leftOut = 0;
    };
    // Pastes a GBK text as the clipboard paste does, without any message.
    PasteResult pasteText(std::string_view gbk);
    // The text copy would put on the clipboard, GBK.
    std::string selectionText() const;
    // Selects every non-fixed cell.
    void selectAll();
    // Rows (columns) skipped by navigation and paste: those of height (width) 0.
    bool isRowShown(int32_t row) const { return rowHeight(row) > 0; }
    bool isColumnShown(int32_t column) const { return columnWidth(column) > 0; }

    // Where the grid's events go instead of the runtime when set (an embedder
    // or a test); the answer stands for the handler's result.
    using EventSink = std::function<rt::HandlerResult(int32_t event, const std::vector<int32_t>& arguments)>;
    void setEventSink(EventSink sink) { eventSink_ = std::move(sink); }
    // Raises a grid event with int arguments through the sink, or through the
    // runtime for a grid that stands for a unit of a loaded window.
    rt::HandlerResult raiseGridEvent(int32_t event, std::initializer_list<int32_t> arguments = {});

signals:
    // The notification to the parent window (-105 before, -106 after a cell
    // changed by an edit, a paste or a delete).
    void parentNotified(int code, int row, int column);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    using Row = std::vector<std::unique_ptr<CGridCellBase>>;

    std::unique_ptr<CGridCellBase> makeCell(int32_t row, int32_t column) const;
    ColumnTypeRecord* findRecord(int32_t column);
    void removeRecord(int32_t column);
    // The fixed bit and colour reset of a cell whose row or column changes fixedness.
    void resetFixedness(CGridCellBase& c, bool fixed);
    void forgetMarksOutside(int32_t rows, int32_t columns);
    // Rewrites the data cells of a column that just became numeric.
    void renderColumnAsNumbers(int32_t column, int32_t decimals, bool emptyAll);
    // After counts, heights or widths changed: scroll ranges and a repaint.
    void layoutChanged();
    void createScrollBars();
    void updateScrollBars();
    // The largest first row (column) that still fills the view.
    int32_t maxScrollRow(int32_t height) const;
    int32_t maxScrollColumn(int32_t width) const;
    void onScrollBar();
    // The extent of the fixed rows (columns) together.
    int64_t fixedRowsHeight() const;
    int64_t fixedColumnsWidth() const;
    // The part of the cell area right of the fixed columns and below the fixed rows.
    QRect scrolledArea() const;
    // Moves an open editor with its cell, or ends its edit once the cell has
    // left the scrolled area. False when the grid was destroyed by a handler.
    bool keepEditorWithItsCell();
    void notifyParent(int32_t code, int32_t row, int32_t column);
    // Keyboard command on the grid; false when the key was not taken.
    bool handleKey(int key, Qt::KeyboardModifiers modifiers, const QString& text);
    // The cell a navigation key leads to from the focus; none when the key leads nowhere.
    std::optional<CellId> navigationTarget(int key, Qt::KeyboardModifiers modifiers);
    int32_t nextShownRow(int32_t from, int32_t step) const;
    int32_t nextShownColumn(int32_t from, int32_t step) const;
    int32_t firstShownRow() const;
    int32_t firstShownColumn() const;
    int32_t lastShownRow() const;
    int32_t lastShownColumn() const;
    void restartSelection(const CellId& anchor, const CellId& to);
    bool clearCellForUser(int32_t row, int32_t column, bool allContents);
    PasteResult pasteFromClipboard();
    // Ctrl+V or Shift+Insert: the message on values left out waits for the key release.
    void pasteByKey();
    void tellValuesLeftOut(int64_t count);
    // A press on a fixed cell: whole columns, whole rows or everything, by setting 21.
    void pressOnHeader(const CellId& at, bool extend);
    // Selects the whole columns (rows) from `from` to `to`, in either order.
    void selectColumns(int32_t from, int32_t to);
    void selectRows(int32_t from, int32_t to);
    // Column or row border under the point in the header area, -1 for none.
    int32_t columnBorderAt(const QPoint& p) const;
    int32_t rowBorderAt(const QPoint& p) const;
    bool setting(uint32_t own) const { return settings_[own] != 0; }
    void writeExtentSetting(uint32_t own, int32_t value);
    void writeCountSetting(uint32_t own, int32_t value);

    std::vector<Row> rows_;
    std::vector<int32_t> rowHeights_;
    std::vector<int32_t> columnWidths_;
    int32_t fixedRows_ = 0;
    int32_t fixedColumns_ = 0;
    std::vector<ColumnTypeRecord> columnTypes_;
    std::vector<std::string> choiceList_;
    CellId focus_;
    // Marked cells by key column << 32 | row (see markKey).
    std::unordered_set<uint64_t> marked_;
    CellRange selection_;
    // Each setting as last written (refused writes leave it).
    forms::GridSettings settings_;
    bool storedSettingsFlag_ = false;
    rt::LogicalFont defaultFont_;

    // Scrolling.
    QScrollBar* vbar_ = nullptr;
    QScrollBar* hbar_ = nullptr;
    int32_t scrollRow_ = 0;
    int32_t scrollColumn_ = 0;
    bool updatingBars_ = false;

    // Interaction.
    enum class MouseMode { None, RowResize, ColumnResize, Selecting, SelectingColumns, SelectingRows, ClickPending };
    MouseMode mouseMode_ = MouseMode::None;
    CellId anchor_;
    // The column (row) whose header was pressed, for dragging along the headers.
    int32_t lineAnchor_ = -1;
    CellId pressFocus_;
    CellId pressCell_;
    QPoint pressPoint_;
    bool movedWhilePressed_ = false;
    bool afterDoubleClick_ = false;
    int32_t resizeIndex_ = -1;
    int32_t resizeStartExtent_ = 0;
    int32_t resizeStartPos_ = 0;
    QPointer<QWidget> editor_;
    QPointer<EditorSession> editorSession_;
    EventSink eventSink_;
    // Values the last paste by key left out, told when the key comes up.
    int64_t valuesLeftOutByKey_ = 0;
};

}  // namespace grid
