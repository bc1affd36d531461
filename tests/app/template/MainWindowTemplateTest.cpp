// The embedded window template of the program, read back the way the runtime
// reads it and checked against the window's contents: frame, controls, grids,
// fonts, texts, menu and event bindings.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "app/Handlers.h"
#include "app/MainWindowBlock.h"
#include "forms/Template.h"
#include "forms/UnitBlocks.h"
#include "platform/Gbk.h"
#include "runtime/Font.h"

namespace {

using namespace forms;
using app::Handler;

std::string gbk(std::string_view utf8) { return platform::utf8ToGbk(utf8); }

rt::EventHandler gEntries[static_cast<size_t>(Handler::Count)] = {};
const rt::HandlerTable kHandlers{gEntries, static_cast<uint32_t>(Handler::Count)};
uintptr_t entryOf(Handler h) { return reinterpret_cast<uintptr_t>(&gEntries[static_cast<size_t>(h)]); }

constexpr int32_t kRed = 0x0000FF, kBlue = 0xFF0000, kBlack = 0, kWhite = 0xFFFFFF;

class MainWindowTemplate : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(parseTemplateBlock(app::kMainWindowTemplate, app::kMainWindowTemplateLength, &kHandlers, windows));
        ASSERT_EQ(windows.size(), 1u);
    }
    rt::WindowRecord& window() { return windows[0]; }
    const rt::UnitRecord& unit(rt::ControlId id) {
        const rt::UnitRecord* u = window().findUnit(id);
        EXPECT_NE(u, nullptr) << std::hex << id;
        static const rt::UnitRecord none;
        return u ? *u : none;
    }
    StoredProperties props(rt::ControlId id) {
        const rt::UnitRecord& u = unit(id);
        auto p = decodeUnitBlock(u.type, u.block);
        EXPECT_TRUE(p.has_value()) << std::hex << id;
        return p ? *p : StoredProperties{};
    }

    std::vector<rt::WindowRecord> windows;
};

TEST_F(MainWindowTemplate, WindowRecordAndFrame) {
    rt::WindowRecord& w = window();
    EXPECT_EQ(w.id, 0x52010001u);
    EXPECT_EQ(w.wordA, 0x026E9AA0u);
    EXPECT_EQ(w.wordB, 0x19010002u);
    EXPECT_TRUE(w.name.empty());
    EXPECT_TRUE(w.comment.empty());
    EXPECT_EQ(w.units.size(), 34u);

    const rt::UnitRecord& self = w.units.front();
    EXPECT_EQ(self.id, 0x06010000u);
    EXPECT_EQ(window().findUnit(0), &self);
    EXPECT_EQ(self.type, unittype::Window);
    EXPECT_EQ((std::vector<int32_t>{self.left, self.top, self.width, self.height}),
              (std::vector<int32_t>{50, 50, 1234, 700}));
    EXPECT_TRUE(self.flags & rt::unitflag::Visible);

    StoredProperties p = props(0x06010000);
    EXPECT_EQ(p.bytes(windowprop::Caption), gbk("VelmoraImpostra2.11 - 测试版    最多支持分两版"));
    EXPECT_EQ(p.integer(windowprop::BorderStyle), 2);
    EXPECT_EQ(p.integer(windowprop::Position), 1);
    EXPECT_EQ(p.integer(windowprop::StartState), 0);
    EXPECT_EQ(p.integer(windowprop::ControlBox), 1);
    EXPECT_EQ(p.integer(windowprop::MinimiseBox), 1);
    EXPECT_EQ(p.integer(windowprop::MaximiseBox), 1);
}

struct ControlRow {
    rt::ControlId id;
    const char* name;
    uint32_t type;
    int32_t left, top, width, height;
    bool visible;
};

