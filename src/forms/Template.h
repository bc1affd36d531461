// The window-template block: its byte format, the reader that fills the
// window table, and the writer of the same format used at build time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/EntryTable.h"
#include "runtime/Events.h"
#include "runtime/WindowTable.h"

namespace forms {

// Parses a whole template block into window records, relocating every handler
// offset through the handler table (-1 = none; an offset outside the table
// makes the block malformed). False, with `windows` unspecified, when the block
// is malformed: any read past the end, a count that does not fit, a unit table
// whose records do not match its size, an unknown record layout.
bool parseTemplateBlock(const uint8_t* data, size_t length, const rt::HandlerTable* handlers,
                        std::vector<rt::WindowRecord>& windows);

// The runtime's template reader (installed with rt::setTemplateReader): reads
// the header's template block into the window table, replacing what was there.
// A malformed block reports "载入窗口模板数据段出错!" and ends the program.
void readTemplates(const rt::ProgramHeader* header);
void installTemplateReader();

// Unit record by position in template order, or null.
rt::UnitRecord* unitAt(rt::WindowRecord& window, size_t index);
// The handler bound to the event number in the unit's event table, 0 for none;
// a menu item answers its click handler for every event number.
uintptr_t findHandler(const rt::UnitRecord& unit, int32_t event);

// ---- Writing ------------------------------------------------------------------

// A unit as the writer takes it; texts are GBK. Handler offsets are indices
// into the application's handler table, -1 for none.
struct UnitDescription {
    uint32_t id = 0;
    uint32_t type = 0;
    std::string name, comment;
    int32_t left = 0, top = 0, width = 0, height = 0;
    uint32_t parent = 0;
    std::vector<uint32_t> children;
    std::string cursor = std::string(4, '\0');  // 4 zero bytes: default cursor
    std::string tag;
    uint32_t flags = 0;  // bit 0 visible, bit 1 disabled, bit 2 takes the focus
    std::vector<std::pair<int32_t, int32_t>> events;  // (event number, handler offset)
    std::string block;  // the unit-specific block

    // Menu items (type 0x10003) only.
    int32_t hotKey = 0, level = 0;
    uint32_t menuFlags = 0;  // bit 0 hidden, bit 1 disabled, bit 2 checked
    std::string caption;
    int32_t clickHandler = -1;
};

struct WindowDescription {
    uint32_t id = 0;
    uint32_t wordA = 0, wordB = 0;
    std::string name, comment;
    std::vector<UnitDescription> units;  // the first is the window's own unit
};

std::string writeTemplateBlock(const std::vector<WindowDescription>& windows);

}  // namespace forms
