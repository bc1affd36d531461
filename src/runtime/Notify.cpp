// Notifications from the support libraries: lookups, events, messages, memory, errors and the end.
#include "runtime/Notify.h"

#include <cstring>

#include "runtime/Array.h"
#include "runtime/EntryTable.h"
#include "runtime/Errors.h"
#include "runtime/Events.h"
#include "runtime/Heap.h"
#include "runtime/Host.h"
#include "runtime/Program.h"
#include "runtime/RuntimeTexts.h"

namespace rt {
namespace {

WindowDestroyedHook gWindowDestroyed = nullptr;
EventDispatchHook gEventDispatch = nullptr;

template <typename T>
T* asPointer(uintptr_t p) { return reinterpret_cast<T*>(p); }

uintptr_t raiseEvent(NotifyCode form, uintptr_t record) {
    // No handler runs while a run-time error is being reported or a control is re-created.
    if (eventsSuppressed() || !record) return 0;
    if (gEventDispatch) return gEventDispatch(form, asPointer<void>(record));
    if (form == NotifyCode::RaiseTypedEvent) return deliverTypedEvent(*asPointer<TypedEventRecord>(record));
    return deliverSimpleEvent(*asPointer<SimpleEventRecord>(record));
}

}  // namespace

void setWindowDestroyedHook(WindowDestroyedHook hook) { gWindowDestroyed = hook; }
void setEventDispatchHook(EventDispatchHook hook) { gEventDispatch = hook; }

double numberOfTaggedValue(const TaggedArg* value) {
    if (value) {
        switch (value->tag) {
            case tag::Byte: return static_cast<uint8_t>(value->low);
            case tag::Short: return static_cast<int16_t>(value->low);
            case tag::Int: return value->asInt();
            case tag::Long: return static_cast<double>(value->words().asLong());
            case tag::Float: return value->words().asFloat();
            case tag::Double: return value->asDouble();
            default: break;
        }
    }
    RaiseRuntimeMessage(texts::MsgNotANumber);
}

uintptr_t RuntimeNotify(int32_t code, uintptr_t p1, uintptr_t p2) {
    auto windowId = static_cast<WindowId>(p1);
    auto controlId = static_cast<ControlId>(p2);
    switch (static_cast<NotifyCode>(code)) {
        case NotifyCode::WindowDestroyed:
            if (gWindowDestroyed) gWindowDestroyed(windowId);
            return 0;
        case NotifyCode::ToNumber: {
            double number = numberOfTaggedValue(asPointer<const TaggedArg>(p1));
            if (p2) std::memcpy(asPointer<void>(p2), &number, sizeof number);
            return 1;
        }
        case NotifyCode::LoadWindow: return static_cast<uintptr_t>(loadWindowWithOptions(windowId, p2));
        case NotifyCode::FindLiveControl: return reinterpret_cast<uintptr_t>(findLiveControl(windowId, controlId));
        case NotifyCode::RequireLiveControl: {
            LiveControl* control = findLiveControl(windowId, controlId);
            if (!control)
                RaiseRuntimeMessage(texts::MsgControlMissing, static_cast<int32_t>(windowId),
                                    static_cast<int32_t>(controlId));
            return reinterpret_cast<uintptr_t>(control);
        }
        case NotifyCode::RaiseEvent: return raiseEvent(NotifyCode::RaiseEvent, p1);
        case NotifyCode::RaiseTypedEvent: return raiseEvent(NotifyCode::RaiseTypedEvent, p1);
        case NotifyCode::ProcessEvents:
        case NotifyCode::ProcessEventsAfterLoad:
        case NotifyCode::ProcessEventsForLibrary: host().processPendingEvents(); return 0;
        case NotifyCode::FreeArray: freeArrayValue(static_cast<uint32_t>(p1), asPointer<void>(p2)); return 0;
        case NotifyCode::Allocate: {
            auto bytes = static_cast<size_t>(p1);
            return reinterpret_cast<uintptr_t>(p2 ? AllocBlockOrNull(bytes) : AllocBlock(bytes));
        }
        case NotifyCode::Free: FreeBlock(asPointer<void>(p1)); return 0;
        case NotifyCode::Resize: return reinterpret_cast<uintptr_t>(ResizeBlock(asPointer<void>(p1), p2));
        case NotifyCode::ReportError: RaiseRuntimeMessage(asPointer<const char>(p1));
        case NotifyCode::EndProgram: rt::EndProgram(static_cast<int32_t>(p1));
        default: return 0;
    }
}

}  // namespace rt
