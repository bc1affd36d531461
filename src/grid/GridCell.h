// One cell of the grid: its text, draw-text format, state bits, colours, font,
// check state and picture.
#pragma once

#include <QImage>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/Font.h"

namespace grid {

// State bits of a cell.
namespace cellstate {
inline constexpr uint32_t Focused = 0x01;  // the focus cell
inline constexpr uint32_t Marked = 0x02;   // a marked (selected) cell, also in the grid's set of marked cells
// A cell of a fixed row; the fixed-column count sets it on the cells of fixed
// columns as well, so the bit is set exactly on the cells in a fixed row or column.
inline constexpr uint32_t Fixed = 0x10;
}  // namespace cellstate

// Draw-text format flags of a cell (the Windows DrawText bits).
namespace textformat {
inline constexpr uint32_t Left = 0x0000, Centre = 0x0001, Right = 0x0002, VerticalCentre = 0x0004,
                          WordBreak = 0x0010, SingleLine = 0x0020, NoPrefix = 0x0800;
inline constexpr uint32_t HorizontalMask = Centre | Right;
// What a new cell starts with: left, vertically centred, one line.
inline constexpr uint32_t Default = Left | VerticalCentre | SingleLine | NoPrefix;
}  // namespace textformat

// A colour value that stands for the grid's default colour.
inline constexpr uint32_t kDefaultColour = 0xFF000000;

// The cell interface: a getter and a setter per field. The grid keeps cells
// through this base, so that cells of other kinds can be added later.
class CGridCellBase {
public:
    virtual ~CGridCellBase() = default;

    uint32_t format() const { return format_; }
    void setFormat(uint32_t format) { format_ = format; }
    uint32_t state() const { return state_; }
    void setState(uint32_t state) { state_ = state; }
    bool hasState(uint32_t bits) const { return (state_ & bits) == bits; }

    virtual const std::string& text() const = 0;
    virtual void setText(std::string_view gbk) = 0;
    virtual uint32_t textColour() const = 0;
    virtual void setTextColour(uint32_t colorRef) = 0;
    virtual uint32_t backColour() const = 0;
    virtual void setBackColour(uint32_t colorRef) = 0;
    // The cell's own font, or none for the grid's default font.
    virtual const std::optional<rt::LogicalFont>& font() const = 0;
    virtual void setFont(std::optional<rt::LogicalFont> font) = 0;
    virtual bool checked() const = 0;
    virtual void setChecked(bool checked) = 0;
    // A null image is no picture.
    virtual const QImage& picture() const = 0;
    virtual void setPicture(QImage picture) = 0;

    // Empties the text, the picture and the check state (what clearing a cell does).
    void clearContents() {
        setText({});
        setPicture(QImage());
        setChecked(false);
    }

private:
    uint32_t format_ = textformat::Default;
    uint32_t state_ = 0;
};

// The plain cell that every grid position holds.
class CGridCell final : public CGridCellBase {
public:
    const std::string& text() const override { return text_; }
    void setText(std::string_view gbk) override { text_.assign(gbk.data(), gbk.size()); }
    uint32_t textColour() const override { return textColour_; }
    void setTextColour(uint32_t colorRef) override { textColour_ = colorRef; }
    uint32_t backColour() const override { return backColour_; }
    void setBackColour(uint32_t colorRef) override { backColour_ = colorRef; }
    const std::optional<rt::LogicalFont>& font() const override { return font_; }
    void setFont(std::optional<rt::LogicalFont> font) override { font_ = font; }
    bool checked() const override { return checked_; }
    void setChecked(bool checked) override { checked_ = checked; }
    const QImage& picture() const override { return picture_; }
    void setPicture(QImage picture) override { picture_ = std::move(picture); }

private:
    std::string text_;
    uint32_t textColour_ = kDefaultColour;
    uint32_t backColour_ = kDefaultColour;
    std::optional<rt::LogicalFont> font_;
    bool checked_ = false;
    QImage picture_;
};

}  // namespace grid
