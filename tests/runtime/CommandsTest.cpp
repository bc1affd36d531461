// The core commands through their routines and wrappers: arguments by tag,
// the random generator, conversions, message boxes, waiting, controls, threads.
#include <atomic>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <string>
#include <thread>

#include "runtime/CommandsFakes.h"
#include "runtime/Heap.h"
#include "runtime/Text.h"

using namespace rt_test;
using rt::TaggedArg;
using rt::CoreCommand;

namespace {

TaggedArg run(CoreCommand c, std::vector<TaggedArg> args) {
    return rt::CallCommand(rt::commandRoutine(c), static_cast<int32_t>(args.size()), args.data());
}

TaggedArg withTag(uint32_t tag, uint64_t bits) {
    TaggedArg a;
    rt::Words w;
    w.setBits(bits);
    a.setWords(w);
    a.tag = tag;
    return a;
}

// A ToText result as bytes, freed; "<null>" for the null text.
std::string takeText(char* text) {
    if (!text) return "<null>";
    std::string s = text;
    rt::FreeBlock(text);
    return s;
}

TEST_F(CommandsFixture, TableHoldsOneDistinctRoutinePerCommand) {
    std::set<rt::CommandRoutine> routines(rt::kCoreCommands.begin(), rt::kCoreCommands.end());
    EXPECT_EQ(routines.size(), rt::kCoreCommandCount);
    EXPECT_EQ(rt::commandRoutine(CoreCommand::Count), nullptr);
    EXPECT_EQ(rt::commandRoutine(CoreCommand::ToText), &rt::command::ToText);
}

TEST_F(CommandsFixture, NumericCommandsTagResultsAndTakeDefaults) {
    TaggedArg floor = run(CoreCommand::FloorToInt, {TaggedArg::ofDouble(2.9999999999995)});
    EXPECT_EQ(floor.tag, rt::tag::Int);
    EXPECT_EQ(floor.asInt(), 3);
    // An int-typed argument is taken by value, not by its bits.
    EXPECT_EQ(run(CoreCommand::FloorToInt, {TaggedArg::ofInt(5)}).asInt(), 5);

    TaggedArg rounded = run(CoreCommand::RoundTo, {TaggedArg::ofDouble(0.5), TaggedArg{}});
    EXPECT_EQ(rounded.tag, rt::tag::Double);
    EXPECT_EQ(rounded.asDouble(), 1.0);
    EXPECT_EQ(run(CoreCommand::RoundTo, {TaggedArg::ofDouble(2.675)}).asDouble(), 3.0);
    EXPECT_DOUBLE_EQ(rt::cmd::roundTo(2.675, 2), 2.68);
    EXPECT_DOUBLE_EQ(rt::cmd::roundTo(1234.5, -2), 1200.0);
    EXPECT_EQ(rt::cmd::floorToInt(-0.9999999999995), -1);
}

TEST_F(CommandsFixture, GeneratorFollowsTheClassicSequencePerThread) {
    // state = state * 214013 + 2531011; draws are bits 16-30.
    uint32_t state = 1;
    std::vector<int32_t> expected;
    for (int i = 0; i < 4; ++i) {
        state = state * 214013u + 2531011u;
        expected.push_back(static_cast<int32_t>((state >> 16) & 0x7FFF));
    }
    ASSERT_EQ(expected, (std::vector<int32_t>{41, 18467, 6334, 26500}));

    rt::cmd::setRandomSeed(1);
    for (int32_t e : expected) EXPECT_EQ(rt::cmd::randomInt(), e);

    // Another thread starts from state 1 and is not moved by this thread's seed.
    rt::cmd::setRandomSeed(12345);
    int32_t otherFirst = -1;
    std::thread([&] { otherFirst = rt::cmd::randomInt(); }).join();
    EXPECT_EQ(otherFirst, 41);
}

TEST_F(CommandsFixture, RandomIntBounds) {
    struct Case { std::optional<int32_t> lo, hi; int32_t expected; bool draws; };
    // With seed 1 the first draw is 41.
    const Case cases[] = {
        {1, 1, 1, false},
        {0, 0, 0, false},
        {std::nullopt, 0, 0, false},
        {-3, -9, 0, false},       // both negative bounds count as 0
        {5, 1, 1 + 41 % 5, true}, // swapped
        {-3, 4, 41 % 5, true},    // negative minimum counts as 0
        {std::nullopt, std::nullopt, 41, true},
        {10, std::nullopt, 51, true},
        {0, INT32_MAX, 41, true},  // full range: span + 1 = 2^31
        {100, 120, 100 + 41 % 21, true},
    };
    for (const Case& c : cases) {
        rt::cmd::setRandomSeed(1);
        EXPECT_EQ(rt::cmd::randomInt(c.lo, c.hi), c.expected);
        // The next draw tells whether the generator moved.
        EXPECT_EQ(rt::cmd::randomInt(), c.draws ? 18467 : 41);
    }
}

TEST_F(CommandsFixture, UnseededSeedsDifferWithinOneMillisecond) {
    host.tick = 1000;  // the clock does not move between the two calls
    auto firstDrawWith = [](std::optional<int32_t> seed) {
        rt::cmd::setRandomSeed(seed);
        return rt::cmd::randomInt();
    };
    // s = tick + counter; counter += (s & 0xFF) + 100, so 1000, then 1000 + 332.
    int32_t first = firstDrawWith(std::nullopt);
    int32_t second = firstDrawWith(std::nullopt);
    EXPECT_NE(first, second);
    EXPECT_EQ(first, firstDrawWith(1000));
    EXPECT_EQ(second, firstDrawWith(1332));
}

TEST_F(CommandsFixture, FindTextArguments) {
    const char* hay = "a\xD6\xD0" "bAB";
    EXPECT_EQ(rt::cmd::findText(hay, "b"), 4);
    EXPECT_EQ(rt::cmd::findText(hay, "b", 5), -1);
    EXPECT_EQ(rt::cmd::findText(hay, "b", 5, true), 6);
    EXPECT_EQ(rt::cmd::findText(hay, "b", std::nullopt, false), 4);
    EXPECT_EQ(rt::cmd::findText("abc", nullptr), 1);
    EXPECT_EQ(rt::cmd::findText(nullptr, nullptr), -1);
    // A haystack that is not a text is searched as the empty text.
    EXPECT_EQ(run(CoreCommand::FindText, {TaggedArg::ofInt(0x61), TaggedArg::ofText("a")}).asInt(), -1);
    EXPECT_EQ(run(CoreCommand::FindText, {TaggedArg::ofText("abc"), TaggedArg::ofText("c")}).tag, rt::tag::Int);
}

TEST_F(CommandsFixture, ConversionsByTag) {
    int32_t intArray[] = {1, 2, 0x64636261, 0};  // one dimension of 2: "abcd"
    int32_t longArray[7] = {2, 2, 1};  // 2 x 1 elements of 8 bytes
    std::memcpy(&longArray[3], "AAAABBBB", 8);
    const char* texts[] = {"x"};
    int32_t textArray[] = {1, 1, 0, 0};
    std::memcpy(&textArray[2], &texts[0], sizeof(void*));
    void* byteSet = rt::makeByteSet(std::string_view("ab\0c", 4));

    struct Case { const char* name; TaggedArg value; double number; int32_t integer; std::string text; };
    const Case cases[] = {
        {"true", TaggedArg::ofBool(true), 1, 1, gbk("真")},
        {"false", TaggedArg::ofBool(false), 0, 0, gbk("假")},
        {"int 0", TaggedArg::ofInt(0), 0, 0, "0"},
        {"int -7", TaggedArg::ofInt(-7), -7, -7, "-7"},
        {"byte", withTag(rt::tag::Byte, 0x1FF), 255, 255, "255"},
        {"short", withTag(rt::tag::Short, 0xFFFE), -2, -2, "-2"},
        {"long", TaggedArg::ofLong(0x100000005LL), 4294967301.0, 5, "4294967301"},
        {"float", withTag(rt::tag::Float, 0x40200000), 2.5, 2, "2.5"},
        {"double 2.9", TaggedArg::ofDouble(2.9), 2.9, 2, "2.9"},
        {"double -2.9", TaggedArg::ofDouble(-2.9), -2.9, -2, "-2.9"},
        {"double 1e8", TaggedArg::ofDouble(100000000.0), 1e8, 100000000, "100000000"},
        {"double 2.1", TaggedArg::ofDouble(2.1), 2.1, 2, "2.1"},
        {"double 0.1+0.2", TaggedArg::ofDouble(0.1 + 0.2), 0.1 + 0.2, 0, "0.3"},
        {"double 1e13", TaggedArg::ofDouble(1e13), 1e13, static_cast<int32_t>(static_cast<uint32_t>(10000000000000ULL)), "1e+13"},
        {"double nan", TaggedArg::ofDouble(std::nan("")), std::nan(""), 0, "nan"},
        {"sub pointer", withTag(rt::tag::SubPointer, 0x100000010ULL), 4294967312.0, 16, "<null>"},
        {"text 12abc", TaggedArg::ofText("12abc"), 12, 12, "12abc"},
        {"text full-width", TaggedArg::ofText("\xA3\xB1\xA3\xB2\xA3\xB3"), 123, 123, "\xA3\xB1\xA3\xB2\xA3\xB3"},
        {"text empty", TaggedArg::ofText(""), 0, 0, "<null>"},
        {"text null", TaggedArg::ofText(nullptr), 0, 0, "<null>"},
        {"byte-set", TaggedArg::ofByteSet(byteSet), 0, 0, "ab"},
        {"byte-set null", TaggedArg::ofByteSet(nullptr), 0, 0, "<null>"},
        {"int array", TaggedArg::ofArray(rt::tag::Int, intArray), 0, 0, "abcd"},
        {"long array, 2 dims", TaggedArg::ofArray(rt::tag::Long, longArray), 0, 0, "AAAABBBB"},
        {"text array", TaggedArg::ofArray(rt::tag::Text, textArray), 0, 0, "<null>"},
        {"date-time", TaggedArg{0, 0, rt::tag::DateTime}, 0, 0, gbk("1899年12月30日")},
        {"omitted", TaggedArg{}, 0, 0, "<null>"},
        {"unit object", TaggedArg::ofUnit(kWindow, kEditBox, 0x10004), 0, 0, "<null>"},
    };
    for (const Case& c : cases) {
        TaggedArg n = run(CoreCommand::ToNumber, {c.value});
        EXPECT_EQ(n.tag, rt::tag::Double) << c.name;
        if (std::isnan(c.number)) EXPECT_TRUE(std::isnan(n.asDouble())) << c.name;
        else EXPECT_DOUBLE_EQ(n.asDouble(), c.number) << c.name;
        TaggedArg i = run(CoreCommand::ToInt, {c.value});
        EXPECT_EQ(i.tag, rt::tag::Int) << c.name;
        EXPECT_EQ(i.asInt(), c.integer) << c.name;
        TaggedArg t = run(CoreCommand::ToText, {c.value});
        EXPECT_EQ(t.tag, rt::tag::Text) << c.name;
        EXPECT_EQ(takeText(t.pointer<char>()), c.text) << c.name;
    }
    rt::FreeBlock(byteSet);
}

TEST_F(CommandsFixture, ToTextOfATextIsANewBlock) {
    const char* original = "abc";
    char* copy = rt::cmd::toText(TaggedArg::ofText(original));
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, original);
    EXPECT_STREQ(copy, "abc");
    rt::FreeBlock(copy);
}

