// The window-template block: the reader that fills the window table and the
// writer of the same format. Every count is checked against the bytes that
// remain before anything is reserved, so a hostile block costs no more memory
// than its own length.
#include "forms/Template.h"

#include <algorithm>
#include <string_view>

#include "forms/FormsTexts.h"
#include "forms/UnitBlocks.h"
#include "runtime/Errors.h"

namespace forms {
namespace {

constexpr size_t kRunTimeAreaSize = 20;
constexpr size_t kEventTrailerSize = 20;
constexpr size_t kMenuTrailerSize = 16;

bool isMenuRecord(uint32_t type) { return type == unittype::Menu; }

// A count of items of `itemSize` bytes each that the reader can still hold.
bool fits(const ByteReader& in, int32_t count, size_t itemSize) {
    return count >= 0 && static_cast<uint64_t>(count) * itemSize <= in.remaining();
}

bool parseMenuItem(ByteReader& in, const rt::HandlerTable* handlers, rt::UnitRecord& unit) {
    unit.hotKey = in.integer();
    unit.level = in.integer();
    unit.flags = in.word();
    unit.caption = in.zeroTerminated();
    int32_t click = in.integer();
    in.skip(kMenuTrailerSize);
    if (in.failed() || !in.atEnd()) return false;
    return rt::relocateHandler(handlers, click, unit.clickHandler);
}

bool parseControl(ByteReader& in, const rt::HandlerTable* handlers, rt::UnitRecord& unit) {
    in.skip(4);  // live-object slot
    unit.left = in.integer();
    unit.top = in.integer();
    unit.width = in.integer();
    unit.height = in.integer();
    in.skip(4);  // cursor-handle slot
    unit.parent = in.word();

    int32_t childCount = in.integer();
    if (!fits(in, childCount, 4)) return false;
    unit.children.reserve(static_cast<size_t>(childCount));
    for (int32_t i = 0; i < childCount; ++i) unit.children.push_back(in.word());

    unit.cursor = in.counted();
    unit.tag = in.zeroTerminated();
    in.skip(4);  // reserved
    unit.flags = in.word();
    in.skip(4);  // reserved

    int32_t eventCount = in.integer();
    if (!fits(in, eventCount, 8)) return false;
    unit.events.reserve(static_cast<size_t>(eventCount));
    for (int32_t i = 0; i < eventCount; ++i) {
        rt::EventBinding binding;
        binding.event = in.integer();
        int32_t offset = in.integer();
        if (in.failed() || !rt::relocateHandler(handlers, offset, binding.handler)) return false;
        unit.events.push_back(binding);
    }
    in.skip(kEventTrailerSize);
    if (in.failed()) return false;
    unit.block = in.take(in.remaining());
    return true;
}

bool parseUnitRecord(std::string_view record, rt::ControlId id, const rt::HandlerTable* handlers,
                     rt::UnitRecord& unit) {
    ByteReader in(record);
    unit.id = id;
    unit.type = in.word();
    in.skip(kRunTimeAreaSize);
    unit.name = in.zeroTerminated();
    unit.comment = in.zeroTerminated();
    if (in.failed()) return false;
    // The record's layout follows its type; the id must say the same.
    if (isMenuRecord(unit.type) != rt::idkind::isMenuItem(id)) return false;
    return isMenuRecord(unit.type) ? parseMenuItem(in, handlers, unit) : parseControl(in, handlers, unit);
}

// The unit table: ids, offsets counted from the end of the offset array, and
// the length-prefixed records, which must fill the rest of the table exactly.
bool parseUnitTable(std::string_view table, int32_t unitCount, const rt::HandlerTable* handlers,
                    std::vector<rt::UnitRecord>& units) {
    ByteReader in(table);
    if (unitCount <= 0 || !fits(in, unitCount, 8)) return false;
    size_t count = static_cast<size_t>(unitCount);
    std::vector<uint32_t> ids(count), offsets(count);
    for (uint32_t& id : ids) id = in.word();
    for (uint32_t& offset : offsets) offset = in.word();
    std::string_view records = table.substr(in.position());

    // Lengths by record, checked to lie inside the table.
    std::vector<std::pair<uint32_t, uint32_t>> spans;  // (offset, total size with the length word)
    spans.reserve(count);
    for (uint32_t offset : offsets) {
        if (offset > records.size() || records.size() - offset < 4) return false;
        ByteReader length(records.substr(offset, 4));
        uint32_t l = length.word();
        if (l > records.size() - offset - 4) return false;
        spans.emplace_back(offset, l + 4);
    }
    // No gaps and no overlaps: sorted by offset, each record starts where the previous ended.
    std::vector<std::pair<uint32_t, uint32_t>> sorted = spans;
    std::sort(sorted.begin(), sorted.end());
    size_t end = 0;
    for (const auto& [offset, size] : sorted) {
        if (offset != end) return false;
        end = static_cast<size_t>(offset) + size;
    }
    if (end != records.size()) return false;

    units.clear();
    units.resize(count);
    for (size_t i = 0; i < count; ++i) {
        std::string_view record = records.substr(spans[i].first + 4, spans[i].second - 4);
        if (!parseUnitRecord(record, ids[i], handlers, units[i])) return false;
    }
    return units.front().type == unittype::Window;
}

bool parseWindow(ByteReader& in, rt::WindowId id, const rt::HandlerTable* handlers, rt::WindowRecord& window) {
    window.id = id;
    window.wordA = in.word();
    window.wordB = in.word();
    window.name = in.counted();
    window.comment = in.counted();
    int32_t unitCount = in.integer();
    int32_t tableSize = in.integer();
    if (in.failed() || !fits(in, tableSize, 1)) return false;
    return parseUnitTable(in.take(static_cast<size_t>(tableSize)), unitCount, handlers, window.units);
}

}  // namespace

bool parseTemplateBlock(const uint8_t* data, size_t length, const rt::HandlerTable* handlers,
                        std::vector<rt::WindowRecord>& windows) {
    windows.clear();
    if (!data) return false;
    ByteReader in(data, length);
    int32_t idTableSize = in.integer();
    if (in.failed() || idTableSize < 0 || idTableSize % 8 != 0 || !fits(in, idTableSize, 1)) return false;
    size_t count = static_cast<size_t>(idTableSize) / 8;
    std::vector<rt::WindowId> ids(count);
    for (rt::WindowId& id : ids) id = in.word();
    in.skip(4 * count);  // window slots

    windows.resize(count);
    for (size_t i = 0; i < count; ++i)
        if (!parseWindow(in, ids[i], handlers, windows[i])) return false;
    return in.atEnd();
}

void readTemplates(const rt::ProgramHeader* header) {
    auto& table = rt::windowTable();
    table.clear();
    if (!header || (!header->templateStart && header->templateLength == 0)) return;
    std::vector<rt::WindowRecord> windows;
    const auto* handlers = static_cast<const rt::HandlerTable*>(header->userCodeBase);
    if (!parseTemplateBlock(header->templateStart, header->templateLength, handlers, windows))
        rt::RaiseRuntimeMessage(texts::MsgTemplateBroken, 0, 0);
    for (rt::WindowRecord& window : windows) table.push_back(std::move(window));
}

void installTemplateReader() { rt::setTemplateReader(&readTemplates); }

rt::UnitRecord* unitAt(rt::WindowRecord& window, size_t index) {
    return index < window.units.size() ? &window.units[index] : nullptr;
}

uintptr_t findHandler(const rt::UnitRecord& unit, int32_t event) {
    if (isMenuRecord(unit.type) || rt::idkind::isMenuItem(unit.id)) return unit.clickHandler;
    for (const rt::EventBinding& binding : unit.events)
        if (binding.event == event) return binding.handler;
    return 0;
}

// ---- Writing ------------------------------------------------------------------

namespace {

// Texts inside unit records end at their first zero byte.
std::string_view untilZero(std::string_view text) { return text.substr(0, text.find('\0')); }

std::string unitRecord(const UnitDescription& unit) {
    std::string out;
    appendWord(out, unit.type);
    out.append(kRunTimeAreaSize, '\0');
    appendZeroTerminated(out, untilZero(unit.name));
    appendZeroTerminated(out, untilZero(unit.comment));
    if (isMenuRecord(unit.type)) {
        appendInteger(out, unit.hotKey);
        appendInteger(out, unit.level);
        appendWord(out, unit.menuFlags);
        appendZeroTerminated(out, untilZero(unit.caption));
        appendInteger(out, unit.clickHandler);
        out.append(kMenuTrailerSize, '\0');
        return out;
    }
    appendWord(out, 0);  // live-object slot
    appendInteger(out, unit.left);
    appendInteger(out, unit.top);
    appendInteger(out, unit.width);
    appendInteger(out, unit.height);
    appendWord(out, 0);  // cursor-handle slot
    appendWord(out, unit.parent);
    appendWord(out, static_cast<uint32_t>(unit.children.size()));
    for (uint32_t child : unit.children) appendWord(out, child);
    appendCounted(out, unit.cursor);
    appendZeroTerminated(out, untilZero(unit.tag));
    appendWord(out, 0);
    appendWord(out, unit.flags);
    appendWord(out, 0);
    appendWord(out, static_cast<uint32_t>(unit.events.size()));
    for (const auto& [event, offset] : unit.events) {
        appendInteger(out, event);
        appendInteger(out, offset);
    }
    out.append(kEventTrailerSize, '\0');
    out.append(unit.block);
    return out;
}

std::string unitTable(const WindowDescription& window) {
    std::string ids, offsets, records;
    for (const UnitDescription& unit : window.units) {
        appendWord(ids, unit.id);
        appendWord(offsets, static_cast<uint32_t>(records.size()));
        appendCounted(records, unitRecord(unit));
    }
    return ids + offsets + records;
}

}  // namespace

std::string writeTemplateBlock(const std::vector<WindowDescription>& windows) {
    std::string out;
    appendWord(out, static_cast<uint32_t>(8 * windows.size()));
    for (const WindowDescription& window : windows) appendWord(out, window.id);
    for (size_t i = 0; i < windows.size(); ++i) appendWord(out, 0);  // window slots
    for (const WindowDescription& window : windows) {
        appendWord(out, window.wordA);
        appendWord(out, window.wordB);
        appendCounted(out, window.name);
        appendCounted(out, window.comment);
        std::string table = unitTable(window);
        appendWord(out, static_cast<uint32_t>(window.units.size()));
        appendWord(out, static_cast<uint32_t>(table.size()));
        out += table;
    }
    return out;
}

}  // namespace forms
