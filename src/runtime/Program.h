// Program-wide runtime state: the clean-up list, the event nesting counter, the
// build mode, and the end of the program.
#pragma once

#include <cstdint>

namespace rt {

// A clean-up routine receives its position in the list (0-based).
using CleanupRoutine = void (*)(int position);

// Service 3: appends the routine unless it is already registered.
void registerCleanup(CleanupRoutine routine);
void discardCleanups();
int cleanupCount();

// While the nesting counter is at least 1 no application event handler runs.
int nestingCounter();
void raiseNesting();

// Events are also held back while a control is being re-created in place.
// Unlike the nesting counter this one is lowered again; EventBlock pairs the calls.
int eventsBlocked();
void blockEvents();
void unblockEvents();
// True while no application event handler may run (either counter above 0).
inline bool eventsSuppressed() { return nestingCounter() >= 1 || eventsBlocked() > 0; }

class EventBlock {
public:
    EventBlock() { blockEvents(); }
    ~EventBlock() { unblockEvents(); }
    EventBlock(const EventBlock&) = delete;
    EventBlock& operator=(const EventBlock&) = delete;
};

// 2 makes the run-time error report break into a debugger.
void setBuildMode(uint32_t mode);
uint32_t buildMode();

bool programEnding();

struct SupportLibrary;
// The support libraries that get the unload notification when the program ends.
void setSupportLibraries(const SupportLibrary* libraries, uint32_t count);

// Hooks run by the end-of-program sequence before the clean-up routines:
// the window layer destroys its windows here. Null for none.
using EndHook = void (*)();
void setEndHook(EndHook hook);

// Ends the program with the exit code. On the main thread: destroy windows,
// run the clean-up routines once in order, exit. On another thread the end is
// handed to the main thread when it can be reached, otherwise the process exits.
[[noreturn]] void EndProgram(int exitCode);

// Leaves the program after its message loop ended because no window is left:
// what is still queued is processed, then the process exits with the code.
// No destructor of program-wide objects runs: a detached thread (the update
// check) may still be using them, and must find them intact until the end.
[[noreturn]] void LeaveProgram(int exitCode);

// Resets the program-wide state; for tests that end programs inside one process.
void resetProgramStateForTesting();

}  // namespace rt