TEST_F(CommandsFixture, DateTimeRendering) {
    const double hms = (13 * 3600 + 5 * 60 + 7) / 86400.0;
    struct Case { double days; const char* utf8; };
    const Case cases[] = {
        {0.0, "1899年12月30日"},
        {2.5, "1900年1月1日12时"},
        {45000.0 + hms, "2023年3月15日13时5分7秒"},
        {45000.0 + (13 * 3600 + 5 * 60) / 86400.0, "2023年3月15日13时5分"},
        {60.0, "1900年2月28日"},
        {61.0, "1900年3月1日"},
        {36585.0, "2000年2月29日"},
        {-1.25, "1899年12月29日6时"},  // negative days keep a positive time of day
        {2958465.0, "9999年12月31日"},
        {-657434.0, "100年1月1日"},
        {45000.0 + 86399.7 / 86400.0, "2023年3月16日"},  // rounds up into the next day
    };
    for (const Case& c : cases) EXPECT_EQ(rt::dateTimeText(c.days), gbk(c.utf8)) << c.days;
    for (double outside : {1e7, -1e7, std::nan(""), std::numeric_limits<double>::infinity()})
        EXPECT_EQ(rt::cmd::toText(withTag(rt::tag::DateTime, std::bit_cast<uint64_t>(outside))), nullptr) << outside;
}

