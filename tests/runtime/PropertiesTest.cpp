// Property reads and writes through a small unit type and live control.
#include <cstring>
#include <map>

#include "runtime/Font.h"
#include "runtime/Heap.h"
#include "runtime/Notify.h"
#include "runtime/Properties.h"
#include "runtime/RuntimeTestSupport.h"
#include "runtime/Text.h"

using namespace rt_test;

namespace {

constexpr rt::WindowId kWin = 0x52010001;
constexpr rt::ControlId kWindowUnit = 0x06010000, kBox = 0x16010001, kTab = 0x16010002, kOnTab = 0x16010003,
                        kMenuItem = 0x26010001;
constexpr uint32_t kBoxType = 0x1000B;

class FakeControl final : public rt::LiveControl {
public:
    bool valid = true, visible = true, enabled = true;
    rt::Rect rect{10, 20, 100, 50};
    std::string cursor;
    int cursorRefreshes = 0;

    bool isValid() const override { return valid; }
    rt::Rect geometry() const override { return rect; }
    void move(int left, int top) override { rect.left = left, rect.top = top; }
    void resize(int width, int height) override { rect.width = width, rect.height = height; }
    bool isVisible() const override { return visible; }
    void setVisible(bool v) override { visible = v; }
    bool isEnabled() const override { return enabled; }
    void setEnabled(bool e) override { enabled = e; }
    void setCursorData(const std::string& data) override { cursor = data; }
    void refreshCursor() override { ++cursorRefreshes; }
};

// Own properties 8.. of the test unit type, one per value form; writing the
// text property asks for re-creation.
enum Own : uint32_t { OwnInt, OwnChoice, OwnDouble, OwnBool, OwnBinary, OwnCursor, OwnFont, OwnText };

class BoxType final : public rt::UnitType {
public:
    std::map<uint32_t, rt::PropertyValue> stored;
    int recreations = 0;
    int blockedDuringRecreate = -1;
    int eventsDeliveredDuringRecreate = -1;

    void reset() {
        stored.clear();
        recreations = 0;
        blockedDuringRecreate = eventsDeliveredDuringRecreate = -1;
    }

    uint32_t libraryType() const override { return kBoxType; }
    const std::vector<uint16_t>& ownPropertyTypes() const override {
        static const std::vector<uint16_t> types = {1000, 1006, 1002, 1003, 1009, 1011, 1013, 1007};
        return types;
    }
    uint32_t flags() const override { return rt::kEventCapableFlags; }
    rt::PropertyValue readProperty(const rt::WindowRecord&, const rt::UnitRecord&, uint32_t index) override {
        return stored[index];
    }
    int writeProperty(rt::WindowRecord&, rt::UnitRecord&, uint32_t index, const rt::PropertyValue& v) override {
        stored[index] = v;
        return index == OwnText ? 1 : 0;
    }
    void recreate(rt::WindowRecord&, rt::UnitRecord&) override {
        ++recreations;
        blockedDuringRecreate = rt::eventsBlocked();
        eventsDeliveredDuringRecreate = static_cast<int>(rt::RuntimeNotify(rt::NotifyCode::RaiseEvent, 1));
    }
};

// Tab pages, without own properties: a child's page number is its tag.
class TabType final : public rt::UnitType {
public:
    int currentPage = 0;
    uint32_t libraryType() const override { return rt::tag::TabUnit; }
    const std::vector<uint16_t>& ownPropertyTypes() const override {
        static const std::vector<uint16_t> none;
        return none;
    }
    uint32_t flags() const override { return 0; }
    rt::PropertyValue readProperty(const rt::WindowRecord&, const rt::UnitRecord&, uint32_t) override { return {}; }
    int writeProperty(rt::WindowRecord&, rt::UnitRecord&, uint32_t, const rt::PropertyValue&) override { return 0; }
    bool isChildPageCurrent(const rt::WindowRecord&, const rt::UnitRecord&, const rt::UnitRecord& child) override {
        return child.tag == std::to_string(currentPage);
    }
};

class RuntimeProperties : public RuntimeFixture {
protected:
    void SetUp() override {
        RuntimeFixture::SetUp();
        // The registry keeps the types beyond the test, so they live as long as the program.
        boxType.reset();
        tabType.currentPage = 0;
        rt::registerUnitType(&boxType);
        rt::registerUnitType(&tabType);
        rt::setEventDispatchHook([](rt::NotifyCode, void*) -> uintptr_t { return 1; });
        rebuilds = 0;
        rt::WindowRecord& w = rt::windowTable().emplace_back();
        w.id = kWin;
        w.rebuildMenu = [](rt::WindowRecord&) { ++rebuilds; };
        addUnit(w, kWindowUnit, rt::tag::WindowUnit, &windowControl);
        rt::UnitRecord& box = addUnit(w, kBox, kBoxType, &boxControl);
        box.left = 1, box.top = 2, box.width = 30, box.height = 40;
        box.tag = "box";
        box.flags = rt::unitflag::Visible;
        addUnit(w, kTab, rt::tag::TabUnit, &tabControl);
        rt::UnitRecord& onTab = addUnit(w, kOnTab, kBoxType, &onTabControl);
        onTab.parent = kTab;
        onTab.tag = "1";
        rt::UnitRecord& item = addUnit(w, kMenuItem, rt::tag::MenuUnit);
        item.caption = "File";
        item.flags = rt::unitflag::Checked;
        onTabControl.visible = false;
    }
    void TearDown() override {
        rt::setEventDispatchHook(nullptr);
        RuntimeFixture::TearDown();
    }

