// The start window: its frame, the 22 controls in creation order, the grids'
// stored settings, the menu tree and the event bindings. Texts are written in
// UTF-8 here and stored as GBK.
#include "app/MainWindowDescription.h"

#include <string>
#include <string_view>
#include <utility>

#include "calc/Controls.h"
#include "app/Handlers.h"
#include "forms/UnitBlocks.h"
#include "platform/Gbk.h"
#include "runtime/Font.h"

namespace app {
namespace {

using calc::kMainWindow;
namespace control = calc::control;
namespace property = calc::property;

using forms::UnitDescription;
namespace unittype = forms::unittype;

std::string gbk(std::string_view utf8) { return platform::utf8ToGbk(utf8); }

constexpr uint32_t kWordA = 0x026E9AA0, kWordB = 0x19010002;
constexpr int32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kRed = 0x0000FF, kBlue = 0xFF0000;
constexpr int32_t kHandCursor = 32649;
constexpr int32_t kNoFont = 0;  // the default font

// Stored unit flags: bit 0 visible, bit 2 takes the keyboard focus.
constexpr uint32_t kShown = rt::unitflag::Visible, kTakesFocus = 1u << 2;

constexpr const char* kTitle = "VelmoraImpostra2.11 - 测试版    最多支持分两版";

// The initial content of the About box.
std::string aboutText() {
    return gbk("VelmoraImpostra2.11 - 测试版  \r\n\r\n"
               "最多支持分两版  \r\n\r\n"
               "联系电话：000-0000-0000\r\n"
               "网址：www.example.com\r\n"
               "即时通讯：10000000\r\n"
               "\r\n"
               "此软件为测试版本，本软件不存在恶意攻击行为，使用本软件引起的一切责任后果均与作者无关。");
}

// A bold GB2312 font of the default face, `pixels` high; none for kNoFont.
std::string boldFont(int32_t pixels) {
    if (pixels == kNoFont) return {};
    rt::LogicalFont font;
    font.height = -pixels;
    font.weight = rt::kBoldWeight;
    font.charSet = rt::kGb2312CharSet;
    rt::setFontFaceName(font, {});
    return rt::fontRecord(font);
}

std::string int32Bytes(int32_t v) {
    std::string out;
    forms::appendInteger(out, v);
    return out;
}

// ---- Unit blocks by kind ---------------------------------------------------------

std::string windowBlock() {
    using namespace forms::windowprop;
    forms::StoredProperties p = forms::defaultProperties(unittype::Window);
    p.setBytes(Caption, gbk(kTitle));
    p.setInteger(BorderStyle, 2);  // resizable
    p.setInteger(ControlBox, 1);
    p.setInteger(MinimiseBox, 1);
    p.setInteger(MaximiseBox, 1);
    p.setInteger(StartState, 0);
    p.setInteger(Position, 1);  // centred
    return forms::encodeUnitBlock(unittype::Window, p);
}

struct LabelLook {
    const char* caption = "";
    int32_t textColour = kBlack;
    int32_t boldPixels = kNoFont;
    int32_t alignment = 0;  // 0 left, 1 centre
};

std::string labelBlock(const LabelLook& look) {
    using namespace forms::labelprop;
    forms::StoredProperties p = forms::defaultProperties(unittype::Label);
    p.setBytes(Caption, gbk(look.caption));
    p.setInteger(TextColour, look.textColour);
    p.setBytes(Font, boldFont(look.boldPixels));
    p.setInteger(HorizontalAlignment, look.alignment);
    p.setInteger(VerticalAlignment, 1);
    return forms::encodeUnitBlock(unittype::Label, p);
}

struct EditLook {
    std::string content = {};  // GBK
    int32_t textColour = kBlack;
    int32_t backColour = static_cast<int32_t>(0xFF000000);
    int32_t boldPixels = kNoFont;
    bool multiLine = false;
    int32_t scrollBars = 0;
    int32_t alignment = 0;
    int32_t maxLength = 0;  // 0 = unlimited
    int32_t inputMode = forms::editprop::InputNormal;
};

std::string editBlock(const EditLook& look) {
    using namespace forms::editprop;
    forms::StoredProperties p = forms::defaultProperties(unittype::EditBox);
    p.setBytes(Content, look.content);
    p.setInteger(TextColour, look.textColour);
    p.setInteger(BackColour, look.backColour);
    p.setBytes(Font, boldFont(look.boldPixels));
    p.setInteger(MultiLine, look.multiLine ? 1 : 0);
    p.setInteger(ScrollBars, look.scrollBars);
    p.setInteger(Alignment, look.alignment);
    p.setInteger(MaxLength, look.maxLength);
    p.setInteger(InputMode, look.inputMode);
    return forms::encodeUnitBlock(unittype::EditBox, p);
}

std::string radioBlock(const char* caption) {
    using namespace forms::radioprop;
    forms::StoredProperties p = forms::defaultProperties(unittype::RadioBox);
    p.setBytes(Caption, gbk(caption));
    p.setInteger(TextColour, kBlue);
    p.setBytes(Font, boldFont(16));
    return forms::encodeUnitBlock(unittype::RadioBox, p);
}

std::string buttonBlock(const char* caption) {
    using namespace forms::buttonprop;
    forms::StoredProperties p = forms::defaultProperties(unittype::Button);
    p.setBytes(Caption, gbk(caption));
    p.setBytes(Font, boldFont(14));
    return forms::encodeUnitBlock(unittype::Button, p);
}

// The trial-count choice: a drop-down list whose selected index picks the number of trials.
std::string trialChoiceBlock() {
    using namespace forms::comboprop;
    forms::StoredProperties p = forms::defaultProperties(unittype::ComboBox);
    std::vector<std::string> items;
    for (const char* item : {"随机10次", "随机50次", "随机100次", "随机500次", "随机1000次", "随机10000次", "最优分版"})
        items.push_back(gbk(item));
    p.setInteger(Kind, 1);
    p.setInteger(Sorted, 0);
    p.setInteger(BackColour, kWhite);
    p.setInteger(TextColour, kBlack);
    p.setInteger(Selection, 3);
    p.setBytes(Items, forms::encodeItemList(items));
    return forms::encodeUnitBlock(unittype::ComboBox, p);
}

std::string reportFrameBlock() {
    return forms::encodeUnitBlock(unittype::ShapeBox, forms::defaultProperties(unittype::ShapeBox));
}

std::string bannerBlock() {
    return forms::encodeUnitBlock(unittype::PicBox, forms::defaultProperties(unittype::PicBox));
}

struct GridShape {
    int32_t rows, columns, fixedRows, fixedColumns, rowHeight, columnWidth;
    bool editable, marked;
};

// The settings all nine grids share, then the shape of each.
std::string gridBlock(const GridShape& shape) {
    using namespace forms::gridprop;
    forms::GridSettings s = forms::defaultGridSettings();
    s[GridLineColor] = 0xC0C0C0;
    s[CellBackColor] = kWhite;
    s[CellTextColor] = kBlack;
    s[GridLines] = 3;
    s[FocusColor] = kRed;
    s[SelectionBackColor] = 0x00FFFF;
    s[SelectionTextColor] = kBlue;
    s[EnterMoves] = 2;
    s[AllowRowResize] = 0;
    s[AllowColumnResize] = 0;
    s[RowCount] = shape.rows;
    s[ColumnCount] = shape.columns;
    s[FixedRowCount] = shape.fixedRows;
    s[FixedColumnCount] = shape.fixedColumns;
    s[DefaultRowHeight] = shape.rowHeight;
    s[DefaultColumnWidth] = shape.columnWidth;
    s[Editable] = shape.editable ? 1 : 0;
    s[MarkedSelection] = shape.marked ? 1 : 0;
    return forms::encodeGridBlock(s);
}

constexpr GridShape kOrderGrid{1, 4, 1, 1, 20, 50, true, true};
constexpr GridShape kStyleGrid{1, 3, 1, 1, 19, 50, false, true};
constexpr GridShape kSummaryGrid{7, 2, 0, 0, 20, 90, false, false};

// ---- Units ---------------------------------------------------------------------------

UnitDescription unit(rt::ControlId id, const char* name, uint32_t type, rt::Rect r, uint32_t flags, std::string block) {
    UnitDescription u;
    u.id = id;
    u.type = type;
    u.name = gbk(name);
    u.left = r.left;
    u.top = r.top;
    u.width = r.width;
    u.height = r.height;
    u.flags = flags;
    u.block = std::move(block);
    return u;
}

std::vector<std::pair<int32_t, int32_t>> bind(std::initializer_list<std::pair<int32_t, Handler>> events) {
    std::vector<std::pair<int32_t, int32_t>> out;
    for (const auto& [event, handler] : events) out.emplace_back(event, handlerOffset(handler));
    return out;
}

UnitDescription windowUnit() {
    UnitDescription u = unit(control::Window, "主窗口", unittype::Window, {50, 50, 1234, 700}, kShown, windowBlock());
    u.events = bind({{0, Handler::WindowCreated}, {4, Handler::WindowResized}, {1, Handler::QueryClose}});
    return u;
}

std::vector<UnitDescription> controls() {
    using namespace control;
    using unittype::Label, unittype::ComboBox, unittype::EditBox, unittype::Grid, unittype::ShapeBox,
        unittype::RadioBox, unittype::Button, unittype::PicBox;
    constexpr uint32_t hidden = 0, shown = kShown, focus = kTakesFocus;

    std::vector<UnitDescription> units;
    units.push_back(unit(TrialCounter, "标签次数", Label, {376, 115, 57, 16}, shown, labelBlock({})));
    units.push_back(unit(TrialChoice, "组合框1", ComboBox, {272, 112, 93, 20}, shown | focus, trialChoiceBlock()));
    units.push_back(unit(About, "编辑框1", EditBox, {832, 24, 384, 584}, shown | focus,
                         editBlock({.content = aboutText(), .multiLine = true, .scrollBars = 2,
                                    .inputMode = forms::editprop::InputReadOnly})));
    units.push_back(unit(Difference, "标签A1", Label, {303, 519, 96, 16}, hidden,
                         labelBlock({.caption = "相差0张", .textColour = kRed, .alignment = 1})));
    units.push_back(unit(OrderCount, "标签款数量", Label, {269, 27, 157, 18}, shown,
                         labelBlock({.textColour = kBlue, .boldPixels = 12})));
    units.push_back(unit(GridD1, "高级表格D1", Grid, {1026, 172, 184, 433}, hidden | focus, gridBlock(kStyleGrid)));
    units.push_back(unit(GridC1, "高级表格C1", Grid, {832, 172, 184, 433}, hidden | focus, gridBlock(kStyleGrid)));
    units.push_back(unit(GridB1, "高级表格B1", Grid, {638, 172, 184, 433}, shown | focus, gridBlock(kStyleGrid)));
    units.push_back(unit(GridD2, "高级表格D2", Grid, {1026, 25, 185, 145}, hidden | focus, gridBlock(kSummaryGrid)));
    units.push_back(unit(GridC2, "高级表格C2", Grid, {832, 25, 185, 145}, hidden | focus, gridBlock(kSummaryGrid)));
    units.push_back(unit(GridB2, "高级表格B2", Grid, {638, 25, 185, 145}, shown | focus, gridBlock(kSummaryGrid)));
    units.push_back(unit(GridA2, "高级表格A2", Grid, {444, 25, 185, 145}, shown | focus, gridBlock(kSummaryGrid)));
    units.push_back(unit(GridA1, "高级表格A1", Grid, {444, 172, 184, 433}, shown | focus, gridBlock(kStyleGrid)));

    UnitDescription report = unit(Report, "编辑框信息", EditBox, {2, 7, 155, 314}, shown | focus,
                           editBlock({.textColour = kBlue, .boldPixels = 15, .multiLine = true,
                                      .inputMode = forms::editprop::InputReadOnly}));
    report.parent = ReportFrame;
    units.push_back(std::move(report));
    UnitDescription frame = unit(ReportFrame, "外形框1", ShapeBox, {265, 145, 171, 328}, shown, reportFrameBlock());
    frame.children = {Report};
    units.push_back(std::move(frame));

    units.push_back(unit(UpsCaption, "标签2", Label, {268, 53, 69, 17}, shown,
                         labelBlock({.caption = "单版模数", .boldPixels = 15})));
    UnitDescription two = unit(TwoPlates, "单选框2", RadioBox, {289, 546, 125, 19}, hidden | focus, radioBlock("排2张印刷版"));
    two.events = bind({{0, Handler::TwoPlatesClicked}});
    units.push_back(std::move(two));
    UnitDescription one = unit(OnePlate, "单选框1", RadioBox, {289, 489, 125, 19}, hidden | focus, radioBlock("排1张印刷版"));
    one.events = bind({{0, Handler::OnePlateClicked}});
    units.push_back(std::move(one));
    UnitDescription compute = unit(Compute, "按钮计算", Button, {274, 79, 153, 26}, shown | focus, buttonBlock("开始计算"));
    compute.events = bind({{0, Handler::ComputeClicked}});
    units.push_back(std::move(compute));
    UnitDescription ups = unit(Ups, "编辑框模数", EditBox, {347, 49, 79, 25}, shown | focus,
                        editBlock({.content = "48", .textColour = kBlue, .backColour = kWhite, .boldPixels = 19,
                                   .alignment = 1, .maxLength = 3,
                                   .inputMode = forms::editprop::InputWholeNumber}));
    ups.events = bind({{-8, Handler::UpsBoxLostFocus}});
    units.push_back(std::move(ups));
    UnitDescription order = unit(OrderGrid, "高级表格订单", Grid, {6, 25, 253, 580}, shown | focus, gridBlock(kOrderGrid));
    order.events = bind({{2, Handler::OrderCommitted}, {-10, Handler::OrderKeyReleased},
                         {1, Handler::OrderEditorOpening}});
    units.push_back(std::move(order));
    UnitDescription banner = unit(Banner, "图片框1", PicBox, {7, 2, 1200, 20}, shown, bannerBlock());
    banner.cursor = int32Bytes(kHandCursor);
    banner.events = bind({{-1, Handler::BannerClicked}});
    units.push_back(std::move(banner));
    return units;
}

// ---- Menu ----------------------------------------------------------------------------

constexpr uint32_t kMenuHidden = 1u << 0;

struct MenuRow {
    rt::ControlId id;
    int32_t level;
    const char* caption;
    uint32_t flags;
};

constexpr rt::ControlId kNewItem = 0x2601034B, kOpenItem = 0x2601034C, kSaveItem = 0x2601034D,
                        kSaveAsItem = 0x2601034E;

// "文件" and its items, then the hidden "关于" menu with its items.
constexpr MenuRow kMenu[] = {
    {0x2601034A, 0, "文件", 0},   {kNewItem, 1, "新建", 0},       {kOpenItem, 1, "打开", 0},
    {kSaveItem, 1, "保存", 0},    {kSaveAsItem, 1, "另存为", 0},  {0x2601034F, 1, "-", 0},
    {control::ExitItem, 1, "退出", 0},
    {0x260105FB, 0, "关于", kMenuHidden}, {0x260105FD, 1, "购买软件", 0}, {0x260105FE, 1, "联系客服", 0},
    {0x260105FF, 1, "使用帮助", 0},
};

// The handler of a menu item's click; -1 for the items without one.
int32_t menuHandlerOffset(rt::ControlId id) {
    switch (id) {
        case kNewItem: return handlerOffset(Handler::NewMenu);
        case kOpenItem: return handlerOffset(Handler::OpenMenu);
        case kSaveItem: return handlerOffset(Handler::SaveMenu);
        case kSaveAsItem: return handlerOffset(Handler::SaveAsMenu);
        case control::ExitItem: return handlerOffset(Handler::ExitMenu);
        default: return -1;
    }
}

std::vector<UnitDescription> menuItems() {
    std::vector<UnitDescription> items;
    for (const MenuRow& row : kMenu) {
        UnitDescription u;
        u.id = row.id;
        u.type = unittype::Menu;
        u.level = row.level;
        u.caption = gbk(row.caption);
        u.menuFlags = row.flags;
        u.clickHandler = menuHandlerOffset(row.id);
        items.push_back(std::move(u));
    }
    return items;
}

}  // namespace

std::vector<forms::WindowDescription> mainWindowDescription() {
    forms::WindowDescription window;
    window.id = kMainWindow;
    window.wordA = kWordA;
    window.wordB = kWordB;
    window.units.push_back(windowUnit());
    for (UnitDescription& u : controls()) window.units.push_back(std::move(u));
    for (UnitDescription& u : menuItems()) window.units.push_back(std::move(u));
    return {window};
}

}  // namespace app
