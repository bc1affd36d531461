// Unit events: the two record forms in which units raise them, the handler
// contract of application routines, handler relocation, and delivery.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "runtime/WindowTable.h"

namespace rt {

// What an application event handler answers: nothing, or a value.
struct HandlerResult {
    bool present = false;
    uint64_t value = 0;

    static HandlerResult none() { return {}; }
    static HandlerResult of(uint64_t v) { return {true, v}; }
    static HandlerResult ofBool(bool b) { return {true, b ? 1u : 0u}; }
};

// An application event handler: the event's arguments in order as 32-bit words
// (64-bit values as two words, low first).
using EventHandler = HandlerResult (*)(const uint32_t* words, int32_t count);

// The application's handler table. The program header's user-code base points
// at one; a stored handler offset is an index into `entries`.
struct HandlerTable {
    const EventHandler* entries = nullptr;
    uint32_t count = 0;
};

// A relocated handler reference: the address of its table entry (base + offset), 0 for none.
// Offset -1 means no handler; false when the offset lies outside the table.
bool relocateHandler(const HandlerTable* table, int32_t offset, uintptr_t& handler);
// Calls a relocated handler (not 0).
HandlerResult callHandler(uintptr_t handler, const uint32_t* words, int32_t count);

// Simple event record (notification RaiseEvent).
struct SimpleEventRecord {
    WindowId window = 0;
    ControlId control = 0;  // 0 = the window itself
    int32_t event = 0;
    int32_t argumentCount = 0;  // 0 to 5
    uint32_t arguments[5] = {};
    int32_t resultPresent = 0;
    uint32_t result = 0;
};

// One argument of the typed form.
struct TypedEventSlot {
    uint32_t low = 0;
    uint32_t high = 0;
    uint32_t tag = 0;
    uint32_t flags = 0;  // bit 0: pass the low word only; bit 1: pass both words
};

namespace slotflag {
inline constexpr uint32_t LowWordOnly = 1u << 0, BothWords = 1u << 1;
}

// Typed event record (notification RaiseTypedEvent).
struct TypedEventRecord {
    WindowId window = 0;
    ControlId control = 0;
    int32_t event = 0;
    int32_t argumentCount = 0;  // 0 to 12
    TypedEventSlot arguments[12] = {};
    int32_t resultPresent = 0;
    uint64_t result = 0;
};

// Delivers a record to the handler bound to its unit and event: the runtime's
// event delivery. Nothing is delivered while events are suppressed; a missing
// window or unit, or a unit type that raises no events, ends the program with
// the run-time error report. Returns 1 when a handler ran.
uintptr_t deliverSimpleEvent(SimpleEventRecord& record);
uintptr_t deliverTypedEvent(TypedEventRecord& record);

// What units use: raises the event in the simple form through the runtime's
// notification entry and tells what the handler answered.
struct EventOutcome {
    bool handled = false;  // a handler ran
    bool resultPresent = false;
    uint32_t result = 0;
    // The handler returned false (a veto where the unit asks a question).
    bool vetoed() const { return handled && resultPresent && result == 0; }
};
EventOutcome raiseEvent(WindowId window, ControlId control, int32_t event, std::initializer_list<uint32_t> arguments = {});

// The event source while a handler runs, (0, 0) otherwise.
struct EventSource {
    WindowId window = 0;
    ControlId control = 0;
};
EventSource currentEventSource();

}  // namespace rt
