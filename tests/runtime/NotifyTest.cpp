// Notifications from support libraries, the entry table and the runtime services.
#include <cstring>

#include "runtime/Array.h"
#include "runtime/ConstantRegion.h"
#include "runtime/Dispatch.h"
#include "runtime/EntryTable.h"
#include "runtime/Errors.h"
#include "runtime/Heap.h"
#include "runtime/Notify.h"
#include "runtime/Properties.h"
#include "runtime/RuntimeTestSupport.h"
#include "runtime/Text.h"

using namespace rt_test;

namespace {

constexpr rt::WindowId kWin = 0x52010001;
constexpr rt::ControlId kEdit = 0x16010004;

class RuntimeNotify : public RuntimeFixture {
protected:
    void SetUp() override {
        RuntimeFixture::SetUp();
        rt::WindowRecord& w = rt::windowTable().emplace_back();
        w.id = kWin;
        addUnit(w, 0x06010000, rt::tag::WindowUnit, &windowControl);
        addUnit(w, kEdit, 0x10004, &editControl);
        dispatched = 0;
        loads.clear();
    }
    void TearDown() override {
        rt::setEventDispatchHook(nullptr);
        rt::setWindowLoader(nullptr);
        rt::setMessageLoop(nullptr);
        rt::setTemplateReader(nullptr);
        rt::setWindowDestroyedHook(nullptr);
        RuntimeFixture::TearDown();
    }
    static uintptr_t notify(rt::NotifyCode code, uintptr_t p1 = 0, uintptr_t p2 = 0) {
        return rt::RuntimeNotify(code, p1, p2);
    }