    rt::UnitRecord& unit(rt::ControlId id) { return *rt::findUnit(kWin, id); }
    int32_t readInt(rt::ControlId id, rt::PropertyIndex i, int32_t sub = -1) {
        return rt::ReadProperty(kWin, id, i, sub).asInt();
    }
    void writeInt(rt::ControlId id, rt::PropertyIndex i, int32_t v, int32_t sub = -1) {
        rt::WriteProperty(kWin, id, i, sub, rt::Words::ofInt(v));
    }
    // Reads a text or byte-set property, frees the block, answers its bytes ("<null>" for null).
    std::string readBlock(rt::ControlId id, rt::PropertyIndex i, bool byteSet, int32_t sub = -1) {
        void* block = rt::ReadProperty(kWin, id, i, sub).pointer();
        if (!block) return "<null>";
        std::string bytes(byteSet ? rt::byteSetView(block) : rt::textView(static_cast<char*>(block)));
        rt::FreeBlock(block);
        return bytes;
    }
    void writeText(rt::ControlId id, rt::PropertyIndex i, const char* text, int32_t sub = -1) {
        rt::WriteProperty(kWin, id, i, sub, rt::Words::ofPointer(text));
    }

    static inline int rebuilds = 0;
    static inline BoxType boxType;
    static inline TabType tabType;
    FakeControl windowControl, boxControl, tabControl, onTabControl;
};

TEST_F(RuntimeProperties, GeometryIsClampedStoredAndApplied) {
    struct Case {
        rt::PropertyIndex index;
        int32_t written, applied;
    };
    for (Case c : {Case{rt::prop::Left, 40000, 32627}, Case{rt::prop::Left, -40000, -32627},
                   Case{rt::prop::Top, 32627, 32627}, Case{rt::prop::Top, -5, -5},
                   Case{rt::prop::Width, -5, 0}, Case{rt::prop::Width, 40000, 32627},
                   Case{rt::prop::Height, 7, 7}, Case{rt::prop::Height, -1, 0}}) {
        SCOPED_TRACE(testing::Message() << c.index << " " << c.written);
        boxControl.rect = {10, 20, 100, 50};
        writeInt(kBox, c.index, c.written);
        EXPECT_EQ(readInt(kBox, c.index), c.applied);
        const rt::UnitRecord& u = unit(kBox);
        const int32_t stored[] = {u.left, u.top, u.width, u.height};
        const int live[] = {boxControl.rect.left, boxControl.rect.top, boxControl.rect.width, boxControl.rect.height};
        const int before[] = {10, 20, 100, 50};
        for (rt::PropertyIndex k = 0; k < 4; ++k) {
            if (k == c.index) {
                EXPECT_EQ(stored[k], c.applied);
            }
            EXPECT_EQ(live[k], k == c.index ? c.applied : before[k]) << "live " << k;  // the rest is kept
        }
    }
}

TEST_F(RuntimeProperties, CommonReadsComeFromTheLiveControlOrTheRecord) {
    EXPECT_EQ(readInt(kBox, rt::prop::Width), 100);
    boxControl.valid = false;  // destroyed: the stored values answer
    EXPECT_EQ(readInt(kBox, rt::prop::Width), 30);
    EXPECT_EQ(readInt(kBox, rt::prop::Left), 1);
    EXPECT_EQ(readInt(kBox, rt::prop::Visible), 1);
    EXPECT_EQ(readInt(kBox, rt::prop::Disabled), 0);
    writeInt(kBox, rt::prop::Disabled, 5);
    writeInt(kBox, rt::prop::Width, 44);
    EXPECT_EQ(readInt(kBox, rt::prop::Disabled), 1);
    EXPECT_EQ(readInt(kBox, rt::prop::Width), 44);
    EXPECT_TRUE(boxControl.enabled);  // not touched while not live

    boxControl.valid = true;
    EXPECT_EQ(readInt(kBox, rt::prop::Disabled), 0);
    writeInt(kBox, rt::prop::Disabled, 1);
    EXPECT_FALSE(boxControl.enabled);
    writeInt(kBox, rt::prop::Visible, 0);
    EXPECT_FALSE(boxControl.visible);
    EXPECT_EQ(unit(kBox).flags & rt::unitflag::Visible, 0u);
}

TEST_F(RuntimeProperties, TagAndCursorAreCopies) {
    EXPECT_EQ(readBlock(kBox, rt::prop::Tag, false), "box");
    writeText(kBox, rt::prop::Tag, nullptr);
    EXPECT_EQ(unit(kBox).tag, "");
    EXPECT_EQ(readBlock(kBox, rt::prop::Tag, false), "<null>");

    EXPECT_EQ(readBlock(kBox, rt::prop::Cursor, true), "<null>");
    void* cursor = rt::makeByteSet(std::string_view("\x02\x7f\0\0", 4));
    rt::WriteProperty(kWin, kBox, rt::prop::Cursor, -1, rt::Words::ofPointer(cursor));
    rt::FreeBlock(cursor);  // the property keeps its own copy
    EXPECT_EQ(readBlock(kBox, rt::prop::Cursor, true), std::string("\x02\x7f\0\0", 4));
    EXPECT_EQ(boxControl.cursor, std::string("\x02\x7f\0\0", 4));
    EXPECT_EQ(boxControl.cursorRefreshes, 1);
}

TEST_F(RuntimeProperties, AUnitOnATabPageShowsOnlyOnTheCurrentPage) {
    tabType.currentPage = 0;
    writeInt(kOnTab, rt::prop::Visible, 1);
    EXPECT_FALSE(onTabControl.visible);
    EXPECT_NE(unit(kOnTab).flags & rt::unitflag::Visible, 0u);  // shown once its page comes up
    tabType.currentPage = 1;
    writeInt(kOnTab, rt::prop::Visible, 1);
    EXPECT_TRUE(onTabControl.visible);

    windowControl.visible = false;
    writeInt(0, rt::prop::Visible, 1);  // control id 0: the window itself
    EXPECT_TRUE(windowControl.visible);
}

TEST_F(RuntimeProperties, MenuItemsAnswerFromTheirRecordAndRebuildOnlyOnChange) {
    EXPECT_EQ(readBlock(kMenuItem, rt::menuprop::Caption, false), "File");
    EXPECT_EQ(readInt(kMenuItem, rt::menuprop::Checked), 1);
    EXPECT_EQ(readInt(kMenuItem, rt::menuprop::Disabled), 0);
    EXPECT_EQ(readInt(kMenuItem, rt::menuprop::Visible), 1);  // bit 0 clear

    writeText(kMenuItem, rt::menuprop::Caption, "File");
    writeInt(kMenuItem, rt::menuprop::Checked, 7);
    writeInt(kMenuItem, rt::menuprop::Visible, 1);
    EXPECT_EQ(rebuilds, 0);

    writeInt(kMenuItem, rt::menuprop::Visible, 0);
    EXPECT_EQ(unit(kMenuItem).flags & rt::unitflag::Visible, rt::unitflag::Visible);
    writeInt(kMenuItem, rt::menuprop::Disabled, 1);
    writeText(kMenuItem, rt::menuprop::Caption, nullptr);
    EXPECT_EQ(rebuilds, 3);
    EXPECT_EQ(readBlock(kMenuItem, rt::menuprop::Caption, false), "<null>");
    EXPECT_EQ(readInt(kMenuItem, rt::menuprop::Visible), 0);
    EXPECT_EQ(readInt(kMenuItem, rt::menuprop::Disabled), 1);
}

TEST_F(RuntimeProperties, OwnValuesAreConvertedByTheirForm) {
    const rt::PropertyIndex base = rt::prop::FirstOwn;
    writeInt(kBox, base + OwnChoice, -3);
    EXPECT_EQ(readInt(kBox, base + OwnChoice), 0);
    writeInt(kBox, base + OwnBool, 5);
    EXPECT_EQ(boxType.stored[OwnBool].words.low, 5u);  // the type sees the value as written
    EXPECT_EQ(readInt(kBox, base + OwnBool), 1);
    rt::WriteProperty(kWin, kBox, base + OwnDouble, -1, rt::Words::ofDouble(2.75));
    EXPECT_EQ(rt::ReadProperty(kWin, kBox, base + OwnDouble, -1).asDouble(), 2.75);
    writeInt(kBox, base + OwnInt, -9);
    EXPECT_EQ(rt::ReadProperty(kWin, kBox, base + OwnInt, -1).bits(), uint64_t(uint32_t(-9)));

    rt::WriteProperty(kWin, kBox, base + OwnBinary, -1, rt::Words::ofPointer(nullptr));
    EXPECT_EQ(readBlock(kBox, base + OwnBinary, true), "<null>");
    void* bytes = rt::makeByteSet(std::string_view("\0ab", 3));
    rt::WriteProperty(kWin, kBox, base + OwnBinary, -1, rt::Words::ofPointer(bytes));
    rt::FreeBlock(bytes);
    EXPECT_EQ(readBlock(kBox, base + OwnBinary, true), std::string("\0ab", 3));

    writeText(kBox, base + OwnText, nullptr);
    EXPECT_EQ(readBlock(kBox, base + OwnText, false), "<null>");
    writeText(kBox, base + OwnText, "abc");
    EXPECT_EQ(readBlock(kBox, base + OwnText, false), "abc");
}

TEST_F(RuntimeProperties, ARecreatingWriteBlocksEventsForItsDuration) {
    writeText(kBox, rt::prop::FirstOwn + OwnText, "x");
    EXPECT_EQ(boxType.recreations, 1);
    EXPECT_EQ(boxType.blockedDuringRecreate, 1);
    EXPECT_EQ(boxType.eventsDeliveredDuringRecreate, 0);
    EXPECT_EQ(rt::eventsBlocked(), 0);
    EXPECT_EQ(rt::RuntimeNotify(rt::NotifyCode::RaiseEvent, 1), 1u);

    windowControl.valid = false;  // the window is gone: nothing to re-create into
    writeText(kBox, rt::prop::FirstOwn + OwnText, "y");
    EXPECT_EQ(boxType.recreations, 1);
}

TEST_F(RuntimeProperties, FontPartsReadAndWriteTheRecord) {
    const rt::PropertyIndex font = rt::prop::FirstOwn + OwnFont;
    const std::string simsun = gbk("宋体");
    // No stored font: the default GUI font.
    EXPECT_EQ(readBlock(kBox, font, true), rt::fontRecord(rt::defaultGuiFont()));
    EXPECT_EQ(readInt(kBox, font, rt::fontpart::Size), 9);
    EXPECT_EQ(readInt(kBox, font, rt::fontpart::Bold), 0);
    EXPECT_EQ(readBlock(kBox, font, false, rt::fontpart::FaceName), simsun);

    struct Case {
        int32_t part, written, readBack;
    };
    for (Case c : {Case{rt::fontpart::Escapement, 3700, 100}, Case{rt::fontpart::Bold, 3, 1},
                   Case{rt::fontpart::Italic, 9, 1}, Case{rt::fontpart::Underline, 1, 1},
                   Case{rt::fontpart::StrikeOut, 0, 0}, Case{rt::fontpart::Size, 12, 12}}) {
        writeInt(kBox, font, c.written, c.part);
        EXPECT_EQ(readInt(kBox, font, c.part), c.readBack) << "part " << c.part;
    }
    rt::LogicalFont f = rt::fontFromRecord(boxType.stored[OwnFont].bytes);
    EXPECT_EQ(f.weight, 700);
    EXPECT_EQ(f.height, -16);
    EXPECT_EQ(f.charSet, rt::kGb2312CharSet);
    writeInt(kBox, font, 0, rt::fontpart::Bold);
    EXPECT_EQ(rt::fontFromRecord(boxType.stored[OwnFont].bytes).weight, 0);

    const std::string name31(31, 'n'), name32(32, 'n');
    struct Name {
        const char* written;
        std::string face;
    };
    for (const Name& n : {Name{"Arial", "Arial"}, Name{name31.c_str(), name31}, Name{name32.c_str(), simsun},
                          Name{"", simsun}, Name{nullptr, simsun}}) {
        writeText(kBox, font, n.written, rt::fontpart::FaceName);
        EXPECT_EQ(readBlock(kBox, font, false, rt::fontpart::FaceName), n.face);
    }

    // A whole record that is not 60 bytes reads back as the default font.
    void* shortRecord = rt::makeByteSet("abc");
    rt::WriteProperty(kWin, kBox, font, rt::fontpart::Whole, rt::Words::ofPointer(shortRecord));
    rt::FreeBlock(shortRecord);
    EXPECT_EQ(readBlock(kBox, font, true), rt::fontRecord(rt::defaultGuiFont()));
}

TEST_F(RuntimeProperties, FailuresEndTheProgramWithTheirMessage) {
    const std::string windowLine = gbk("\r\n所访问窗口的\"标记\"属性值: \"\"");
    struct Case {
        rt::WindowId window;
        rt::ControlId control;
        rt::PropertyIndex index;
        bool write;
        const char* message;
        std::string lines;
    };
    const Case cases[] = {
        {0x52010009, kBox, 0, false, "未载入欲访问窗口组件所在的窗口", gbk("\r\n未找到所指定的窗口")},
        {0x52010009, kBox, 0, true, "未载入欲访问窗口组件所在的窗口", gbk("\r\n未找到所指定的窗口")},
        {kWin, 0x16010077, 0, false, "指定窗口或窗口组件不存在或尚未载入", windowLine + gbk("\r\n未找到所指定的窗口组件")},
        {kWin, kBox, rt::prop::FirstOwn, false, "读取组件属性时发现指定窗口尚未载入",
         windowLine + gbk("\r\n所访问窗口组件的\"标记\"属性值: \"box\"")},
        {kWin, kBox, rt::prop::FirstOwn, true, "修改组件属性时发现指定窗口尚未载入",
         windowLine + gbk("\r\n所访问窗口组件的\"标记\"属性值: \"box\"")},
        {kWin, kTab, rt::prop::FirstOwn, false, "所访问的组件属性不存在", windowLine + gbk("\r\n所访问窗口组件的\"标记\"属性值: \"\"")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        host.boxes.clear();
        rt::resetProgramStateForTesting();
        boxControl.valid = c.control != kBox || c.window != kWin;  // the box's own properties need it live
        int code = exitCodeOf([&] {
            if (c.write) rt::WriteProperty(c.window, c.control, c.index, -1, rt::Words::ofInt(1));
            else rt::ReadProperty(c.window, c.control, c.index, -1);
        });
        EXPECT_EQ(code, -1);
        EXPECT_EQ(reportText(), gbk("运行时出错!\r\n\r\n错误信息：") + gbk(c.message) + "\r\n" +
                                    detailHead(static_cast<int32_t>(c.window), static_cast<int32_t>(c.control)) +
                                    c.lines + "\r\n");
    }
}

}  // namespace
