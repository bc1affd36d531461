// The property protocol: menu items, the common properties 0-7, and a unit
// type's own properties converted by their property type codes.
#include "runtime/Properties.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "runtime/Errors.h"
#include "runtime/Font.h"
#include "runtime/Host.h"
#include "runtime/Program.h"
#include "runtime/RuntimeTexts.h"
#include "runtime/Text.h"

namespace rt {
namespace {

int32_t related(uint32_t id) { return static_cast<int32_t>(id); }

Words boolWord(bool b) { return Words::ofInt(b ? 1 : 0); }

// Sets or clears the bits; true when the flags changed.
bool setFlag(uint32_t& flags, uint32_t bits, bool on) {
    uint32_t updated = on ? (flags | bits) : (flags & ~bits);
    bool changed = updated != flags;
    flags = updated;
    return changed;
}

std::string_view textArgument(Words value) { return textView(value.pointer<const char>()); }
std::string_view byteSetArgument(Words value) { return byteSetView(value.pointer<const void>()); }

struct Target {
    WindowRecord& window;
    UnitRecord& unit;
};

// The window must be in the table and name the unit. A missing unit is
// reported with the window and control as related values, so the report's
// detail lines name the window and say that the unit was not found.
Target resolve(WindowId windowId, ControlId controlId) {
    WindowRecord* window = findWindow(windowId);
    if (!window) RaiseRuntimeMessage(texts::MsgWindowNotLoaded, related(windowId), related(controlId));
    UnitRecord* unit = window->findUnit(controlId);
    if (!unit) RaiseRuntimeMessage(texts::MsgControlMissing, related(windowId), related(controlId));
    return {*window, *unit};
}

// ---- Menu items -------------------------------------------------------------

// Indices other than 0-3 mean nothing for a menu item: they read as 0 and
// writes to them are ignored.
Words readMenuItem(const UnitRecord& item, PropertyIndex index) {
    switch (index) {
        case menuprop::Caption: return Words::ofPointer(makeText(item.caption));
        case menuprop::Checked: return boolWord(item.flags & unitflag::Checked);
        case menuprop::Disabled: return boolWord(item.flags & unitflag::Disabled);
        case menuprop::Visible: return boolWord(!(item.flags & unitflag::Visible));
        default: return {};
    }
}

void writeMenuItem(WindowRecord& window, UnitRecord& item, PropertyIndex index, Words value) {
    bool changed = false;
    switch (index) {
        case menuprop::Caption: {
            std::string_view caption = textArgument(value);
            changed = caption != item.caption;
            if (changed) item.caption = caption;
            break;
        }
        case menuprop::Checked: changed = setFlag(item.flags, unitflag::Checked, value.low != 0); break;
        case menuprop::Disabled: changed = setFlag(item.flags, unitflag::Disabled, value.low != 0); break;
        // Bit 0 set hides a menu item.
        case menuprop::Visible: changed = setFlag(item.flags, unitflag::Visible, value.low == 0); break;
        default: return;
    }
    if (changed && window.rebuildMenu) window.rebuildMenu(window);
}

// ---- Common properties --------------------------------------------------------

LiveControl* liveControlOf(const UnitRecord& unit) { return unit.isLive() ? unit.live : nullptr; }

Words readCommon(const UnitRecord& unit, PropertyIndex index) {
    LiveControl* live = liveControlOf(unit);
    switch (index) {
        case prop::Left: return Words::ofInt(live ? live->geometry().left : unit.left);
        case prop::Top: return Words::ofInt(live ? live->geometry().top : unit.top);
        case prop::Width: return Words::ofInt(live ? live->geometry().width : unit.width);
        case prop::Height: return Words::ofInt(live ? live->geometry().height : unit.height);
        case prop::Tag: return Words::ofPointer(makeText(unit.tag));
        case prop::Visible: return boolWord(live ? live->isVisible() : (unit.flags & unitflag::Visible) != 0);
        case prop::Disabled: return boolWord(live ? !live->isEnabled() : (unit.flags & unitflag::Disabled) != 0);
        default: return Words::ofPointer(makeByteSet(unit.cursor));  // prop::Cursor
    }
}

int32_t clampPosition(int32_t v) { return std::clamp(v, -kCoordinateLimit, kCoordinateLimit); }
int32_t clampExtent(int32_t v) { return std::clamp(v, 0, kCoordinateLimit); }

// A unit on a page of a tab unit appears only while that page is the current
// one; the tab unit's type answers that. The window's own unit and every other
// unit are simply shown.
bool mayShow(WindowRecord& window, const UnitRecord& unit) {
    if (&unit == &window.units.front() || unit.parent == 0) return true;
    const UnitRecord* parent = window.findUnit(unit.parent);
    if (!parent || parent->type != tag::TabUnit) return true;
    UnitType* tabType = findUnitType(parent->type);
    return !tabType || tabType->isChildPageCurrent(window, *parent, unit);
}

void writeCommon(WindowRecord& window, UnitRecord& unit, PropertyIndex index, Words value) {
    LiveControl* live = liveControlOf(unit);
    int32_t v = value.asInt();
    switch (index) {
        case prop::Left:
            unit.left = clampPosition(v);
            if (live) live->move(unit.left, live->geometry().top);
            break;
        case prop::Top:
            unit.top = clampPosition(v);
            if (live) live->move(live->geometry().left, unit.top);
            break;
        case prop::Width:
            unit.width = clampExtent(v);
            if (live) live->resize(unit.width, live->geometry().height);
            break;
        case prop::Height:
            unit.height = clampExtent(v);
            if (live) live->resize(live->geometry().width, unit.height);
            break;
        case prop::Tag: unit.tag = textArgument(value); break;
        case prop::Visible:
            setFlag(unit.flags, unitflag::Visible, v != 0);
            if (live && v == 0) live->setVisible(false);
            else if (live && mayShow(window, unit)) live->setVisible(true);
            break;
        case prop::Disabled:
            setFlag(unit.flags, unitflag::Disabled, v != 0);
            if (live) live->setEnabled(v == 0);
            break;
        default:  // prop::Cursor
            unit.cursor = byteSetArgument(value);
            if (live) {
                live->setCursorData(unit.cursor);
                live->refreshCursor();  // so the new cursor shows without a mouse move
            }
            break;
    }
}

// ---- Own properties -------------------------------------------------------------

struct OwnProperty {
    UnitType& type;
    uint32_t index;  // 0 = property 8
    ValueForm form;
};

// A property number past the unit type's own properties (or a unit whose type
// is unknown) cannot be served; it is reported rather than read out of bounds.
OwnProperty ownProperty(const UnitRecord& unit, WindowId windowId, ControlId controlId, PropertyIndex index) {
    UnitType* type = findUnitType(unit.type);
    uint32_t own = index - prop::FirstOwn;
    if (!type || own >= type->ownPropertyTypes().size())
        RaiseRuntimeMessage(texts::MsgPropertyMissing, related(windowId), related(controlId));
    return {*type, own, valueFormOf(type->ownPropertyTypes()[own])};
}

Words readFontPart(const LogicalFont& font, int32_t part) {
    switch (part) {
        case fontpart::Whole: return Words::ofPointer(makeByteSet(fontRecord(font)));
        case fontpart::Escapement: return Words::ofInt(font.escapement);
        case fontpart::Bold: return boolWord(font.weight >= kBoldWeight);
        case fontpart::Italic: return boolWord(font.italic != 0);
        case fontpart::Underline: return boolWord(font.underline != 0);
        case fontpart::StrikeOut: return boolWord(font.strikeOut != 0);
        case fontpart::Size: return Words::ofInt(fontPointSize(font.height));
        case fontpart::FaceName: return Words::ofPointer(makeText(fontFaceName(font)));
        default: return {};
    }
}

// Changes one part of the record; false for an unknown part (nothing is written).
bool writeFontPart(LogicalFont& font, int32_t part, Words value) {
    int32_t v = value.asInt();
    switch (part) {
        case fontpart::Escapement: font.escapement = v % 3600; return true;
        case fontpart::Bold: font.weight = v != 0 ? kBoldWeight : 0; return true;
        case fontpart::Italic: font.italic = v != 0; return true;
        case fontpart::Underline: font.underline = v != 0; return true;
        case fontpart::StrikeOut: font.strikeOut = v != 0; return true;
        case fontpart::Size: font.height = fontHeightForPointSize(v); return true;
        case fontpart::FaceName: setFontFaceName(font, textArgument(value)); return true;
        default: return false;
    }
}

Words readOwn(WindowRecord& window, UnitRecord& unit, WindowId windowId, ControlId controlId, PropertyIndex index,
              int32_t subIndex) {
    if (!unit.isLive()) RaiseRuntimeMessage(texts::MsgReadUnloaded, related(windowId), related(controlId));
    OwnProperty p = ownProperty(unit, windowId, controlId, index);
    PropertyValue raw = p.type.readProperty(window, unit, p.index);
    switch (p.form) {
        case ValueForm::Int:
        case ValueForm::Choice: return Words::ofInt(raw.words.asInt());
        case ValueForm::EightBytes: return raw.words;
        case ValueForm::Bool: return boolWord(raw.words.low != 0);
        case ValueForm::Binary:
        case ValueForm::Cursor: return Words::ofPointer(makeByteSet(raw.bytes));
        case ValueForm::Font: return readFontPart(fontFromRecord(raw.bytes), subIndex);
        case ValueForm::Text: break;
    }
    return Words::ofPointer(makeText(raw.bytes));
}

void writeOwn(WindowRecord& window, UnitRecord& unit, WindowId windowId, ControlId controlId, PropertyIndex index,
              int32_t subIndex, Words value) {
    if (!unit.isLive()) RaiseRuntimeMessage(texts::MsgWriteUnloaded, related(windowId), related(controlId));
    OwnProperty p = ownProperty(unit, windowId, controlId, index);
    PropertyValue converted;
    switch (p.form) {
        case ValueForm::Int: converted.words = Words::ofInt(value.asInt()); break;
        case ValueForm::Choice: converted.words = Words::ofInt(std::max(value.asInt(), 0)); break;
        case ValueForm::EightBytes: converted.words = value; break;
        // Passed on as written: nonzero means true for the type, except where a
        // type asks for exactly 1 (a radio box's check state); reads give 1 or 0.
        case ValueForm::Bool: converted.words = Words::ofInt(value.asInt()); break;
        case ValueForm::Binary:
        case ValueForm::Cursor: converted.bytes = byteSetArgument(value); break;
        case ValueForm::Font:
            if (subIndex == fontpart::Whole) {
                // Passed on as given; a record that is not 60 bytes reads back as the default font.
                converted.bytes = byteSetArgument(value);
            } else {
                LogicalFont font = fontFromRecord(p.type.readProperty(window, unit, p.index).bytes);
                if (!writeFontPart(font, subIndex, value)) return;
                converted.bytes = fontRecord(font);
            }
            break;
        case ValueForm::Text: converted.bytes = textArgument(value); break;
    }
    if (p.type.writeProperty(window, unit, p.index, converted) == 1 && window.loaded()) {
        EventBlock block;
        p.type.recreate(window, unit);
    }
}

}  // namespace

Words ReadProperty(WindowId windowId, ControlId controlId, PropertyIndex index, int32_t subIndex) {
    // Controls belong to the main thread: a read from another thread is
    // carried there and waits for it.
    if (!host().isMainThread()) {
        Words result;
        host().runOnMainThread([&] { result = ReadProperty(windowId, controlId, index, subIndex); });
        return result;
    }
    Target t = resolve(windowId, controlId);
    if (idkind::isMenuItem(t.unit.id)) return readMenuItem(t.unit, index);
    if (index >= prop::FirstOwn) return readOwn(t.window, t.unit, windowId, controlId, index, subIndex);
    return readCommon(t.unit, index);
}

void WriteProperty(WindowId windowId, ControlId controlId, PropertyIndex index, int32_t subIndex, Words value) {
    if (!host().isMainThread()) {
        host().runOnMainThread([&] { WriteProperty(windowId, controlId, index, subIndex, value); });
        return;
    }
    Target t = resolve(windowId, controlId);
    if (idkind::isMenuItem(t.unit.id)) return writeMenuItem(t.window, t.unit, index, value);
    if (index >= prop::FirstOwn) return writeOwn(t.window, t.unit, windowId, controlId, index, subIndex, value);
    writeCommon(t.window, t.unit, index, value);
}

}  // namespace rt
