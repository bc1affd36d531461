// Event delivery from units to the application's handlers, and handler relocation.
#include "runtime/Events.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "runtime/Errors.h"
#include "runtime/Notify.h"
#include "runtime/Program.h"
#include "runtime/RuntimeTexts.h"

namespace rt {
namespace {

std::atomic<WindowId> gSourceWindow{0};
std::atomic<ControlId> gSourceControl{0};

// Sets the event source for the duration of a handler and restores the
// previous one afterwards, so that a handler re-entered from inside
// ProcessEvents leaves the outer handler's source in place.
class SourceScope {
public:
    SourceScope(WindowId w, ControlId c) : window_(gSourceWindow.exchange(w)), control_(gSourceControl.exchange(c)) {}
    ~SourceScope() {
        gSourceWindow = window_;
        gSourceControl = control_;
    }

private:
    WindowId window_;
    ControlId control_;
};

// The handler bound to the record's unit and event, after the lookups that
// end the program when the source is missing or cannot raise events.
uintptr_t handlerFor(WindowId windowId, ControlId controlId, int32_t event) {
    WindowRecord* window = findWindow(windowId);
    if (!window) RaiseRuntimeMessage(texts::MsgEventWindowMissing, static_cast<int32_t>(windowId),
                                      static_cast<int32_t>(controlId));
    UnitRecord* unit = window->findUnit(controlId);
    if (!unit) RaiseRuntimeMessage(texts::MsgEventUnitMissing, static_cast<int32_t>(windowId),
                                    static_cast<int32_t>(controlId));
    // A unit copied at run time uses the handlers of the first unit of its chain.
    for (size_t guard = 0; unit->copyOf != 0 && guard < window->units.size(); ++guard) {
        UnitRecord* original = window->findUnit(unit->copyOf);
        if (!original || original == unit) break;
        unit = original;
    }
    if (idkind::isMenuItem(unit->id) || unit->type == tag::MenuUnit) return unit->clickHandler;
    UnitType* type = findUnitType(unit->type);
    if (!type || (type->flags() & kEventCapableFlags) == 0)
        RaiseRuntimeMessage(texts::MsgEventUnitInvalid, static_cast<int32_t>(windowId),
                            static_cast<int32_t>(controlId));
    for (const EventBinding& binding : unit->events)
        if (binding.event == event) return binding.handler;
    return 0;
}

// The words a typed slot passes: both words for 8-byte values and for slots
// that ask for them, the low word alone otherwise; bytes are zero-extended
// and shorts sign-extended.
void appendSlotWords(const TypedEventSlot& slot, std::vector<uint32_t>& words) {
    bool both = (slot.flags & slotflag::BothWords) != 0;
    if (!(slot.flags & slotflag::LowWordOnly)) {
        switch (slot.tag) {
            case 0x10003: case tag::DateTime: case tag::Long: case tag::Double: case 0x80000008: both = true; break;
            default: break;
        }
    }
    if (slot.flags & slotflag::LowWordOnly) both = false;
    uint32_t low = slot.low;
    if (!both) {
        if (slot.tag == tag::Byte) low = static_cast<uint8_t>(low);
        else if (slot.tag == tag::Short) low = static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(low)));
    }
    words.push_back(low);
    if (both) words.push_back(slot.high);
}

}  // namespace

bool relocateHandler(const HandlerTable* table, int32_t offset, uintptr_t& handler) {
    handler = 0;
    if (offset == -1) return true;
    if (!table || offset < 0 || static_cast<uint32_t>(offset) >= table->count) return false;
    handler = reinterpret_cast<uintptr_t>(table->entries + offset);
    return true;
}

HandlerResult callHandler(uintptr_t handler, const uint32_t* words, int32_t count) {
    const auto* entry = reinterpret_cast<const EventHandler*>(handler);
    if (!entry || !*entry) return {};
    return (*entry)(words, count);
}

uintptr_t deliverSimpleEvent(SimpleEventRecord& record) {
    if (eventsSuppressed()) return 0;
    uintptr_t handler = handlerFor(record.window, record.control, record.event);
    if (!handler) return 0;
    int32_t count = std::clamp(record.argumentCount, 0, 5);
    HandlerResult result;
    {
        SourceScope source(record.window, record.control);
        result = callHandler(handler, record.arguments, count);
    }
    if (result.present) {
        record.resultPresent = 1;
        record.result = static_cast<uint32_t>(result.value);
    }
    return 1;
}

uintptr_t deliverTypedEvent(TypedEventRecord& record) {
    if (eventsSuppressed()) return 0;
    uintptr_t handler = handlerFor(record.window, record.control, record.event);
    if (!handler) return 0;
    int32_t count = std::clamp(record.argumentCount, 0, 12);
    std::vector<uint32_t> words;
    words.reserve(static_cast<size_t>(count) * 2);
    for (int32_t i = 0; i < count; ++i) appendSlotWords(record.arguments[i], words);
    HandlerResult result;
    {
        SourceScope source(record.window, record.control);
        result = callHandler(handler, words.data(), static_cast<int32_t>(words.size()));
    }
    if (result.present) {
        record.resultPresent = 1;
        record.result = result.value;
    }
    return 1;
}

EventOutcome raiseEvent(WindowId window, ControlId control, int32_t event, std::initializer_list<uint32_t> arguments) {
    SimpleEventRecord record;
    record.window = window;
    record.control = control;
    record.event = event;
    for (uint32_t a : arguments) {
        if (record.argumentCount == 5) break;
        record.arguments[record.argumentCount++] = a;
    }
    EventOutcome outcome;
    outcome.handled = RuntimeNotify(NotifyCode::RaiseEvent, reinterpret_cast<uintptr_t>(&record)) != 0;
    outcome.resultPresent = record.resultPresent != 0;
    outcome.result = record.result;
    return outcome;
}

EventSource currentEventSource() { return {gSourceWindow.load(), gSourceControl.load()}; }

}  // namespace rt
