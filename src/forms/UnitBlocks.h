// The unit-specific blocks at the tail of unit records: each unit type's stored
// property values, their versions, and the property type codes of every type.
// Pure byte format, no window system: the template writer and the units share it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/WindowTable.h"

namespace forms {

// Library type tags of the unit types in use.
namespace unittype {
inline constexpr uint32_t Window = 0x10001, Menu = 0x10003, EditBox = 0x10005, PicBox = 0x10006, ShapeBox = 0x10007,
                          Label = 0x1000A, Button = 0x1000B, RadioBox = 0x1000D, ComboBox = 0x1000E, Grid = 0x20001;
}

// Property type codes of a unit type's own properties (index 8 upward); empty
// for a type this program does not know.
const std::vector<uint16_t>& ownPropertyTypesOf(uint32_t libraryType);
// The highest block version a type reads (0 for an unknown type).
uint32_t highestBlockVersion(uint32_t libraryType);

// A unit's own stored property values, by own index (0 = property 8), each in
// the form its type code gives it: numbers in `words.low`, texts, binary data
// and font records in `bytes`.
struct StoredProperties {
    uint32_t version = 0;
    std::vector<rt::PropertyValue> values;

    int32_t integer(uint32_t own) const { return own < values.size() ? values[own].words.asInt() : 0; }
    const std::string& bytes(uint32_t own) const;
    void setInteger(uint32_t own, int32_t v);
    void setBytes(uint32_t own, std::string_view b);
};

// The values a unit of the type has when nothing is stored (its reset values).
StoredProperties defaultProperties(uint32_t libraryType);

// Reads a block. None when the block is malformed (short, a count past the
// end, bytes left over) or its version is above the type's highest.
// Values that an older version does not carry keep their defaults.
std::optional<StoredProperties> decodeUnitBlock(uint32_t libraryType, std::string_view block);
// Writes a block of the type's highest version (or `values.version` when set lower).
std::string encodeUnitBlock(uint32_t libraryType, const StoredProperties& values);

// Own property indices (property number − 8) by type, for the properties whose
// meaning the program relies on; the others are stored and read back.
namespace windowprop {
inline constexpr uint32_t Caption = 0, BorderStyle = 1, BackColour = 2, BackPicture = 3, PictureMode = 4, Icon = 5,
                          StartState = 6, ControlBox = 7, MaximiseBox = 8, MinimiseBox = 9, Position = 10,
                          Movable = 11, ShowInTaskbar = 18;
// BorderStyle: 0 none, 1 fixed single, 2 resizable, 3 fixed dialog, 4 tool window.
// StartState: 0 normal, 1 minimised, 2 maximised. Position: 0 as stored, 1 centred on the primary screen.
}
namespace editprop {
inline constexpr uint32_t Content = 0, Border = 1, TextColour = 2, BackColour = 3, Font = 4, HideSelection = 5,
                          MaxLength = 6, MultiLine = 7, ScrollBars = 8, Alignment = 9, InputMode = 10,
                          PasswordChar = 11, CaseMode = 12;
// ScrollBars: 0 none, 1 horizontal, 2 vertical, 3 both. Alignment: 0 left, 1 centre, 2 right.
// InputMode: 0 normal, 1 read-only, 2 password, 3 whole number, 4 decimal number.
inline constexpr int32_t InputNormal = 0, InputReadOnly = 1, InputPassword = 2, InputWholeNumber = 3,
                         InputDecimal = 4;
}
namespace picprop {
inline constexpr uint32_t Border = 0, BackColour = 1, Picture = 2, DisplayMode = 3, Animate = 4;
// DisplayMode: 0 top-left, 1 stretched, 2 centred, 3 tiled.
}
namespace shapeprop {
inline constexpr uint32_t BackColour = 0, Shape = 1, LineStyle = 2, FillStyle = 3, LineWidth = 4, LineColour = 5,
                          FillColour = 6;
// Shape: 0 rectangle, 1 rounded rectangle, 2 ellipse, ... ; FillStyle 0 = hollow.
}
namespace labelprop {
inline constexpr uint32_t Caption = 0, Effect = 1, EdgeWidth = 3, Font = 7, TextColour = 8, BackColour = 9,
                          Picture = 10, HorizontalAlignment = 11, VerticalAlignment = 12, WordWrap = 18;
// HorizontalAlignment: 0 left, 1 centre, 2 right. VerticalAlignment: 0 top, 1 centre, 2 bottom.
// BackColour 0xFF000000 = transparent.
}
namespace buttonprop {
inline constexpr uint32_t Picture = 0, Type = 1, Caption = 2, HorizontalAlignment = 3, VerticalAlignment = 4,
                          Font = 5;
}
namespace radioprop {
inline constexpr uint32_t Picture = 0, PushLike = 1, Flat = 2, Caption = 3, TextOnLeft = 4, HorizontalAlignment = 5,
                          VerticalAlignment = 6, TextColour = 7, BackColour = 8, Font = 9, Checked = 10;
}
namespace comboprop {
inline constexpr uint32_t Kind = 0, Content = 1, SelectionStart = 2, SelectionLength = 3, MaxLength = 4,
                          SelectedText = 5, Sorted = 6, VisibleRows = 7, TextColour = 8, BackColour = 9, Font = 10,
                          Selection = 11, Items = 12, ItemData = 13;
// Kind: 0 editable drop-down, 1 drop-down list (not editable), 2 simple.
}

// The item list of a combo box (binary property Items): an int32 count, then
// each item as a counted string.
std::string encodeItemList(const std::vector<std::string>& items);
std::vector<std::string> decodeItemList(std::string_view bytes);

// The grid's 30 settings by own index, and their stored block (version 12:
// own indices 0-10, 13, 11, 12, then 14 onward, with the extension word after
// own index 23 that carries 28 and 29).
namespace gridprop {
inline constexpr uint32_t GridLineColor = 0, CellBackColor = 1, CellTextColor = 2, FocusColor = 3, GridLines = 4,
                          AllowRowResize = 5, AllowColumnResize = 6, DefaultRowHeight = 7, DefaultColumnWidth = 8,
                          RowCount = 9, ColumnCount = 10, FixedRowCount = 11, FixedColumnCount = 12, Editable = 13,
                          MarkedSelection = 15, FixedBackColor = 17, EnterMoves = 20, WholeLineSelection = 21,
                          ListMode = 22, SelectionBackColor = 23, GridLineWidth = 25, SelectionTextColor = 26,
                          ShowZero = 27, EmptyAreaColor = 28, BorderStyle = 29;
inline constexpr uint32_t Count = 30;
}
struct GridSettings {
    int32_t values[gridprop::Count] = {};
    int32_t& operator[](uint32_t own) { return values[own]; }
    int32_t operator[](uint32_t own) const { return values[own]; }
};
// The defaults of a grid with no stored block.
GridSettings defaultGridSettings();
// None when malformed or the version is above 12; settings a version does not carry keep their defaults.
std::optional<GridSettings> decodeGridBlock(std::string_view block);
std::string encodeGridBlock(const GridSettings& settings);

// Little-endian reading and writing of the stored formats (template blocks and
// unit blocks). The reader never reads past its end: a failed read sets `failed`
// and answers 0 or an empty view, and every later read fails as well.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t length) : data_(data), length_(length) {}
    explicit ByteReader(std::string_view bytes)
        : ByteReader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()) {}

    size_t position() const { return position_; }
    size_t remaining() const { return failed_ ? 0 : length_ - position_; }
    bool failed() const { return failed_; }
    bool atEnd() const { return !failed_ && position_ == length_; }
    void fail() { failed_ = true; }

    uint32_t word();
    int32_t integer() { return static_cast<int32_t>(word()); }
    // `count` raw bytes.
    std::string_view take(size_t count);
    void skip(size_t count) { take(count); }
    // An int32 byte count, then that many bytes (a negative count fails).
    std::string_view counted();
    // Bytes up to a zero byte, which is consumed; fails when there is none.
    std::string_view zeroTerminated();

private:
    const uint8_t* data_;
    size_t length_;
    size_t position_ = 0;
    bool failed_ = false;
};

void appendWord(std::string& out, uint32_t value);
inline void appendInteger(std::string& out, int32_t value) { appendWord(out, static_cast<uint32_t>(value)); }
void appendCounted(std::string& out, std::string_view bytes);
// The bytes and a terminating zero (the bytes must hold no zero of their own).
void appendZeroTerminated(std::string& out, std::string_view bytes);

}  // namespace forms
