// The entry table, the window-loading and loop entries, and the runtime services.
#include "runtime/EntryTable.h"

#include "runtime/Array.h"
#include "runtime/ConstantRegion.h"
#include "runtime/Errors.h"
#include "runtime/Heap.h"
#include "runtime/Notify.h"
#include "runtime/Host.h"
#include "runtime/Program.h"
#include "runtime/Properties.h"
#include "runtime/RuntimeTexts.h"

namespace rt {
namespace {

WindowLoader gLoader = nullptr;
MessageLoop gLoop = nullptr;
TemplateReader gTemplateReader = nullptr;

// The bounds taken from a program header stay here for the whole run.
ConstantRegion gHeaderRegion(nullptr, 0);

std::string gProgramDirectory, gProgramFileName;

uintptr_t notifyEntry(int32_t code, uintptr_t p1, uintptr_t p2) { return RuntimeNotify(code, p1, p2); }

// Splits the module path at its last separator; the directory becomes the
// current directory so that relative names resolve beside the program.
void recordProgramPath() {
    std::string path = host().modulePath();
    if (path.empty()) return;
    size_t slash = path.find_last_of("/\\");
    gProgramDirectory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    gProgramFileName = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!gProgramDirectory.empty()) host().changeDirectory(gProgramDirectory);
}

intptr_t initialiseRuntime(const ProgramHeader* header) {
    if (header) setBuildMode(header->buildMode);
    recordProgramPath();
    // The main thread is the host's to know: the terminal host takes the
    // thread that first asks for it, so asking here, on the thread that
    // initialises the runtime, settles it; a window-system host knows its own.
    (void)host();
    if (header && header->constantStart) {
        gHeaderRegion = ConstantRegion(header->constantStart, header->constantLength);
        setActiveConstantRegion(&gHeaderRegion);
    } else {
        setActiveConstantRegion(&ConstantRegion::program());
    }
    if (header && header->libraryTable) {
        setSupportLibraries(header->libraryTable, header->libraryCount);
        for (uint32_t i = 0; i < header->libraryCount; ++i)
            if (header->libraryTable[i].notify)
                header->libraryTable[i].notify(libnotify::Attach, reinterpret_cast<uintptr_t>(&notifyEntry), 0);
    }
    if (gTemplateReader) gTemplateReader(header);
    return 1;
}

}  // namespace

const std::string& programDirectory() { return gProgramDirectory; }
const std::string& programFileName() { return gProgramFileName; }

TaggedArg CallDllRoutine(int32_t, int32_t, TaggedArg*) { return TaggedArg{}; }

void setWindowLoader(WindowLoader loader) { gLoader = loader; }
void setMessageLoop(MessageLoop loop) { gLoop = loop; }
void setTemplateReader(TemplateReader reader) { gTemplateReader = reader; }

int32_t loadWindowWithOptions(WindowId windowId, uintptr_t options) {
    return gLoader ? gLoader(windowId, options) : 0;
}

int32_t LoadWindow(WindowId windowId) {
    int32_t loaded = loadWindowWithOptions(windowId, 0);
    if (!loaded) RaiseRuntimeMessage(texts::MsgStartWindowFailed, static_cast<int32_t>(windowId), 0);
    return loaded;
}

void RunMessageLoop() {
    if (gLoop) gLoop();
}

intptr_t RuntimeService(int32_t number, uintptr_t a1, uintptr_t a2, uintptr_t, uintptr_t) {
    switch (number) {
        case service::MakeArrayPrivate:
            if (a2) makeArrayPrivate(static_cast<size_t>(a1), reinterpret_cast<void**>(a2));
            return 0;
        case service::RegisterCleanup: registerCleanup(reinterpret_cast<CleanupRoutine>(a1)); return 0;
        case service::Initialise: return initialiseRuntime(reinterpret_cast<const ProgramHeader*>(a1));
        default: return 0;
    }
}

const RuntimeEntryTable& runtimeEntries() {
    static const RuntimeEntryTable table = {
        &AllocBlock,    &FreeBlock,      &ResizeBlock,    &CallCommand,    &CallMethod,
        &ReadProperty,  &WriteProperty,  &RaiseErrorCode, &LoadWindow,     &RunMessageLoop,
        &EndProgram,    &RuntimeService, &CallDllRoutine,
    };
    return table;
}

}  // namespace rt