TEST_F(CommandsFixture, ScreenSize) {
    EXPECT_EQ(rt::cmd::screenWidth(), 1920);
    EXPECT_EQ(rt::cmd::screenHeight(), 1080);
    EXPECT_EQ(run(CoreCommand::ScreenWidth, {}).tag, rt::tag::Int);
}

TEST_F(CommandsFixture, ShowMessageMapsTheButtons) {
    using B = rt::MessageButton;
    struct Case { B pressed; int32_t result; };
    const Case cases[] = {{B::Ok, 0},    {B::Cancel, 1}, {B::Abort, 2}, {B::Retry, 3}, {B::Ignore, 4},
                          {B::Yes, 5},   {B::No, 6},     {B::None, 0}};
    for (const Case& c : cases) {
        host.answer = c.pressed;
        TaggedArg r = run(CoreCommand::ShowMessage, {TaggedArg::ofText("q"), TaggedArg::ofInt(4)});
        EXPECT_EQ(r.tag, rt::tag::Int);
        EXPECT_EQ(r.asInt(), c.result) << static_cast<int>(c.pressed);
    }
}

TEST_F(CommandsFixture, ShowMessageStyleAndCaption) {
    struct Case { int32_t flags; uint32_t style; };
    const Case cases[] = {{0, 0x2000}, {4, 0x2004}, {0x1004, 0x1004}, {0x2004, 0x2004}, {0x30, 0x2030}};
    for (const Case& c : cases) {
        host.boxes.clear();
        rt::cmd::showMessage(TaggedArg::ofText("m"), c.flags);
        ASSERT_EQ(host.boxes.size(), 1u);
        EXPECT_EQ(host.boxes[0].style, c.style) << c.flags;
        EXPECT_EQ(host.boxes[0].caption, gbk("信息："));
        EXPECT_EQ(host.boxes[0].owner, nullptr);
    }
    const std::string caption = gbk("提示");
    rt::cmd::showMessage(TaggedArg::ofText("m"), 0, caption.c_str());
    EXPECT_EQ(host.boxes.back().caption, caption);
}