// In stored order, which is also the order of creation.
const ControlRow kControls[] = {
    {0x16010756, "标签次数", unittype::Label, 376, 115, 57, 16, true},
    {0x16010741, "组合框1", unittype::ComboBox, 272, 112, 93, 20, true},
    {0x160106D9, "编辑框1", unittype::EditBox, 832, 24, 384, 584, true},
    {0x160106BE, "标签A1", unittype::Label, 303, 519, 96, 16, false},
    {0x160100FF, "标签款数量", unittype::Label, 269, 27, 157, 18, true},
    {0x160100CD, "高级表格D1", unittype::Grid, 1026, 172, 184, 433, false},
    {0x160100CC, "高级表格C1", unittype::Grid, 832, 172, 184, 433, false},
    {0x160100CB, "高级表格B1", unittype::Grid, 638, 172, 184, 433, true},
    {0x160100CA, "高级表格D2", unittype::Grid, 1026, 25, 185, 145, false},
    {0x160100C9, "高级表格C2", unittype::Grid, 832, 25, 185, 145, false},
    {0x160100C8, "高级表格B2", unittype::Grid, 638, 25, 185, 145, true},
    {0x160100C5, "高级表格A2", unittype::Grid, 444, 25, 185, 145, true},
    {0x160100C3, "高级表格A1", unittype::Grid, 444, 172, 184, 433, true},
    {0x160100C1, "编辑框信息", unittype::EditBox, 2, 7, 155, 314, true},
    {0x160100C0, "外形框1", unittype::ShapeBox, 265, 145, 171, 328, true},
    {0x160100BB, "标签2", unittype::Label, 268, 53, 69, 17, true},
    {0x160100A8, "单选框2", unittype::RadioBox, 289, 546, 125, 19, false},
    {0x160100A7, "单选框1", unittype::RadioBox, 289, 489, 125, 19, false},
    {0x16010093, "按钮计算", unittype::Button, 274, 79, 153, 26, true},
    {0x16010080, "编辑框模数", unittype::EditBox, 347, 49, 79, 25, true},
    {0x16010067, "高级表格订单", unittype::Grid, 6, 25, 253, 580, true},
    {0x16010084, "图片框1", unittype::PicBox, 7, 2, 1200, 20, true},
};

TEST_F(MainWindowTemplate, ControlsInStoredOrder) {
    for (size_t i = 0; i < std::size(kControls); ++i) {
        const ControlRow& row = kControls[i];
        SCOPED_TRACE(row.name);
        const rt::UnitRecord* u = unitAt(window(), i + 1);
        ASSERT_NE(u, nullptr);
        EXPECT_EQ(u->id, row.id);
        EXPECT_EQ(u->name, gbk(row.name));
        EXPECT_EQ(u->type, row.type);
        EXPECT_EQ((std::vector<int32_t>{u->left, u->top, u->width, u->height}),
                  (std::vector<int32_t>{row.left, row.top, row.width, row.height}));
        EXPECT_EQ((u->flags & rt::unitflag::Visible) != 0, row.visible);
        EXPECT_EQ(u->flags & rt::unitflag::Disabled, 0u);
        EXPECT_TRUE(decodeUnitBlock(u->type, u->block).has_value());
        // Only the report sits inside another unit, and only its frame holds one.
        EXPECT_EQ(u->parent, row.id == 0x160100C1 ? 0x160100C0u : 0u);
        EXPECT_EQ(u->children, row.id == 0x160100C0 ? std::vector<rt::ControlId>{0x160100C1} : std::vector<rt::ControlId>{});
        // The banner has the hand cursor, every other control the default one.
        EXPECT_EQ(u->cursor, row.id == 0x16010084 ? std::string("\x89\x7F\0\0", 4) : std::string(4, '\0'));
    }
}

