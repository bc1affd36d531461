// Windows, units and unit types as the runtime knows them: the window table
// read from the templates, the unit records, and the live controls behind them.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "runtime/Value.h"

namespace rt {

using WindowId = uint32_t;
using ControlId = uint32_t;
using PropertyIndex = uint32_t;

namespace idkind {
inline constexpr uint32_t KindMask = 0x0F000000, Window = 0x02000000, Routine = 0x04000000, Unit = 0x06000000;
inline constexpr uint32_t MenuMask = 0xF0000000, MenuMark = 0x20000000;
constexpr bool isWindow(uint32_t id) { return (id & KindMask) == Window; }
constexpr bool isRoutine(uint32_t id) { return (id & KindMask) == Routine; }
constexpr bool isUnit(uint32_t id) { return (id & KindMask) == Unit; }
constexpr bool isMenuItem(uint32_t id) { return isUnit(id) && (id & MenuMask) == MenuMark; }
}  // namespace idkind

// Stored flag bits of a unit record. Menu items read bit 0 inverted (clear = visible).
namespace unitflag {
inline constexpr uint32_t Visible = 1u << 0, Disabled = 1u << 1, Checked = 1u << 2;
}

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

// The live control behind a unit record; realised by the window units.
class LiveControl {
public:
    virtual ~LiveControl() = default;
    // Whether the control's window still exists.
    virtual bool isValid() const = 0;
    // The window rectangle in the parent's client coordinates.
    virtual Rect geometry() const = 0;
    virtual void move(int left, int top) = 0;
    virtual void resize(int width, int height) = 0;
    virtual bool isVisible() const = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool isEnabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    // New cursor data (see the cursor property); showCursor asks for it to show at once.
    virtual void setCursorData(const std::string& data) { (void)data; }
    virtual void refreshCursor() {}
    virtual Rect clientRect() const { Rect r = geometry(); return Rect{0, 0, r.width, r.height}; }
    // The native window, for message-box owners.
    virtual void* nativeWindow() { return this; }
};

// An edit control that text can be appended to (the edit box method).
class TextAppendable {
public:
    virtual ~TextAppendable() = default;
    // Moves the caret to the end, scrolls it into view and inserts the GBK text there without undo.
    virtual void appendText(const char* gbk) = 0;
};

struct EventBinding {
    int32_t event = 0;
    uintptr_t handler = 0;  // 0 = no handler
};

struct WindowRecord;

struct UnitRecord {
    ControlId id = 0;
    uint32_t type = 0;         // library type tag
    ControlId parent = 0;      // 0 = the window
    std::string name;          // GBK
    std::string comment;       // GBK
    std::vector<ControlId> children;
    int32_t left = 0, top = 0, width = 0, height = 0;
    std::string tag;           // the "标记" property, GBK
    uint32_t flags = 0;        // unitflag bits
    std::string cursor;        // cursor data
    std::string caption;       // menu items: caption text
    int32_t level = 0;         // menu items: nesting level
    int32_t hotKey = 0;        // menu items: 0 = none
    std::vector<EventBinding> events;
    uintptr_t clickHandler = 0;   // menu items
    ControlId copyOf = 0;         // a unit copied at run time from another of the same type
    LiveControl* live = nullptr;  // owned by the window layer (see liveHolder)
    std::shared_ptr<LiveControl> liveHolder;  // keeps `live` alive when the window layer owns it here
    std::string block;               // the stored unit-specific block, as read from the template
    std::shared_ptr<void> unitData;  // unit-specific state, owned by the unit type

    bool isLive() const { return live != nullptr && live->isValid(); }
};

struct WindowRecord {
    WindowId id = 0;
    uint32_t wordA = 0, wordB = 0;  // carried with the window, unused
    std::string name, comment;      // GBK
    std::vector<UnitRecord> units;  // the first unit is the window itself
    // Rebuilds the window's menu after a menu item changed; null when none is shown.
    void (*rebuildMenu)(WindowRecord&) = nullptr;
    // The unit records as they stood before the last load (kept beside the working ones).
    std::vector<UnitRecord> storedUnits;
    // The window layer's own state for a loaded window.
    std::shared_ptr<void> windowData;

    UnitRecord* findUnit(ControlId id);
    const UnitRecord* findUnit(ControlId id) const;
    bool loaded() const { return !units.empty() && units.front().isLive(); }
};

// The window table, in template order. Records stay at their addresses.
std::deque<WindowRecord>& windowTable();
WindowRecord* findWindow(WindowId id);
UnitRecord* findUnit(WindowId windowId, ControlId controlId);
// The live control named by the pair, or null (no window, no unit, or not live).
LiveControl* findLiveControl(WindowId windowId, ControlId controlId);

// Property type codes of unit property descriptors.
namespace ptype {
inline constexpr uint16_t Int = 1000, Int2 = 1001, Double = 1002, Bool = 1003, DateTime = 1004, Choice = 1006,
                          Binary1 = 1009, Binary2 = 1010, Cursor = 1011, Binary3 = 1012, Font = 1013, Colour1 = 1014,
                          Colour2 = 1015, Colour3 = 1017, Binary4 = 1023, Binary5 = 1024;
}

enum class ValueForm { Int, Choice, EightBytes, Bool, Binary, Cursor, Font, Text };
ValueForm valueFormOf(uint16_t typeCode);

// A raw property value exchanged with a unit type's handlers: numbers in the
// words, texts, binary data and font records in the bytes.
struct PropertyValue {
    Words words;
    std::string bytes;
};

// A unit type: its own properties (from index 8) and its handlers.
class UnitType {
public:
    virtual ~UnitType() = default;
    virtual uint32_t libraryType() const = 0;
    // Property type codes of indices 8, 9, 10, ...
    virtual const std::vector<uint16_t>& ownPropertyTypes() const = 0;
    // Flags word; the event-capable bits are 0x44.
    virtual uint32_t flags() const = 0;
    // Handler 6: reads own property `index` (0 = property 8).
    virtual PropertyValue readProperty(const WindowRecord& window, const UnitRecord& unit, uint32_t index) = 0;
    // Handler 4: writes own property `index`; returns 1 when the control must be re-created.
    virtual int writeProperty(WindowRecord& window, UnitRecord& unit, uint32_t index, const PropertyValue& value) = 0;
    // Re-creates the unit's control in place (after a write handler asked for it).
    virtual void recreate(WindowRecord& window, UnitRecord& unit) { (void)window; (void)unit; }
    // Asked of tab units only: whether `child`, placed on one of the tab unit's
    // pages, lies on the page shown now. A unit made visible through the visible
    // property appears only then; the tab unit shows it when its page comes up.
    virtual bool isChildPageCurrent(const WindowRecord& window, const UnitRecord& tab, const UnitRecord& child) {
        (void)window; (void)tab; (void)child;
        return true;
    }
};

inline constexpr uint32_t kEventCapableFlags = 0x44;

void registerUnitType(UnitType* type);
UnitType* findUnitType(uint32_t libraryType);

}  // namespace rt
