// How the process really ends: exit statuses and clean-up routines, in child processes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "runtime/Errors.h"
#include "runtime/Program.h"

namespace {

void cleanupFirst(int position) { std::fprintf(stderr, "[cleanup first at %d]", position); }
void cleanupSecond(int position) { std::fprintf(stderr, "[cleanup second at %d]", position); }

void endAfterRegistering(int code) {
    rt::registerCleanup(cleanupFirst);
    rt::registerCleanup(cleanupSecond);
    rt::registerCleanup(cleanupFirst);  // already there: runs once
    rt::EndProgram(code);
}

}  // namespace

using ::testing::ExitedWithCode;

TEST(RuntimeProgramExitDeathTest, EndProgramRunsCleanupsOnceInOrder) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(endAfterRegistering(0), ExitedWithCode(0),
                "^\\[cleanup first at 0\\]\\[cleanup second at 1\\]$");
    EXPECT_EXIT(endAfterRegistering(7), ExitedWithCode(7), "cleanup second at 1");
}

TEST(RuntimeProgramExitDeathTest, RunTimeErrorExitsWithMinusOneAndSkipsCleanups) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // -1 is 255 as a process exit status. The terminal host writes the report to
    // standard error; the clean-up routines must not appear after it.
    EXPECT_EXIT(
        {
            rt::registerCleanup(cleanupFirst);
            rt::RaiseErrorCode(1, 0, 0);
        },
        ExitedWithCode(255), "^[^\\[]*$");
}

TEST(RuntimeProgramExitDeathTest, EndFromAnotherThreadWithoutAWindowSystemExitsAtOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::thread([] { rt::EndProgram(3); }).join();
            std::fprintf(stderr, "main thread went on");
            std::_Exit(9);
        },
        ExitedWithCode(3), "");
}

namespace {

// Program-wide objects that a detached thread still uses when the loop ends.
struct StillInUse {
    bool inUse = false;
    ~StillInUse() {
        if (inUse) std::fprintf(stderr, "[destroyed under the thread]");
    }
};
StillInUse gInUse;

}  // namespace

// The program used to return from main with the update thread still running:
// the objects it used were destroyed under it and the process crashed.
TEST(RuntimeProgramExitDeathTest, LeavingAfterTheLoopDestroysNothingAndSkipsCleanups) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            rt::registerCleanup(cleanupFirst);
            gInUse.inUse = true;
            std::thread([] {
                for (;;) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }).detach();
            rt::LeaveProgram(5);
        },
        ExitedWithCode(5), "^$");
}
