// Reads arbitrary bytes as a window-template block. What the reader accepts
// must survive writing and reading again unchanged, and every unit block it
// hands on must decode, re-encode and decode to the same values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "forms/Template.h"
#include "forms/UnitBlocks.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

rt::EventHandler gEntries[16] = {};
const rt::HandlerTable kHandlers{gEntries, 16};

int32_t offsetOf(uintptr_t handler) {
    if (handler == 0) return -1;
    auto offset = reinterpret_cast<const rt::EventHandler*>(handler) - gEntries;
    check(offset >= 0 && offset < 16);
    return static_cast<int32_t>(offset);
}

forms::WindowDescription descriptionOf(const rt::WindowRecord& w) {
    forms::WindowDescription description;
    description.id = w.id;
    description.wordA = w.wordA;
    description.wordB = w.wordB;
    description.name = w.name;
    description.comment = w.comment;
    for (const rt::UnitRecord& u : w.units) {
        forms::UnitDescription s;
        s.id = u.id;
        s.type = u.type;
        s.name = u.name;
        s.comment = u.comment;
        s.left = u.left;
        s.top = u.top;
        s.width = u.width;
        s.height = u.height;
        s.parent = u.parent;
        s.children = u.children;
        s.cursor = u.cursor;
        s.tag = u.tag;
        s.flags = u.flags;
        for (const rt::EventBinding& e : u.events) s.events.emplace_back(e.event, offsetOf(e.handler));
        s.block = u.block;
        s.hotKey = u.hotKey;
        s.level = u.level;
        s.menuFlags = u.flags;
        s.caption = u.caption;
        s.clickHandler = offsetOf(u.clickHandler);
        description.units.push_back(std::move(s));
    }
    return description;
}

bool sameUnit(const rt::UnitRecord& a, const rt::UnitRecord& b) {
    auto sameEvents = [&] {
        if (a.events.size() != b.events.size()) return false;
        for (size_t i = 0; i < a.events.size(); ++i)
            if (a.events[i].event != b.events[i].event || a.events[i].handler != b.events[i].handler) return false;
        return true;
    };
    return a.id == b.id && a.type == b.type && a.name == b.name && a.comment == b.comment && a.left == b.left &&
           a.top == b.top && a.width == b.width && a.height == b.height && a.parent == b.parent &&
           a.children == b.children && a.cursor == b.cursor && a.tag == b.tag && a.flags == b.flags &&
           a.caption == b.caption && a.level == b.level && a.hotKey == b.hotKey &&
           a.clickHandler == b.clickHandler && a.block == b.block && sameEvents();
}

void checkUnitBlock(const rt::UnitRecord& unit) {
    auto values = forms::decodeUnitBlock(unit.type, unit.block);
    if (!values) return;
    auto again = forms::decodeUnitBlock(unit.type, forms::encodeUnitBlock(unit.type, *values));
    check(again.has_value() && again->values.size() == values->values.size());
    for (size_t i = 0; i < values->values.size(); ++i) {
        check(again->values[i].words.low == values->values[i].words.low);
        check(again->values[i].bytes == values->values[i].bytes);
    }
    if (unit.type == forms::unittype::ComboBox) forms::decodeItemList(values->bytes(forms::comboprop::Items));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<rt::WindowRecord> windows;
    if (!forms::parseTemplateBlock(data, size, &kHandlers, windows)) return 0;

    std::vector<forms::WindowDescription> descriptions;
    for (const rt::WindowRecord& w : windows) {
        check(!w.units.empty() && w.units.front().type == forms::unittype::Window);
        descriptions.push_back(descriptionOf(w));
        for (const rt::UnitRecord& u : w.units) checkUnitBlock(u);
    }
    std::string written = forms::writeTemplateBlock(descriptions);
    std::vector<rt::WindowRecord> again;
    check(forms::parseTemplateBlock(reinterpret_cast<const uint8_t*>(written.data()), written.size(), &kHandlers,
                                    again));
    check(again.size() == windows.size());
    for (size_t i = 0; i < windows.size(); ++i) {
        check(again[i].id == windows[i].id && again[i].wordA == windows[i].wordA && again[i].wordB == windows[i].wordB);
        check(again[i].name == windows[i].name && again[i].comment == windows[i].comment);
        check(again[i].units.size() == windows[i].units.size());
        for (size_t j = 0; j < windows[i].units.size(); ++j) check(sameUnit(again[i].units[j], windows[i].units[j]));
    }
    return 0;
}