TEST_F(MainWindowTemplate, EventBindings) {
    struct Binding {
        rt::ControlId unit;
        int32_t event;
        Handler handler;
    };
    const Binding bindings[] = {
        {0x06010000, 0, Handler::WindowCreated},      {0x06010000, 4, Handler::WindowResized},
        {0x06010000, 1, Handler::QueryClose},         {0x16010093, 0, Handler::ComputeClicked},
        {0x160100A7, 0, Handler::OnePlateClicked},    {0x160100A8, 0, Handler::TwoPlatesClicked},
        {0x16010080, -8, Handler::UpsBoxLostFocus},   {0x16010067, 2, Handler::OrderCommitted},
        {0x16010067, -10, Handler::OrderKeyReleased}, {0x16010067, 1, Handler::OrderEditorOpening},
        {0x16010084, -1, Handler::BannerClicked},
    };
    std::map<rt::ControlId, size_t> expectedCount;
    for (const Binding& b : bindings) {
        ++expectedCount[b.unit];
        EXPECT_EQ(findHandler(unit(b.unit), b.event), entryOf(b.handler)) << std::hex << b.unit << " " << b.event;
    }
    const std::map<rt::ControlId, Handler> menuHandlers = {
        {0x2601034B, Handler::NewMenu},  {0x2601034C, Handler::OpenMenu}, {0x2601034D, Handler::SaveMenu},
        {0x2601034E, Handler::SaveAsMenu}, {0x26010350, Handler::ExitMenu},
    };
    for (const rt::UnitRecord& u : window().units) {
        if (u.type == unittype::Menu) {
            auto bound = menuHandlers.find(u.id);
            EXPECT_EQ(u.clickHandler, bound != menuHandlers.end() ? entryOf(bound->second) : 0u) << std::hex << u.id;
            continue;
        }
        EXPECT_EQ(u.events.size(), expectedCount[u.id]) << std::hex << u.id;
    }
}

TEST_F(MainWindowTemplate, MenuTree) {
    struct MenuRow {
        rt::ControlId id;
        int32_t level;
        const char* caption;
        uint32_t flags;
    };
    const MenuRow menu[] = {
        {0x2601034A, 0, "文件", 0},   {0x2601034B, 1, "新建", 0},       {0x2601034C, 1, "打开", 0},
        {0x2601034D, 1, "保存", 0},   {0x2601034E, 1, "另存为", 0},     {0x2601034F, 1, "-", 0},
        {0x26010350, 1, "退出", 0},   {0x260105FB, 0, "关于", 1},       {0x260105FD, 1, "购买软件", 0},
        {0x260105FE, 1, "联系客服", 0}, {0x260105FF, 1, "使用帮助", 0},
    };
    for (size_t i = 0; i < std::size(menu); ++i) {
        const rt::UnitRecord* u = unitAt(window(), 23 + i);
        ASSERT_NE(u, nullptr);
        SCOPED_TRACE(menu[i].caption);
        EXPECT_EQ(u->id, menu[i].id);
        EXPECT_EQ(u->type, unittype::Menu);
        EXPECT_TRUE(rt::idkind::isMenuItem(u->id));
        EXPECT_EQ(u->level, menu[i].level);
        EXPECT_EQ(u->caption, gbk(menu[i].caption));
        EXPECT_EQ(u->flags, menu[i].flags);
        EXPECT_EQ(u->hotKey, 0);
        EXPECT_TRUE(u->name.empty());
    }
}

