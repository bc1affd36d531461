// Program-wide state and the end-of-program sequence.
#include "runtime/Program.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <mutex>
#include <vector>

#include "runtime/ConstantRegion.h"
#include "runtime/EntryTable.h"
#include "runtime/Host.h"

namespace rt {
namespace {

std::mutex gCleanupMutex;
std::vector<CleanupRoutine> gCleanups;
std::atomic<int> gNesting{0};
std::atomic<int> gBlocked{0};
std::atomic<uint32_t> gBuildMode{0};
std::atomic<bool> gEnding{false};
EndHook gEndHook = nullptr;
const SupportLibrary* gLibraries = nullptr;
uint32_t gLibraryCount = 0;

}  // namespace

void registerCleanup(CleanupRoutine routine) {
    std::lock_guard lock(gCleanupMutex);
    if (routine && std::find(gCleanups.begin(), gCleanups.end(), routine) == gCleanups.end())
        gCleanups.push_back(routine);
}

void discardCleanups() {
    std::lock_guard lock(gCleanupMutex);
    gCleanups.clear();
}

int cleanupCount() {
    std::lock_guard lock(gCleanupMutex);
    return static_cast<int>(gCleanups.size());
}

int nestingCounter() { return gNesting.load(); }
void raiseNesting() { gNesting.fetch_add(1); }

int eventsBlocked() { return gBlocked.load(); }
void blockEvents() { gBlocked.fetch_add(1); }
void unblockEvents() { gBlocked.fetch_sub(1); }

void setBuildMode(uint32_t mode) { gBuildMode = mode; }
uint32_t buildMode() { return gBuildMode; }

bool programEnding() { return gEnding; }
void setEndHook(EndHook hook) { gEndHook = hook; }

void setSupportLibraries(const SupportLibrary* libraries, uint32_t count) {
    gLibraries = libraries;
    gLibraryCount = libraries ? count : 0;
}

void EndProgram(int exitCode) {
    Host& h = host();
    if (!h.isMainThread()) {
        // The main thread owns the windows and the clean-up routines: it ends
        // the program and exits the process while this thread waits.
        if (!gEnding && h.requestEndOnMainThread(exitCode))
            for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
        h.exitProcess(exitCode);
    }
    if (!gEnding.exchange(true)) {
        if (gEndHook) gEndHook();
        std::vector<CleanupRoutine> routines;
        {
            std::lock_guard lock(gCleanupMutex);
            routines.swap(gCleanups);
        }
        for (size_t i = 0; i < routines.size(); ++i) routines[i](static_cast<int>(i));
        for (uint32_t i = 0; i < gLibraryCount; ++i)
            if (gLibraries[i].notify) gLibraries[i].notify(libnotify::Unload, 0, 0);
        setActiveConstantRegion(nullptr);
    }
    h.exitProcess(exitCode);
    std::abort();  // a host whose exit returned
}

void LeaveProgram(int exitCode) {
    Host& h = host();
    // From here on nothing new is shown: a box asked for by another thread is answered with none.
    gEnding = true;
    h.processPendingEvents();
    h.exitProcess(exitCode);
    std::abort();  // a host whose exit returned
}

void resetProgramStateForTesting() {
    discardCleanups();
    gNesting = 0;
    gBlocked = 0;
    gBuildMode = 0;
    gEnding = false;
    gEndHook = nullptr;
    setSupportLibraries(nullptr, 0);
    setActiveConstantRegion(&ConstantRegion::program());
}

}  // namespace rt
