// The run-time error report: its text, the window lines, and how the program ends.
#include <vector>

#include "runtime/Errors.h"
#include "runtime/Program.h"
#include "runtime/RuntimeTestSupport.h"

using namespace rt_test;

namespace {

constexpr rt::WindowId kMain = 0x52010001;
constexpr rt::ControlId kWindowUnit = 0x06010000, kButton = 0x16010003, kMenuItem = 0x26010001;

class RuntimeErrorReport : public RuntimeFixture {
protected:
    void SetUp() override {
        RuntimeFixture::SetUp();
        rt::WindowRecord& w = rt::windowTable().emplace_back();
        w.id = kMain;
        addUnit(w, kWindowUnit, rt::tag::WindowUnit).tag = gbk("主窗");
        addUnit(w, kButton, 0x10005).tag = "btn";
        addUnit(w, kMenuItem, rt::tag::MenuUnit).tag = "menu";
        calls.clear();
    }

    static inline std::vector<int> calls;
    static void cleanupA(int position) { calls.push_back(100 + position); }
    static void cleanupB(int position) { calls.push_back(200 + position); }
};

const std::string kWindowLine = gbk("\r\n所访问窗口的\"标记\"属性值: \"主窗\"");

TEST_F(RuntimeErrorReport, WindowLinesFollowTheRelatedValues) {
    struct Case {
        int32_t related1, related2;
        std::string lines;
    };
    const Case cases[] = {
        {0, 0, ""},
        {0x04000007, 12, ""},  // a routine id
        {static_cast<int32_t>(kMain), 0, kWindowLine + gbk("\r\n所访问窗口组件的\"标记\"属性值: \"主窗\"")},
        {static_cast<int32_t>(kMain), static_cast<int32_t>(kButton),
         kWindowLine + gbk("\r\n所访问窗口组件的\"标记\"属性值: \"btn\"")},
        {static_cast<int32_t>(kMain), static_cast<int32_t>(kMenuItem), kWindowLine + gbk("\r\n未找到所指定的窗口组件")},
        {static_cast<int32_t>(kMain), 0x16010077, kWindowLine + gbk("\r\n未找到所指定的窗口组件")},
        {0x52010002, 0, gbk("\r\n未找到所指定的窗口")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.related1);
        host.boxes.clear();
        rt::resetProgramStateForTesting();
        EXPECT_EQ(exitCodeOf([&] { rt::ReportRuntimeError({nullptr, 0, c.related1, c.related2}); }), -1);
        // Code 0 and no message: the head line, then the detail text alone.
        EXPECT_EQ(reportText(), gbk("运行时出错!\r\n") + detailHead(c.related1, c.related2) + c.lines + "\r\n");
        EXPECT_EQ(host.boxes[0].caption, gbk("错误"));
    }
}

TEST_F(RuntimeErrorReport, CodeAndMessageLinesPrecedeTheDetail) {
    EXPECT_EQ(exitCodeOf([] { rt::RaiseErrorCode(9, -1, 2); }), -1);
    EXPECT_EQ(reportText(),
              gbk("运行时出错!\r\n\r\n错误代码：9\r\n\r\n错误信息：“多项选择”命令的索引值参数小于零或超出了所提供参数表范围\r\n") +
                  detailHead(-1, 2) + "\r\n");
}

TEST_F(RuntimeErrorReport, CleanupRoutinesDoNotRunAfterAnErrorAndEventsStayBlocked) {
    rt::registerCleanup(&cleanupA);
    EXPECT_EQ(exitCodeOf([] { rt::RaiseRuntimeMessage("x"); }), -1);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(rt::cleanupCount(), 0);
    EXPECT_GE(rt::nestingCounter(), 1);
    EXPECT_TRUE(rt::eventsSuppressed());
    EXPECT_EQ(host.debuggerBreaks, 0);
}

TEST_F(RuntimeErrorReport, EndProgramRunsEachCleanupOnceInOrder) {
    rt::registerCleanup(&cleanupA);
    rt::registerCleanup(&cleanupB);
    rt::registerCleanup(&cleanupA);
    EXPECT_EQ(rt::cleanupCount(), 2);
    EXPECT_EQ(exitCodeOf([] { rt::EndProgram(0); }), 0);
    EXPECT_EQ(calls, (std::vector<int>{100, 201}));
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(RuntimeErrorReport, BuildModeTwoBreaksIntoTheDebugger) {
    rt::setBuildMode(2);
    EXPECT_EQ(exitCodeOf([] { rt::RaiseErrorCode(1, 0, 0); }), -1);
    EXPECT_EQ(host.debuggerBreaks, 1);
}

}  // namespace
