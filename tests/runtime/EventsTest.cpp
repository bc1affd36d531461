// Event delivery: handler relocation, the lookups that end the program, copy
// chains, the two record forms, results and suppression.
#include <vector>

#include "runtime/EntryTable.h"
#include "runtime/Events.h"
#include "runtime/Notify.h"
#include "runtime/Program.h"
#include "runtime/RuntimeTestSupport.h"

using namespace rt_test;

namespace {

constexpr rt::WindowId kWin = 0x52010001;
constexpr rt::ControlId kButton = 0x16010093, kCopy = 0x16010094, kMenuItem = 0x26010350;
constexpr uint32_t kButtonType = 0x1000B;

std::vector<uint32_t> gWords;
int gCalls = 0;
rt::EventSource gSource;

rt::HandlerResult record(const uint32_t* words, int32_t count) {
    ++gCalls;
    gWords.assign(words, words + count);
    gSource = rt::currentEventSource();
    return {};
}
rt::HandlerResult answersFalse(const uint32_t*, int32_t) { return rt::HandlerResult::ofBool(false); }
rt::HandlerResult answersWide(const uint32_t*, int32_t) { return rt::HandlerResult::of(0x1122334455667788ull); }

const rt::EventHandler kEntries[] = {&record, &answersFalse, &answersWide};
const rt::HandlerTable kTable{kEntries, 3};

// A unit type that raises events (or not).
class ButtonType final : public rt::UnitType {
public:
    uint32_t typeFlags = rt::kEventCapableFlags;
    uint32_t libraryType() const override { return kButtonType; }
    const std::vector<uint16_t>& ownPropertyTypes() const override { static std::vector<uint16_t> none; return none; }
    uint32_t flags() const override { return typeFlags; }
    rt::PropertyValue readProperty(const rt::WindowRecord&, const rt::UnitRecord&, uint32_t) override { return {}; }
    int writeProperty(rt::WindowRecord&, rt::UnitRecord&, uint32_t, const rt::PropertyValue&) override { return 0; }
};

uintptr_t handler(int32_t offset) {
    uintptr_t h = 0;
    EXPECT_TRUE(rt::relocateHandler(&kTable, offset, h));
    return h;
}

class RuntimeEvents : public RuntimeFixture {
protected:
    void SetUp() override {
        RuntimeFixture::SetUp();
        rt::registerUnitType(&type);
        rt::WindowRecord& w = rt::windowTable().emplace_back();
        w.id = kWin;
        addUnit(w, 0x06010000, rt::tag::WindowUnit);
        rt::UnitRecord& button = addUnit(w, kButton, kButtonType);
        button.events = {{0, handler(0)}, {1, handler(1)}, {2, handler(2)}};
        addUnit(w, kCopy, kButtonType).copyOf = kButton;
        addUnit(w, kMenuItem, rt::tag::MenuUnit).clickHandler = handler(0);
        gWords.clear();
        gCalls = 0;
    }
    ButtonType type;
};

TEST(HandlerRelocation, OffsetsIndexTheTable) {
    uintptr_t h = 1;
    EXPECT_TRUE(rt::relocateHandler(&kTable, -1, h));
    EXPECT_EQ(h, 0u);
    EXPECT_TRUE(rt::relocateHandler(&kTable, 0, h));
    EXPECT_EQ(h, reinterpret_cast<uintptr_t>(&kEntries[0]));  // the base itself
    EXPECT_TRUE(rt::relocateHandler(&kTable, 2, h));
    EXPECT_EQ(h, reinterpret_cast<uintptr_t>(&kEntries[2]));
    EXPECT_FALSE(rt::relocateHandler(&kTable, 3, h));
    EXPECT_FALSE(rt::relocateHandler(&kTable, -2, h));
    EXPECT_FALSE(rt::relocateHandler(nullptr, 0, h));
}

TEST_F(RuntimeEvents, SimpleEventsPassTheirWordsAndTheSource) {
    rt::EventOutcome out = rt::raiseEvent(kWin, kButton, 0, {7, 8, 9});
    EXPECT_TRUE(out.handled);
    EXPECT_FALSE(out.resultPresent);  // no value: the unit's default action happens
    EXPECT_FALSE(out.vetoed());
    EXPECT_EQ(gWords, (std::vector<uint32_t>{7, 8, 9}));
    EXPECT_EQ(gSource.control, kButton);
    EXPECT_EQ(rt::currentEventSource().control, 0u);  // cleared afterwards

    EXPECT_TRUE(rt::raiseEvent(kWin, kButton, 1).vetoed());
    EXPECT_FALSE(rt::raiseEvent(kWin, kButton, 5).handled);  // no binding, no handler
    // Copies use the handlers of the unit they were copied from; menu items their click handler.
    rt::raiseEvent(kWin, kCopy, 0, {1});
    rt::raiseEvent(kWin, kMenuItem, 0);
    EXPECT_EQ(gCalls, 3);
}

TEST_F(RuntimeEvents, TypedSlotsPassOneOrTwoWords) {
    rt::TypedEventRecord r;
    r.window = kWin;
    r.control = kButton;
    r.event = 0;
    r.argumentCount = 5;
    r.arguments[0] = {0xFFFFFF80u, 0, rt::tag::Byte, 0};          // zero-extended
    r.arguments[1] = {0x0000FFFEu, 0, rt::tag::Short, 0};         // sign-extended
    r.arguments[2] = {1, 2, rt::tag::Double, 0};                  // 8-byte values pass both words
    r.arguments[3] = {3, 4, rt::tag::Int, rt::slotflag::BothWords};
    r.arguments[4] = {5, 6, rt::tag::Long, rt::slotflag::LowWordOnly};
    EXPECT_EQ(rt::RuntimeNotify(rt::NotifyCode::RaiseTypedEvent, reinterpret_cast<uintptr_t>(&r)), 1u);
    EXPECT_EQ(gWords, (std::vector<uint32_t>{0x80, 0xFFFFFFFE, 1, 2, 3, 4, 5}));
    EXPECT_EQ(r.resultPresent, 0);

    r.event = 2;
    rt::RuntimeNotify(rt::NotifyCode::RaiseTypedEvent, reinterpret_cast<uintptr_t>(&r));
    EXPECT_EQ(r.resultPresent, 1);
    EXPECT_EQ(r.result, 0x1122334455667788ull);  // the typed form keeps 64 bits
}

TEST_F(RuntimeEvents, NothingIsDeliveredWhileSuppressed) {
    {
        rt::EventBlock block;
        EXPECT_FALSE(rt::raiseEvent(kWin, kButton, 0).handled);
    }
    rt::raiseNesting();  // as while a run-time error report is shown
    EXPECT_FALSE(rt::raiseEvent(kWin, kButton, 0).handled);
    EXPECT_FALSE(rt::raiseEvent(0x52019999, 0, 0).handled);  // not even the lookups run
    EXPECT_EQ(gCalls, 0);
}

TEST_F(RuntimeEvents, AMissingSourceEndsTheProgram) {
    struct Case {
        rt::WindowId window;
        rt::ControlId control;
        const char* message;
    };
    for (const Case& c : {Case{0x52019999, 0, "未找到引发事件的窗口"}, Case{kWin, 0x16019999, "未找到引发事件的窗口组件"}}) {
        host.boxes.clear();
        rt::resetProgramStateForTesting();
        EXPECT_EQ(exitCodeOf([&] { rt::raiseEvent(c.window, c.control, 0); }), -1);
        EXPECT_NE(reportText().find(gbk(c.message)), std::string::npos) << c.message;
    }
    host.boxes.clear();
    rt::resetProgramStateForTesting();
    type.typeFlags = 0;
    EXPECT_EQ(exitCodeOf([&] { rt::raiseEvent(kWin, kButton, 0); }), -1);
    EXPECT_NE(reportText().find(gbk("引发事件的窗口组件无效")), std::string::npos);
}

// ---- Start-up services ----------------------------------------------------------

class PathHost final : public rt::Host {
public:
    std::string changedTo;
    rt::MessageButton showMessageBox(const char*, const char*, uint32_t, void*) override { return {}; }
    void processPendingEvents() override {}
    uint32_t tickCount() override { return 0; }
    rt::ScreenSize primaryScreenSize() override { return {}; }
    bool startThread(rt::ThreadRoutine, void*) override { return false; }
    bool isMainThread() override { return true; }
    bool requestEndOnMainThread(int) override { return false; }
    std::string modulePath() override { return "/opt/impostra/bin/impostra"; }
    void changeDirectory(const std::string& d) override { changedTo = d; }
    [[noreturn]] void exitProcess(int code) override { throw ProgramExit{code}; }
};

std::vector<int32_t> gLibraryCodes;
uintptr_t libraryNotify(int32_t code, uintptr_t p1, uintptr_t) {
    gLibraryCodes.push_back(code);
    if (code == rt::libnotify::Attach) EXPECT_NE(p1, 0u);  // the runtime's notification entry
    return 0;
}

TEST(RuntimeStartUp, InitialisationRecordsThePathAndAttachesLibraries) {
    PathHost pathHost;
    rt::setHost(&pathHost);
    rt::resetProgramStateForTesting();
    gLibraryCodes.clear();
    static const rt::SupportLibrary libraries[] = {{"one", &libraryNotify}, {"two", &libraryNotify}};
    rt::ProgramHeader header;
    header.buildMode = 3;
    header.libraryCount = 2;
    header.libraryTable = libraries;
    EXPECT_EQ(rt::RuntimeService(rt::service::Initialise, reinterpret_cast<uintptr_t>(&header)), 1);
    EXPECT_EQ(rt::programDirectory(), "/opt/impostra/bin/");
    EXPECT_EQ(rt::programFileName(), "impostra");
    EXPECT_EQ(pathHost.changedTo, "/opt/impostra/bin/");
    EXPECT_EQ(gLibraryCodes, (std::vector<int32_t>{1, 1}));
    // The end of the program unloads them, after the clean-up routines.
    EXPECT_EQ(exitCodeOf([] { rt::EndProgram(0); }), 0);
    EXPECT_EQ(gLibraryCodes, (std::vector<int32_t>{1, 1, 6, 6}));
    rt::resetProgramStateForTesting();
    rt::setHost(nullptr);
}

}  // namespace