    static inline int dispatched = 0;
    static inline std::vector<std::pair<rt::WindowId, uintptr_t>> loads;
    FakeControl windowControl, editControl;
};

TEST_F(RuntimeNotify, NumericValuesConvertToNumbers) {
    struct Case {
        rt::TaggedArg value;
        double number;
    };
    rt::TaggedArg floatArg{0, 0, rt::tag::Float};
    float f = -1.5f;
    std::memcpy(&floatArg.low, &f, 4);
    for (const Case& c : {Case{{0xFFFFFFC8u, 0, rt::tag::Byte}, 200}, Case{{0xFFFEu, 0, rt::tag::Short}, -2},
                          Case{rt::TaggedArg::ofInt(-7), -7}, Case{rt::TaggedArg::ofLong(-(int64_t(1) << 40)), -1099511627776.0},
                          Case{floatArg, -1.5}, Case{rt::TaggedArg::ofDouble(2.25), 2.25}}) {
        double out = 0;
        EXPECT_EQ(notify(rt::NotifyCode::ToNumber, reinterpret_cast<uintptr_t>(&c.value),
                         reinterpret_cast<uintptr_t>(&out)),
                  1u);
        EXPECT_EQ(out, c.number) << std::hex << c.value.tag;
    }
}

TEST_F(RuntimeNotify, NonNumbersStopTheProgram) {
    for (rt::TaggedArg value : {rt::TaggedArg::ofBool(true), rt::TaggedArg::ofText("1"), rt::TaggedArg{}}) {
        host.boxes.clear();
        rt::resetProgramStateForTesting();
        EXPECT_EQ(exitCodeOf([&] { notify(rt::NotifyCode::ToNumber, reinterpret_cast<uintptr_t>(&value)); }), -1);
        EXPECT_EQ(reportText(), gbk("运行时出错!\r\n\r\n错误信息：欲转换数据类型不是数值\r\n") + detailHead(0, 0) + "\r\n");
    }
}

TEST_F(RuntimeNotify, LiveControlsAreFoundOrRequired) {
    EXPECT_EQ(notify(rt::NotifyCode::FindLiveControl, kWin, kEdit), reinterpret_cast<uintptr_t>(&editControl));
    EXPECT_EQ(notify(rt::NotifyCode::RequireLiveControl, kWin, 0), reinterpret_cast<uintptr_t>(&windowControl));
    editControl.valid = false;
    EXPECT_EQ(notify(rt::NotifyCode::FindLiveControl, kWin, kEdit), 0u);
    EXPECT_EQ(notify(rt::NotifyCode::FindLiveControl, 0x52010005, 0), 0u);

    EXPECT_EQ(exitCodeOf([] { notify(rt::NotifyCode::RequireLiveControl, kWin, 0x16010099); }), -1);
    EXPECT_EQ(reportText(), gbk("运行时出错!\r\n\r\n错误信息：指定窗口或窗口组件不存在或尚未载入\r\n") +
                                detailHead(static_cast<int32_t>(kWin), 0x16010099) +
                                gbk("\r\n所访问窗口的\"标记\"属性值: \"\"\r\n未找到所指定的窗口组件\r\n"));
}

TEST_F(RuntimeNotify, EventsReachTheDispatcherOnlyWhileNotSuppressed) {
    int record = 0;
    auto address = reinterpret_cast<uintptr_t>(&record);
    rt::setEventDispatchHook([](rt::NotifyCode form, void* r) -> uintptr_t {
        ++dispatched;
        *static_cast<int*>(r) = static_cast<int>(form);
        return 1;
    });
    EXPECT_EQ(notify(rt::NotifyCode::RaiseEvent, address), 1u);
    EXPECT_EQ(record, 2008);
    EXPECT_EQ(notify(rt::NotifyCode::RaiseTypedEvent, address), 1u);
    EXPECT_EQ(record, 2031);
    {
        rt::EventBlock block;
        EXPECT_EQ(notify(rt::NotifyCode::RaiseEvent, address), 0u);
    }
    rt::raiseNesting();  // as while a run-time error is shown
    EXPECT_EQ(notify(rt::NotifyCode::RaiseTypedEvent, address), 0u);
    EXPECT_EQ(dispatched, 2);
}

TEST_F(RuntimeNotify, MemoryRequestsFollowTheHeapRules) {
    EXPECT_EQ(notify(rt::NotifyCode::Allocate, SIZE_MAX / 2, 1), 0u);
    EXPECT_TRUE(host.boxes.empty());
    auto* block = reinterpret_cast<char*>(notify(rt::NotifyCode::Allocate, 4, 0));
    std::memcpy(block, "abcd", 4);
    block = reinterpret_cast<char*>(notify(rt::NotifyCode::Resize, reinterpret_cast<uintptr_t>(block), 64));
    EXPECT_EQ(std::memcmp(block, "abcd", 4), 0);
    notify(rt::NotifyCode::Free, reinterpret_cast<uintptr_t>(block));

    // A text array owns its element blocks; the constant empty text is left alone.
    void* array = rt::AllocBlock(8 + 3 * sizeof(void*));
    const int32_t header[2] = {1, 3};
    std::memcpy(array, header, 8);
    void* elements[3] = {rt::makeText("x"), nullptr, const_cast<char*>(rt::ConstantRegion::program().emptyText())};
    std::memcpy(static_cast<char*>(array) + 8, elements, sizeof elements);
    notify(rt::NotifyCode::FreeArray, rt::tag::Text | rt::tag::ArrayFlag, reinterpret_cast<uintptr_t>(array));
}

TEST_F(RuntimeNotify, MessagesErrorsAndTheEnd) {
    for (auto code : {rt::NotifyCode::ProcessEvents, rt::NotifyCode::ProcessEventsAfterLoad,
                      rt::NotifyCode::ProcessEventsForLibrary})
        EXPECT_EQ(notify(code), 0u);
    EXPECT_EQ(host.eventRuns, 3);
    for (int32_t code : {2002, 2030, 2041, 2042, 9000, -1}) EXPECT_EQ(rt::RuntimeNotify(code, 1, 1), 0u) << code;

    static rt::WindowId destroyed = 0;
    rt::setWindowDestroyedHook([](rt::WindowId id) { destroyed = id; });
    EXPECT_EQ(notify(rt::NotifyCode::WindowDestroyed, kWin), 0u);
    EXPECT_EQ(destroyed, kWin);

    const std::string message = gbk("网络错误");
    EXPECT_EQ(exitCodeOf([&] { notify(rt::NotifyCode::ReportError, reinterpret_cast<uintptr_t>(message.c_str())); }), -1);
    EXPECT_EQ(reportText(), gbk("运行时出错!\r\n\r\n错误信息：") + message + "\r\n" + detailHead(0, 0) + "\r\n");

    rt::resetProgramStateForTesting();
    EXPECT_EQ(exitCodeOf([] { notify(rt::NotifyCode::EndProgram, 3); }), 3);
}

TEST_F(RuntimeNotify, WindowsLoadThroughTheInstalledLoader) {
    EXPECT_EQ(notify(rt::NotifyCode::LoadWindow, kWin, 5), 0u);  // no loader: no report
    EXPECT_TRUE(host.boxes.empty());
    rt::setWindowLoader([](rt::WindowId id, uintptr_t options) -> int32_t {
        loads.emplace_back(id, options);
        return id == kWin;
    });
    EXPECT_EQ(notify(rt::NotifyCode::LoadWindow, kWin, 5), 1u);
    EXPECT_EQ(rt::runtimeEntries().loadWindow(kWin), 1);
    EXPECT_EQ(loads, (std::vector<std::pair<rt::WindowId, uintptr_t>>{{kWin, 5}, {kWin, 0}}));

    EXPECT_EQ(exitCodeOf([] { rt::LoadWindow(0x52010002); }), -1);
    EXPECT_EQ(reportText(), gbk("运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n") + detailHead(0x52010002, 0) +
                                gbk("\r\n未找到所指定的窗口\r\n"));
}

TEST_F(RuntimeNotify, EntryTableOrderAndServices) {
    const rt::RuntimeEntryTable& e = rt::runtimeEntries();
    // The entries in their fixed order.
    const void* expected[] = {
        reinterpret_cast<const void*>(&rt::AllocBlock),     reinterpret_cast<const void*>(&rt::FreeBlock),
        reinterpret_cast<const void*>(&rt::ResizeBlock),    reinterpret_cast<const void*>(&rt::CallCommand),
        reinterpret_cast<const void*>(&rt::CallMethod),     reinterpret_cast<const void*>(&rt::ReadProperty),
        reinterpret_cast<const void*>(&rt::WriteProperty),  reinterpret_cast<const void*>(&rt::RaiseErrorCode),
        reinterpret_cast<const void*>(&rt::LoadWindow),     reinterpret_cast<const void*>(&rt::RunMessageLoop),
        reinterpret_cast<const void*>(&rt::EndProgram),     reinterpret_cast<const void*>(&rt::RuntimeService),
        reinterpret_cast<const void*>(&rt::CallDllRoutine)};
    static_assert(sizeof(rt::RuntimeEntryTable) == sizeof expected);
    EXPECT_EQ(std::memcmp(&e, expected, sizeof expected), 0);
    e.runMessageLoop();  // nothing installed: returns
    {
        rt::TaggedArg result = e.callDllRoutine(0, 0, nullptr);
        EXPECT_EQ(result.low | result.high | result.tag, 0u);
    }

    for (int32_t stub : {0, 1, 4, 5, 7, -1}) EXPECT_EQ(rt::RuntimeService(stub, 1, 2, 3, 4), 0) << stub;

    void* array = const_cast<void*>(rt::ConstantRegion::program().emptyArray());
    rt::RuntimeService(rt::service::MakeArrayPrivate, 4, reinterpret_cast<uintptr_t>(&array));
    EXPECT_FALSE(rt::ConstantRegion::program().contains(array));
    rt::FreeBlock(array);

    rt::CleanupRoutine cleanup = [](int) {};
    rt::RuntimeService(rt::service::RegisterCleanup, reinterpret_cast<uintptr_t>(cleanup));
    rt::RuntimeService(rt::service::RegisterCleanup, reinterpret_cast<uintptr_t>(cleanup));
    EXPECT_EQ(rt::cleanupCount(), 1);

    static const rt::ProgramHeader* readWith = nullptr;
    rt::setTemplateReader([](const rt::ProgramHeader* h) { readWith = h; });
    alignas(8) static const uint8_t constants[16] = {0, 0, 0, 0, 0, 0, 0, 0, 1};
    rt::ProgramHeader header;
    header.buildMode = 3;
    header.constantStart = constants;
    header.constantLength = sizeof constants;
    EXPECT_EQ(rt::RuntimeService(rt::service::Initialise, reinterpret_cast<uintptr_t>(&header)), 1);
    EXPECT_EQ(rt::buildMode(), 3u);
    EXPECT_EQ(readWith, &header);
    EXPECT_TRUE(rt::activeConstantRegion().contains(constants + 15));
    rt::FreeBlock(const_cast<uint8_t*>(constants + 8));  // a constant now: ignored

    EXPECT_EQ(rt::RuntimeService(rt::service::Initialise), 1);  // no header: build mode kept
    EXPECT_EQ(rt::buildMode(), 3u);
    EXPECT_EQ(&rt::activeConstantRegion(), &rt::ConstantRegion::program());
}

}  // namespace