TEST_F(CommandsFixture, ShowMessageTextByTag) {
    void* byteSet = rt::makeByteSet("ab");
    struct Case { TaggedArg message; std::string text; };
    const Case cases[] = {
        {TaggedArg::ofInt(42), "42"},
        {TaggedArg::ofDouble(0.1 + 0.2), "0.3"},
        {TaggedArg::ofBool(true), gbk("真")},
        {TaggedArg::ofText(nullptr), ""},
        {TaggedArg::ofText("a\xD6\xD0" "b"), "a\xD6\xD0" "b"},
        {TaggedArg::ofText("ab\xD6"), "ab"},  // a dangling lead byte ends the text
        {TaggedArg{0, 0x40000000, rt::tag::DateTime}, gbk("1900年1月1日")},  // 2.0 days
        {TaggedArg::ofByteSet(byteSet), ""},
        {TaggedArg{}, ""},
    };
    for (const Case& c : cases) {
        rt::cmd::showMessage(c.message, 0);
        EXPECT_EQ(host.boxes.back().text, c.text);
    }
    rt::FreeBlock(byteSet);
}

TEST_F(CommandsFixture, ShowMessageOwner) {
    window.native = reinterpret_cast<void*>(uintptr_t{0x5000});
    auto ownerWith = [&](int32_t count, TaggedArg owner) {
        TaggedArg args[4] = {TaggedArg::ofText("m"), TaggedArg::ofInt(0), TaggedArg{}, owner};
        rt::CallCommand(rt::commandRoutine(CoreCommand::ShowMessage), count, args);
        return host.boxes.back().owner;
    };
    const TaggedArg windowObject = TaggedArg::ofUnit(kWindow, kEditBox, rt::tag::WindowUnit);
    EXPECT_EQ(ownerWith(4, windowObject), window.native);  // the window itself, whatever the control
    EXPECT_EQ(ownerWith(3, windowObject), nullptr);        // only with four arguments
    EXPECT_EQ(ownerWith(4, TaggedArg::ofUnit(0x52019999, 0, rt::tag::WindowUnit)), nullptr);
    EXPECT_EQ(ownerWith(4, TaggedArg::ofInt(0x5000)), window.native);  // the handle of a live window
    EXPECT_EQ(ownerWith(4, TaggedArg::ofInt(0x5001)), nullptr);
    EXPECT_EQ(ownerWith(4, TaggedArg::ofInt(0)), nullptr);
    EXPECT_EQ(ownerWith(4, TaggedArg::ofText("x")), nullptr);
    window.valid = false;
    EXPECT_EQ(ownerWith(4, windowObject), nullptr);
}