TEST_F(MainWindowTemplate, GridSettings) {
    struct GridRow {
        rt::ControlId id;
        int32_t rows, columns, fixedRows, fixedColumns, rowHeight, columnWidth;
        bool editable, marked;
    };
    const GridRow grids[] = {
        {0x16010067, 1, 4, 1, 1, 20, 50, true, true},  {0x160100C3, 1, 3, 1, 1, 19, 50, false, true},
        {0x160100CB, 1, 3, 1, 1, 19, 50, false, true}, {0x160100CC, 1, 3, 1, 1, 19, 50, false, true},
        {0x160100CD, 1, 3, 1, 1, 19, 50, false, true}, {0x160100C5, 7, 2, 0, 0, 20, 90, false, false},
        {0x160100C8, 7, 2, 0, 0, 20, 90, false, false}, {0x160100C9, 7, 2, 0, 0, 20, 90, false, false},
        {0x160100CA, 7, 2, 0, 0, 20, 90, false, false},
    };
    using namespace gridprop;
    const GridSettings defaults = defaultGridSettings();
    for (const GridRow& g : grids) {
        SCOPED_TRACE(g.id);
        auto s = decodeGridBlock(unit(g.id).block);
        ASSERT_TRUE(s.has_value());
        EXPECT_EQ((*s)[RowCount], g.rows);
        EXPECT_EQ((*s)[ColumnCount], g.columns);
        EXPECT_EQ((*s)[FixedRowCount], g.fixedRows);
        EXPECT_EQ((*s)[FixedColumnCount], g.fixedColumns);
        EXPECT_EQ((*s)[DefaultRowHeight], g.rowHeight);
        EXPECT_EQ((*s)[DefaultColumnWidth], g.columnWidth);
        EXPECT_EQ((*s)[Editable], g.editable ? 1 : 0);
        EXPECT_EQ((*s)[MarkedSelection], g.marked ? 1 : 0);
        EXPECT_EQ((*s)[GridLineColor], 0xC0C0C0);
        EXPECT_EQ((*s)[GridLines], 3);
        EXPECT_EQ((*s)[CellBackColor], kWhite);
        EXPECT_EQ((*s)[CellTextColor], kBlack);
        EXPECT_EQ((*s)[FocusColor], kRed);
        EXPECT_EQ((*s)[SelectionBackColor], 0x00FFFF);
        EXPECT_EQ((*s)[SelectionTextColor], kBlue);
        EXPECT_EQ((*s)[EnterMoves], 2);
        EXPECT_EQ((*s)[AllowRowResize], 0);
        EXPECT_EQ((*s)[AllowColumnResize], 0);
        for (uint32_t own : {14u, 16u, 17u, 18u, 19u, 21u, 22u, 24u, 25u, 27u, 28u, 29u})
            EXPECT_EQ((*s)[own], defaults[own]) << "own " << own;
    }
}

// The font record of a bold GB2312 face of the default name, `pixels` high; empty for none.
std::string expectedFont(int32_t pixels) {
    if (pixels == 0) return {};
    rt::LogicalFont f;
    f.height = -pixels;
    f.weight = 700;
    f.charSet = 134;
    rt::setFontFaceName(f, ::texts::DefaultFontFace);
    return rt::fontRecord(f);
}

TEST_F(MainWindowTemplate, LabelsButtonAndRadioButtons) {
    struct LabelRow {
        rt::ControlId id;
        const char* caption;
        int32_t textColour, fontPixels;
    };
    for (const LabelRow& l : {LabelRow{0x16010756, "", kBlack, 0}, LabelRow{0x160106BE, "相差0张", kRed, 0},
                              LabelRow{0x160100FF, "", kBlue, 12}, LabelRow{0x160100BB, "单版模数", kBlack, 15}}) {
        SCOPED_TRACE(l.caption);
        StoredProperties p = props(l.id);
        EXPECT_EQ(p.bytes(labelprop::Caption), gbk(l.caption));
        EXPECT_EQ(p.integer(labelprop::TextColour), l.textColour);
        EXPECT_EQ(p.bytes(labelprop::Font), expectedFont(l.fontPixels));
    }

    StoredProperties button = props(0x16010093);
    EXPECT_EQ(button.bytes(buttonprop::Caption), gbk("开始计算"));
    EXPECT_EQ(button.bytes(buttonprop::Font), expectedFont(14));

    for (auto [id, caption] : {std::pair{0x160100A7u, "排1张印刷版"}, std::pair{0x160100A8u, "排2张印刷版"}}) {
        StoredProperties radio = props(id);
        EXPECT_EQ(radio.bytes(radioprop::Caption), gbk(caption));
        EXPECT_EQ(radio.integer(radioprop::TextColour), kBlue);
        EXPECT_EQ(radio.bytes(radioprop::Font), expectedFont(16));
        EXPECT_EQ(radio.integer(radioprop::Checked), 0);
    }
    StoredProperties banner = props(0x16010084);
    EXPECT_TRUE(banner.bytes(picprop::Picture).empty());
}

