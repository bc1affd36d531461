// The fixed table of entry points through which application code calls the runtime,
// and the numbered runtime services.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "runtime/Dispatch.h"
#include "runtime/Value.h"
#include "runtime/WindowTable.h"

namespace rt {

// A support library linked into the program. The runtime calls its notification
// entry with code 1 at initialisation (p1: the runtime's notification function)
// and with code 6 when the program ends (unload).
struct SupportLibrary {
    const char* name;
    uintptr_t (*notify)(int32_t code, uintptr_t p1, uintptr_t p2);
};
namespace libnotify {
inline constexpr int32_t Attach = 1, Unload = 6;
}

// The fixed record in the program's data that describes the program to the runtime.
struct ProgramHeader {
    uint32_t buildMode = 0;  // 2: the run-time error report breaks into a debugger
    uint32_t reserved = 0;
    uint32_t runtimeVersion = 0;
    const void* userCodeBase = nullptr;  // base of event handler offsets: a const HandlerTable*
    const uint8_t* constantStart = nullptr;
    uint32_t constantLength = 0;
    const uint8_t* templateStart = nullptr;
    uint32_t templateLength = 0;
    uint32_t libraryCount = 0;
    const SupportLibrary* libraryTable = nullptr;
};

// The program's directory (with a trailing separator) and file name, as
// recorded at initialisation from the host's module path; empty before.
const std::string& programDirectory();
const std::string& programFileName();

// Calls a routine of an external DLL by index. This program loads none: the
// entry answers an all-zero result record.
TaggedArg CallDllRoutine(int32_t index, int32_t count, TaggedArg* args);

// Loads the window with that id (non-modal, no owner); nonzero on success. A
// failure (or no window layer installed) reports "载入启动窗口失败" with the
// window id and 0 as related values, which ends the program.
int32_t LoadWindow(WindowId windowId);
// Runs the message loop until no loaded window is left; returns at once when
// no loop is installed.
void RunMessageLoop();

// The window layer's loader: options carry the re-use and modal switches and
// the owner as the window layer defines them; nonzero on success.
using WindowLoader = int32_t (*)(WindowId windowId, uintptr_t options);
void setWindowLoader(WindowLoader loader);
// The installed loader's result, or 0 when none is installed. No report.
int32_t loadWindowWithOptions(WindowId windowId, uintptr_t options);

using MessageLoop = void (*)();
void setMessageLoop(MessageLoop loop);

// Reads every window template of the program into the window table (service 6).
using TemplateReader = void (*)(const ProgramHeader* header);
void setTemplateReader(TemplateReader reader);

namespace service {
inline constexpr int32_t FindFile = 0, CloseFileSearch = 1, MakeArrayPrivate = 2, RegisterCleanup = 3,
                         ResolveDllRoutine = 4, WriteTypedProperty = 5, Initialise = 6;
}

// Numbered services; arguments are pointer-wide so that addresses pass whole.
//   2 make an array private: a1 element size, a2 address of the array variable (void**); result 0.
//   3 register a clean-up routine: a1 the CleanupRoutine; result 0.
//   6 initialise the runtime: a1 a const ProgramHeader* or 0. With a header the
//     build mode and the constant region come from it; without one the build
//     mode set so far is kept and the program's own constant region is used.
//     The module path is split into directory and file name and the directory
//     becomes the current directory; each support library of the header is
//     attached; then the template reader runs. Result 1.
//   0 find file, 1 close a file search, 4 resolve a DLL routine, 5 write a
//     property from a typed value: not offered by this runtime. They do
//     nothing and answer 0 (no match, no routine, nothing written), as does
//     every unknown number.
intptr_t RuntimeService(int32_t number, uintptr_t a1 = 0, uintptr_t a2 = 0, uintptr_t a3 = 0, uintptr_t a4 = 0);

struct RuntimeEntryTable {
    void* (*allocBlock)(size_t bytes);
    void (*freeBlock)(void* block);
    void* (*resizeBlock)(void* block, size_t bytes);
    TaggedArg (*callCommand)(CommandRoutine routine, int32_t count, TaggedArg* args);
    TaggedArg (*callMethod)(CommandRoutine routine, int32_t count, TaggedArg* args);
    Words (*readProperty)(WindowId windowId, ControlId controlId, PropertyIndex index, int32_t subIndex);
    void (*writeProperty)(WindowId windowId, ControlId controlId, PropertyIndex index, int32_t subIndex, Words value);
    void (*raiseErrorCode)(int32_t code, int32_t related1, int32_t related2);  // does not return
    int32_t (*loadWindow)(WindowId windowId);
    void (*runMessageLoop)();
    void (*endProgram)(int exitCode);  // does not return
    intptr_t (*runtimeService)(int32_t number, uintptr_t a1, uintptr_t a2, uintptr_t a3, uintptr_t a4);
    TaggedArg (*callDllRoutine)(int32_t index, int32_t count, TaggedArg* args);
};

const RuntimeEntryTable& runtimeEntries();

}  // namespace rt