TEST_F(CommandsFixture, ProcessEventsRunsThePump) {
    rt::cmd::processEvents();
    EXPECT_EQ(host.eventRuns, 1);
}

TEST_F(CommandsFixture, DelayWithEventsWaitsWhileProcessing) {
    host.tickPerEventRun = 1;
    for (int32_t n : {0, -5}) {
        rt::cmd::delayWithEvents(n);
        EXPECT_EQ(host.eventRuns, 0) << n;
    }
    // Checks come after 2, 6, 10, ... runs; the first past 50 ms is at 54. The
    // second start lies just below the wrap of the tick count.
    for (uint32_t start : {1000u, 0xFFFFFFF0u}) {
        host.tick = start;
        host.eventRuns = 0;
        rt::cmd::delayWithEvents(50);
        EXPECT_EQ(host.eventRuns, 54) << start;
        EXPECT_EQ(host.tick - start, 54u) << start;
    }
}

TEST_F(CommandsFixture, ClientSizeOfALiveControl) {
    edit.client = {0, 0, 300, 40};
    EXPECT_EQ(rt::cmd::clientWidth(kWindow, kEditBox), 300);
    EXPECT_EQ(rt::cmd::clientHeight(kWindow, kEditBox), 40);
    window.client = {0, 0, 1214, 660};
    EXPECT_EQ(rt::cmd::clientWidth(kWindow, 0), 1214);
}

TEST_F(CommandsFixture, AppendTextAppendsEachTextInOrder) {
    edit.text = "x";
    rt::cmd::appendText(kWindow, kEditBox, {"a\xD6\xD0", nullptr, "", "b"});
    EXPECT_EQ(edit.text, "xa\xD6\xD0" "b");
    // Arguments that are not texts are passed over.
    std::vector<TaggedArg> args{TaggedArg::ofUnit(kWindow, kEditBox, 0x10004), TaggedArg::ofInt(0x41),
                                TaggedArg::ofText("c")};
    rt::CallMethod(rt::commandRoutine(CoreCommand::AppendText), 3, args.data());
    EXPECT_EQ(edit.text, "xa\xD6\xD0" "bc");
}

