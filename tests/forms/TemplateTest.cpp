// The window-template block: writer and reader against an independent
// encoding of the record layout, handler relocation, lookups, the reader's
// refusals of malformed and hostile blocks, and the runtime's template reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/FormsTexts.h"
#include "forms/Template.h"
#include "forms/UnitBlocks.h"
#include "runtime/EntryTable.h"
#include "runtime/RuntimeTestSupport.h"

namespace {

using namespace forms;

constexpr rt::WindowId kWindowId = 0x52010001;
constexpr rt::ControlId kWindowUnit = 0x06010000, kFrame = 0x16010002, kLabel = 0x16010001, kMenuItem = 0x26010001;

rt::EventHandler gEntries[4] = {};
const rt::HandlerTable kHandlers{gEntries, 4};
uintptr_t entry(int i) { return reinterpret_cast<uintptr_t>(&gEntries[i]); }

std::string words(std::initializer_list<uint32_t> values) {
    std::string out;
    for (uint32_t v : values) appendWord(out, v);
    return out;
}
std::string zeros(size_t n) { return std::string(n, '\0'); }
std::string cstr(std::string_view s) { return std::string(s) + '\0'; }

// ---- An independent encoding of the records -------------------------------------

struct RawControl {
    uint32_t type = unittype::Label;
    std::string name, comment;
    int32_t left = 0, top = 0, width = 0, height = 0;
    uint32_t parent = 0;
    std::vector<uint32_t> children;
    std::string cursor = zeros(4);
    std::string tag;
    uint32_t flags = 0;
    std::vector<std::pair<int32_t, int32_t>> events;
    std::string block;
    // Stored counts that differ from the contents, for hostile records.
    std::optional<uint32_t> childCount, cursorLength, eventCount;
};

std::string rawControl(const RawControl& u) {
    std::string r = words({u.type}) + zeros(20) + cstr(u.name) + cstr(u.comment) + words({0});
    r += words({uint32_t(u.left), uint32_t(u.top), uint32_t(u.width), uint32_t(u.height), 0, u.parent});
    r += words({u.childCount.value_or(uint32_t(u.children.size()))});
    for (uint32_t c : u.children) r += words({c});
    r += words({u.cursorLength.value_or(uint32_t(u.cursor.size()))}) + u.cursor;
    r += cstr(u.tag) + words({0, u.flags, 0, u.eventCount.value_or(uint32_t(u.events.size()))});
    for (const auto& [event, offset] : u.events) r += words({uint32_t(event), uint32_t(offset)});
    return r + zeros(20) + u.block;
}

std::string rawMenu(int32_t hotKey, int32_t level, uint32_t flags, std::string_view caption, int32_t click) {
    return words({unittype::Menu}) + zeros(20) + cstr("") + cstr("") +
           words({uint32_t(hotKey), uint32_t(level), flags}) + cstr(caption) + words({uint32_t(click)}) + zeros(16);
}

std::string rawTable(const std::vector<std::pair<uint32_t, std::string>>& records) {
    std::string ids, offsets, body;
    for (const auto& [id, record] : records) {
        ids += words({id});
        offsets += words({uint32_t(body.size())});
        body += words({uint32_t(record.size())}) + record;
    }
    return ids + offsets + body;
}

std::string rawBlock(uint32_t unitCount, const std::string& table) {
    return words({8, kWindowId, 0, 0x026E9AA0, 0x19010002, 0, 0, unitCount, uint32_t(table.size())}) + table;
}

RawControl rawWindowUnit() {
    RawControl w;
    w.type = unittype::Window;
    w.left = 50;
    w.top = 50;
    w.width = 300;
    w.height = 200;
    w.flags = 1;
    w.block = "WB";
    return w;
}

// ---- The writer's input ------------------------------------------------------------

std::vector<WindowDescription> smallTemplate() {
    WindowDescription w;
    w.id = kWindowId;
    w.wordA = 0x026E9AA0;
    w.wordB = 0x19010002;

    UnitDescription window;
    window.id = kWindowUnit;
    window.type = unittype::Window;
    window.name = "main";
    window.left = 50;
    window.top = 50;
    window.width = 300;
    window.height = 200;
    window.flags = rt::unitflag::Visible;
    window.events = {{0, 0}, {4, 3}, {1, -1}};
    window.block = "WB";

    UnitDescription frame;
    frame.id = kFrame;
    frame.type = unittype::ShapeBox;
    frame.name = "frame";
    frame.comment = "around the label";
    frame.left = 5;
    frame.top = 6;
    frame.width = 70;
    frame.height = 80;
    frame.children = {kLabel};
    frame.flags = rt::unitflag::Visible | rt::unitflag::Disabled;

    UnitDescription label;
    label.id = kLabel;
    label.type = unittype::Label;
    label.name = "label";
    label.left = -2;
    label.top = 3;
    label.width = 40;
    label.height = 16;
    label.parent = kFrame;
    label.cursor = words({32649});
    label.tag = "tag";
    label.events = {{-1, 2}};
    label.block = std::string("L\0B", 3);

    UnitDescription menu;
    menu.id = kMenuItem;
    menu.type = unittype::Menu;
    menu.hotKey = 0x41;
    menu.level = 1;
    menu.menuFlags = 1;
    menu.caption = "Exit";
    menu.clickHandler = 1;

    w.units = {window, frame, label, menu};
    return {w};
}

std::string smallBlock() { return writeTemplateBlock(smallTemplate()); }

bool parse(const std::string& block, std::vector<rt::WindowRecord>& windows,
           const rt::HandlerTable* handlers = &kHandlers) {
    return parseTemplateBlock(reinterpret_cast<const uint8_t*>(block.data()), block.size(), handlers, windows);
}

bool parses(const std::string& block) {
    std::vector<rt::WindowRecord> windows;
    return parse(block, windows);
}

TEST(TemplateBlock, WriterAndReaderRoundTripEveryField) {
    std::vector<rt::WindowRecord> windows;
    ASSERT_TRUE(parse(smallBlock(), windows));
    ASSERT_EQ(windows.size(), 1u);
    const rt::WindowRecord& w = windows[0];
    EXPECT_EQ(w.id, kWindowId);
    EXPECT_EQ(w.wordA, 0x026E9AA0u);
    EXPECT_EQ(w.wordB, 0x19010002u);
    ASSERT_EQ(w.units.size(), 4u);

    const rt::UnitRecord& window = w.units[0];
    EXPECT_EQ(window.id, kWindowUnit);
    EXPECT_EQ(window.name, "main");
    EXPECT_EQ(window.block, "WB");
    ASSERT_EQ(window.events.size(), 3u);
    EXPECT_EQ(window.events[0].event, 0);
    EXPECT_EQ(window.events[0].handler, entry(0));  // offset 0 is the base itself
    EXPECT_EQ(window.events[1].handler, entry(3));
    EXPECT_EQ(window.events[2].handler, 0u);  // -1: none

    const rt::UnitRecord& frame = w.units[1];
    EXPECT_EQ(frame.type, unittype::ShapeBox);
    EXPECT_EQ(frame.comment, "around the label");
    EXPECT_EQ(frame.children, std::vector<rt::ControlId>{kLabel});
    EXPECT_EQ(frame.flags, rt::unitflag::Visible | rt::unitflag::Disabled);
    EXPECT_EQ(frame.cursor, zeros(4));
    EXPECT_TRUE(frame.events.empty());
    EXPECT_TRUE(frame.block.empty());

    const rt::UnitRecord& label = w.units[2];
    EXPECT_EQ(label.left, -2);
    EXPECT_EQ(label.top, 3);
    EXPECT_EQ(label.width, 40);
    EXPECT_EQ(label.height, 16);
    EXPECT_EQ(label.parent, kFrame);
    EXPECT_EQ(label.cursor, words({32649}));
    EXPECT_EQ(label.tag, "tag");
    EXPECT_EQ(label.flags, 0u);
    EXPECT_EQ(label.block, std::string("L\0B", 3));

    const rt::UnitRecord& menu = w.units[3];
    EXPECT_EQ(menu.type, unittype::Menu);
    EXPECT_EQ(menu.hotKey, 0x41);
    EXPECT_EQ(menu.level, 1);
    EXPECT_EQ(menu.flags, 1u);  // the stored flags word: bit 0 hidden
    EXPECT_EQ(menu.caption, "Exit");
    EXPECT_EQ(menu.clickHandler, entry(1));
}

TEST(TemplateBlock, WriterFollowsTheRecordLayout) {
    // A unit with no events: a zero count, then directly the 20 reserved bytes.
    RawControl window = rawWindowUnit();
    WindowDescription one;
    one.id = kWindowId;
    one.wordA = 0x026E9AA0;
    one.wordB = 0x19010002;
    UnitDescription unit;
    unit.id = kWindowUnit;
    unit.type = unittype::Window;
    unit.left = 50;
    unit.top = 50;
    unit.width = 300;
    unit.height = 200;
    unit.flags = 1;
    unit.block = "WB";
    one.units = {unit};
    std::string written = writeTemplateBlock({one});
    EXPECT_EQ(written, rawBlock(1, rawTable({{kWindowUnit, rawControl(window)}})));
    EXPECT_EQ(written.substr(written.size() - 26), words({0}) + zeros(20) + "WB");
    // Empty name and comment: two zero counts after words A and B.
    EXPECT_EQ(written.substr(20, 8), zeros(8));

    // The menu record carries no position, focus flags or event table.
    UnitDescription menu;
    menu.id = kMenuItem;
    menu.type = unittype::Menu;
    menu.level = 0;
    menu.caption = "-";
    one.units.push_back(menu);
    EXPECT_EQ(writeTemplateBlock({one}),
              rawBlock(2, rawTable({{kWindowUnit, rawControl(window)}, {kMenuItem, rawMenu(0, 0, 0, "-", -1)}})));
}

TEST(TemplateBlock, HandlerOffsetsRelocateIntoTheTable) {
    auto withEvents = [](std::vector<std::pair<int32_t, int32_t>> events) {
        RawControl w = rawWindowUnit();
        w.events = std::move(events);
        return rawBlock(1, rawTable({{kWindowUnit, rawControl(w)}}));
    };
    std::vector<rt::WindowRecord> windows;
    ASSERT_TRUE(parse(withEvents({{7, 0}, {8, 3}, {9, -1}}), windows));
    EXPECT_EQ(findHandler(windows[0].units[0], 7), entry(0));
    EXPECT_EQ(findHandler(windows[0].units[0], 8), entry(3));
    EXPECT_EQ(findHandler(windows[0].units[0], 9), 0u);
    EXPECT_EQ(findHandler(windows[0].units[0], 10), 0u);

    // Outside the table, below -1, or with no table at all: malformed.
    EXPECT_FALSE(parses(withEvents({{0, 4}})));
    EXPECT_FALSE(parses(withEvents({{0, -2}})));
    EXPECT_FALSE(parse(withEvents({{0, 0}}), windows, nullptr));
    EXPECT_TRUE(parse(withEvents({{0, -1}}), windows, nullptr));

    // A menu item's click handler, answered for every event number.
    std::string menu = rawBlock(2, rawTable({{kWindowUnit, rawControl(rawWindowUnit())},
                                             {kMenuItem, rawMenu(0, 0, 0, "File", 2)}}));
    ASSERT_TRUE(parse(menu, windows));
    EXPECT_EQ(findHandler(windows[0].units[1], 0), entry(2));
    EXPECT_EQ(findHandler(windows[0].units[1], -5), entry(2));
    EXPECT_FALSE(parses(rawBlock(2, rawTable({{kWindowUnit, rawControl(rawWindowUnit())},
                                              {kMenuItem, rawMenu(0, 0, 0, "File", 4)}}))));
}

TEST(TemplateBlock, LookupsByIdAndPosition) {
    std::vector<rt::WindowRecord> windows;
    ASSERT_TRUE(parse(smallBlock(), windows));
    rt::WindowRecord& w = windows[0];
    EXPECT_EQ(w.findUnit(0), &w.units[0]);  // ControlId 0: the window's own unit
    EXPECT_EQ(w.findUnit(kLabel), &w.units[2]);
    EXPECT_EQ(w.findUnit(0x16019999), nullptr);
    EXPECT_EQ(unitAt(w, 0), &w.units[0]);
    EXPECT_EQ(unitAt(w, 3), &w.units[3]);
    EXPECT_EQ(unitAt(w, 4), nullptr);
}

TEST(TemplateBlock, EveryTruncationAndTrailingBytesAreRefused) {
    std::string block = smallBlock();
    ASSERT_TRUE(parses(block));
    for (size_t cut = 0; cut < block.size(); ++cut) {
        // A copy of exactly `cut` bytes, so that a read past it is caught by the sanitizers.
        std::vector<uint8_t> prefix(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(cut));
        std::vector<rt::WindowRecord> windows;
        EXPECT_FALSE(parseTemplateBlock(prefix.data(), prefix.size(), &kHandlers, windows)) << "cut at " << cut;
    }
    EXPECT_FALSE(parses(block + '\0'));
    std::vector<rt::WindowRecord> windows;
    EXPECT_FALSE(parseTemplateBlock(nullptr, 0, &kHandlers, windows));
}

TEST(TemplateBlock, HostileCountsAreRefusedWithoutHugeAllocations) {
    const std::string table = rawTable({{kWindowUnit, rawControl(rawWindowUnit())}});
    auto patched = [](std::string block, size_t at, uint32_t value) {
        std::string w = words({value});
        block.replace(at, 4, w);
        return block;
    };
    const std::string good = rawBlock(1, table);
    ASSERT_TRUE(parses(good));
    // Id-table size, unit count and unit-table size of the window header.
    for (uint32_t v : {0x7FFFFFF8u, 0xFFFFFFF8u, 12u, 7u}) EXPECT_FALSE(parses(patched(good, 0, v))) << v;
    for (uint32_t v : {0u, 2u, 0x7FFFFFFFu, 0xFFFFFFFFu, 0x20000000u}) EXPECT_FALSE(parses(patched(good, 28, v))) << v;
    for (uint32_t v : {0u, 8u, uint32_t(table.size() + 1), 0x7FFFFFFFu, 0xFFFFFFFFu})
        EXPECT_FALSE(parses(patched(good, 32, v))) << v;
    // Counts inside a unit record.
    // (Small wrong counts can shift a record into another well-formed one; these cannot.)
    for (uint32_t v : {0x10000u, 0x3FFFFFFFu, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        RawControl children = rawWindowUnit();
        children.childCount = v;
        EXPECT_FALSE(parses(rawBlock(1, rawTable({{kWindowUnit, rawControl(children)}})))) << v;
        RawControl cursor = rawWindowUnit();
        cursor.cursorLength = v;
        EXPECT_FALSE(parses(rawBlock(1, rawTable({{kWindowUnit, rawControl(cursor)}})))) << v;
        RawControl events = rawWindowUnit();
        events.eventCount = v;
        EXPECT_FALSE(parses(rawBlock(1, rawTable({{kWindowUnit, rawControl(events)}})))) << v;
    }
}

TEST(TemplateBlock, MalformedTablesAndRecordsAreRefused) {
    const std::string window = rawControl(rawWindowUnit());
    const std::string label = rawControl(RawControl{});
    const std::string two = rawTable({{kWindowUnit, window}, {kLabel, label}});
    ASSERT_TRUE(parses(rawBlock(2, two)));
    const size_t offsets = 8, records = 16;

    auto withWord = [](std::string table, size_t at, uint32_t value) {
        table.replace(at, 4, words({value}));
        return table;
    };
    // An offset outside the records, two offsets on one record, a gap.
    EXPECT_FALSE(parses(rawBlock(2, withWord(two, offsets + 4, uint32_t(two.size())))));
    EXPECT_FALSE(parses(rawBlock(2, withWord(two, offsets + 4, 0))));
    EXPECT_FALSE(parses(rawBlock(2, withWord(two, offsets + 4, uint32_t(window.size() + 5)))));
    // A record length past the end of the table, and one short of its record.
    EXPECT_FALSE(parses(rawBlock(2, withWord(two, records, 0x7FFFFFFF))));
    EXPECT_FALSE(parses(rawBlock(2, withWord(two, records, uint32_t(window.size() - 1)))));
    // No units, and a first unit that is not the window.
    EXPECT_FALSE(parses(rawBlock(0, "")));
    EXPECT_FALSE(parses(rawBlock(2, rawTable({{kLabel, label}, {kWindowUnit, window}}))));
    // A name without its terminator inside the record.
    std::string record = words({unittype::Window}) + zeros(20) + "name-without-end";
    EXPECT_FALSE(parses(rawBlock(1, rawTable({{kWindowUnit, record}}))));
    // A menu record under a control id, and a control under a menu id.
    EXPECT_FALSE(parses(rawBlock(2, rawTable({{kWindowUnit, window}, {kLabel, rawMenu(0, 0, 0, "x", -1)}}))));
    EXPECT_FALSE(parses(rawBlock(2, rawTable({{kWindowUnit, window}, {kMenuItem, label}}))));
    // A menu record with bytes after its reserved tail.
    EXPECT_FALSE(parses(rawBlock(2, rawTable({{kWindowUnit, window}, {kMenuItem, rawMenu(0, 0, 0, "x", -1) + "?"}}))));
}

TEST(TemplateBlock, SeveralWindowsKeepTheirOrder) {
    std::vector<WindowDescription> two = smallTemplate();
    two.push_back(two[0]);
    two[1].id = 0x52010002;
    two[1].name = "second";
    two[1].comment = "c";
    std::vector<rt::WindowRecord> windows;
    ASSERT_TRUE(parse(writeTemplateBlock(two), windows));
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[1].id, 0x52010002u);
    EXPECT_EQ(windows[1].name, "second");
    EXPECT_EQ(windows[1].comment, "c");
    EXPECT_EQ(windows[1].units.size(), 4u);
}

// ---- The runtime's template reader -------------------------------------------------

class TemplateReader : public rt_test::RuntimeFixture {
protected:
    rt::ProgramHeader headerFor(const std::string& block) {
        rt::ProgramHeader h;
        h.userCodeBase = &kHandlers;
        h.templateStart = reinterpret_cast<const uint8_t*>(block.data());
        h.templateLength = static_cast<uint32_t>(block.size());
        return h;
    }
};

TEST_F(TemplateReader, FillsTheWindowTableReplacingWhatWasThere) {
    rt::windowTable().emplace_back().id = 0x52019999;
    std::string block = smallBlock();
    rt::ProgramHeader h = headerFor(block);
    readTemplates(&h);
    ASSERT_EQ(rt::windowTable().size(), 1u);
    EXPECT_EQ(rt::findWindow(0x52019999), nullptr);
    rt::UnitRecord* label = rt::findUnit(kWindowId, kLabel);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(findHandler(*label, -1), entry(2));

    // Installed, it runs from the runtime's initialisation.
    rt::windowTable().clear();
    installTemplateReader();
    rt::RuntimeService(rt::service::Initialise, reinterpret_cast<uintptr_t>(&h));
    EXPECT_NE(rt::findUnit(kWindowId, kMenuItem), nullptr);
    rt::setTemplateReader(nullptr);
}

TEST_F(TemplateReader, MalformedBlockEndsTheProgramWithTheReport) {
    std::string block = smallBlock();
    block.resize(block.size() - 1);
    rt::ProgramHeader h = headerFor(block);
    EXPECT_EQ(rt_test::exitCodeOf([&] { readTemplates(&h); }), -1);
    EXPECT_NE(reportText().find(texts::MsgTemplateBroken), std::string::npos);
    EXPECT_TRUE(rt::windowTable().empty());
}

}  // namespace
