// The in-place editors of the grid: the character filter of the text editor,
// the end-of-edit normalisation of numbers, and the session that runs one
// editor widget from its opening to the end of its edit.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <string>

class QKeyEvent;
class QWidget;

namespace grid {

class CGridCtrl;

// What the text editor does with a typed character.
enum class FilterVerdict {
    Accept,
    Drop,      // silently
    Beep,      // dropped with a beep
    EmptyAll,  // Space over the whole text of a numeric cell: the editor empties
};

// The filter by column type (the stored code; 0 for none). `cursor` is where
// the character would go (the start of the selection when there is one).
FilterVerdict filterCharacter(int32_t columnType, char32_t ch, const QString& text, int cursor, bool allSelected);

// A Number or Currency text as an edit leaves it: for a text worth something
// other than 0, a trailing "." goes, then leading zeros while the text does
// not start with "0." ("007" gives "7", "00.5" gives "0.5", "5." gives "5").
std::string normaliseNumberText(std::string gbk);

// Process-wide guard: an end of edit running stops another from starting.
bool editEndRunning();

// The editor open on one cell: watches its widget for the keys and the focus
// loss that end the edit, filters the characters of a text editor, and hands
// the result to the grid once.
class EditorSession final : public QObject {
public:
    enum class Kind { Text, Date, List, Picture };
    EditorSession(CGridCtrl* grid, QWidget* editor, Kind kind, int32_t row, int32_t column, int32_t columnType,
                  bool endsOnArrows, const std::string& startText);

    QWidget* editor() const { return editor_; }
    int32_t row() const { return row_; }
    int32_t column() const { return column_; }
    // Ends the edit with a key (a Qt key code, 0 for focus loss); only the first call counts.
    void finish(int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The editor's text as the cell would take it (GBK; line breaks as CR LF).
    // An editor that still shows what it was given gives the cell's own text
    // back, byte for byte.
    std::string committedText() const;
    void restoreStartText();
    bool filterTextKey(QKeyEvent* key);
    void breakLine();
    void choosePicture();
    // Widens the text editor to its widest line and grows it by its lines.
    void fitToText();

    QPointer<CGridCtrl> grid_;
    QPointer<QWidget> editor_;
    Kind kind_;
    int32_t row_, column_, columnType_;
    bool endsOnArrows_;
    std::string startText_;
    // The starting text as the editor shows it.
    QString shownStartText_;
    bool finished_ = false;
    bool choosing_ = false;
};

}  // namespace grid