TEST_F(CommandsFixture, MissingControlEndsTheProgram) {
    struct Case { const char* name; rt::WindowId window; rt::ControlId control; bool appendOnly; };
    const Case cases[] = {
        {"no such window", 0x52019999, kEditBox, false},
        {"no such control", kWindow, 0x16010999, false},
        {"control not created", kWindow, kUnloaded, false},
        {"not an edit box", kWindow, kLabel, true},
    };
    using Call = void (*)(rt::WindowId, rt::ControlId);
    const std::pair<const char*, Call> calls[] = {
        {"ClientWidth", [](rt::WindowId w, rt::ControlId c) { rt::cmd::clientWidth(w, c); }},
        {"ClientHeight", [](rt::WindowId w, rt::ControlId c) { rt::cmd::clientHeight(w, c); }},
        {"AppendText", [](rt::WindowId w, rt::ControlId c) { rt::cmd::appendText(w, c, {"t"}); }},
    };
    for (const Case& c : cases) {
        for (const auto& [command, call] : calls) {
            if (c.appendOnly && std::string(command) != "AppendText") continue;
            host.boxes.clear();
            EXPECT_EQ(exitCodeOf([&] { call(c.window, c.control); }), -1) << c.name << " " << command;
            ASSERT_EQ(host.boxes.size(), 1u) << c.name << " " << command;
            EXPECT_EQ(host.boxes[0].caption, gbk("错误"));
            EXPECT_NE(host.boxes[0].text.find(gbk("指定窗口或窗口组件不存在或尚未载入")), std::string::npos);
            EXPECT_NE(host.boxes[0].text.find(std::to_string(static_cast<int32_t>(c.window))), std::string::npos);
            rt::resetProgramStateForTesting();
        }
    }
}

std::atomic<int> gThreadRuns{0};
std::atomic<intptr_t> gThreadParameter{-1};

void recordThread(void* parameter) {
    gThreadParameter = reinterpret_cast<intptr_t>(parameter);
    ++gThreadRuns;
}

TEST_F(CommandsFixture, StartThreadRunsTheRoutine) {
    gThreadRuns = 0;
    EXPECT_TRUE(rt::cmd::startThread(&recordThread, 7));
    EXPECT_EQ(gThreadParameter, 7);
    EXPECT_TRUE(rt::cmd::startThread(&recordThread));
    EXPECT_EQ(gThreadParameter, 0);
    EXPECT_EQ(gThreadRuns, 2);

    // One argument: a parameter lying past the count is not passed.
    gThreadParameter = -1;
    TaggedArg args[2] = {withTag(rt::tag::SubPointer, reinterpret_cast<uintptr_t>(&recordThread)),
                         TaggedArg::ofInt(9)};
    TaggedArg r = rt::CallMethod(rt::commandRoutine(CoreCommand::StartThread), 1, args);
    EXPECT_EQ(r.tag, rt::tag::Bool);
    EXPECT_EQ(r.low, 1u);
    EXPECT_EQ(gThreadParameter, 0);
}

TEST_F(CommandsFixture, StartThreadHandlesAndRefusals) {
    int32_t first = -1, second = -1;
    EXPECT_TRUE(rt::cmd::startThread(&recordThread, std::nullopt, &first));
    EXPECT_TRUE(rt::cmd::startThread(&recordThread, std::nullopt, &second));
    EXPECT_GT(first, 0);
    EXPECT_GT(second, 0);
    EXPECT_NE(first, second);

    host.threadsFail = true;
    int32_t failed = -1;
    EXPECT_FALSE(rt::cmd::startThread(&recordThread, 1, &failed));
    EXPECT_EQ(failed, 0);

    // No routine to run: refused without asking the host.
    host.threadsFail = false;
    host.threadsStarted = 0;
    EXPECT_FALSE(rt::cmd::startThread(nullptr));
    TaggedArg notARoutine[1] = {TaggedArg::ofText("code")};
    EXPECT_EQ(rt::CallMethod(rt::commandRoutine(CoreCommand::StartThread), 1, notARoutine).low, 0u);
    EXPECT_EQ(host.threadsStarted, 0);
}

}  // namespace
