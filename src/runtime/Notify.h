// The one call-back entry through which support libraries reach the runtime.
#pragma once

#include <cstdint>

#include "runtime/WindowTable.h"

namespace rt {

enum class NotifyCode : int32_t {
    WindowDestroyed = 2000,     // p1 WindowId
    ToNumber = 2001,            // p1 const TaggedArg*, p2 double* (out, may be null)
    LoadWindow = 2005,          // p1 WindowId, p2 options
    FindLiveControl = 2006,     // p1 WindowId, p2 ControlId -> LiveControl* or null
    RequireLiveControl = 2007,  // as 2006; a missing control ends the program
    RaiseEvent = 2008,          // p1 simple event record
    ProcessEvents = 2009,       // no parameters
    ProcessEventsAfterLoad = 2010,
    ProcessEventsForLibrary = 2018,
    FreeArray = 2023,   // p1 array tag, p2 array block
    Allocate = 2024,    // p1 byte count, p2 nonzero: return null on failure instead of reporting
    Free = 2025,        // p1 block
    Resize = 2026,      // p1 block, p2 byte count -> block
    ReportError = 2027, // p1 GBK message text; does not return
    EndProgram = 2028,  // p1 exit code; does not return
    RaiseTypedEvent = 2031,  // p1 typed event record
    Last = 2041,
};

// Serves a notification. The result is pointer-wide so that codes answering a
// block or a control can return it whole; codes without a result give 0, and
// so does every code the runtime does not serve.
//
// ToNumber (2001): the number is written to *p2 when p2 is not null and the
// result is 1; a value that is not one of the six numeric types ends the
// program with "欲转换数据类型不是数值".
uintptr_t RuntimeNotify(int32_t code, uintptr_t p1 = 0, uintptr_t p2 = 0);
inline uintptr_t RuntimeNotify(NotifyCode code, uintptr_t p1 = 0, uintptr_t p2 = 0) {
    return RuntimeNotify(static_cast<int32_t>(code), p1, p2);
}

// The number a numeric tagged value holds; anything else ends the program.
double numberOfTaggedValue(const TaggedArg* value);

// Installed by the window layer; null for none.
// Told after a window has been destroyed.
using WindowDestroyedHook = void (*)(WindowId windowId);
void setWindowDestroyedHook(WindowDestroyedHook hook);
// Replaces the runtime's own event delivery (deliverSimpleEvent / deliverTypedEvent)
// for a unit event record (code is RaiseEvent or RaiseTypedEvent); returns 1 when
// a handler ran. Not called while events are suppressed. Null restores the runtime's.
using EventDispatchHook = uintptr_t (*)(NotifyCode form, void* record);
void setEventDispatchHook(EventDispatchHook hook);

}  // namespace rt