TEST_F(MainWindowTemplate, TrialCountChoice) {
    StoredProperties p = props(0x16010741);
    EXPECT_EQ(decodeItemList(p.bytes(comboprop::Items)),
              (std::vector<std::string>{gbk("随机10次"), gbk("随机50次"), gbk("随机100次"), gbk("随机500次"),
                                        gbk("随机1000次"), gbk("随机10000次"), gbk("最优分版")}));
    EXPECT_EQ(p.integer(comboprop::Kind), 1);  // a drop-down list, not editable
    EXPECT_EQ(p.integer(comboprop::Sorted), 0);
    EXPECT_EQ(p.integer(comboprop::Selection), 3);
    EXPECT_EQ(p.integer(comboprop::BackColour), kWhite);
}

TEST_F(MainWindowTemplate, EditBoxes) {
    using namespace editprop;
    StoredProperties ups = props(0x16010080);
    EXPECT_EQ(ups.bytes(Content), "48");
    EXPECT_EQ(ups.integer(MultiLine), 0);
    EXPECT_EQ(ups.integer(Alignment), 1);
    EXPECT_EQ(ups.integer(MaxLength), 3);
    EXPECT_EQ(ups.integer(InputMode), InputWholeNumber);
    EXPECT_EQ(ups.integer(TextColour), kBlue);
    EXPECT_EQ(ups.integer(BackColour), kWhite);
    EXPECT_EQ(ups.bytes(Font), expectedFont(19));

    StoredProperties report = props(0x160100C1);
    EXPECT_TRUE(report.bytes(Content).empty());
    EXPECT_EQ(report.integer(MultiLine), 1);
    EXPECT_EQ(report.integer(ScrollBars), 0);
    EXPECT_EQ(report.integer(InputMode), InputReadOnly);
    EXPECT_EQ(report.integer(TextColour), kBlue);
    EXPECT_EQ(report.bytes(Font), expectedFont(15));

    StoredProperties about = props(0x160106D9);
    EXPECT_EQ(about.integer(MultiLine), 1);
    EXPECT_EQ(about.integer(ScrollBars), 2);
    EXPECT_EQ(about.integer(InputMode), InputReadOnly);
    EXPECT_EQ(about.integer(TextColour), kBlack);
    EXPECT_TRUE(about.bytes(Font).empty());
}

TEST_F(MainWindowTemplate, AboutTextHasItsFourParts) {
    const std::string text = props(0x160106D9).bytes(editprop::Content);
    const std::string head = gbk("VelmoraImpostra2.11 - 测试版  \r\n\r\n最多支持分两版  \r\n\r\n");
    const std::string tail =
        gbk("\r\n此软件为测试版本，本软件不存在恶意攻击行为，使用本软件引起的一切责任后果均与作者无关。");
    ASSERT_GT(text.size(), head.size() + tail.size());
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);

    // Between them three contact lines, each ending in CR LF.
    std::string contacts = text.substr(head.size(), text.size() - head.size() - tail.size());
    std::vector<std::string> lines;
    for (size_t start = 0; start < contacts.size();) {
        size_t end = contacts.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        lines.push_back(contacts.substr(start, end - start));
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 3u);
    for (const std::string& line : lines) EXPECT_FALSE(line.empty());
    EXPECT_NE(lines[1].find("example."), std::string::npos);
}

}  // namespace
