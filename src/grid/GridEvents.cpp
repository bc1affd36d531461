// The grid's events to the application and its notifications to the parent.
#include "forms/UnitWidgets.h"
#include "forms/WindowUnit.h"
#include "grid/GridCtrl.h"
#include "runtime/Notify.h"

namespace grid {

rt::HandlerResult CGridCtrl::raiseGridEvent(int32_t event, std::initializer_list<int32_t> arguments) {
    if (eventSink_) return eventSink_(event, std::vector<int32_t>(arguments));
    // Only a grid that stands for a unit of a live window has anyone to tell.
    rt::UnitRecord* unit = forms::unitRecordOfWidget(this);
    std::optional<forms::UnitKey> key = forms::unitOfWidget(this);
    if (!unit || !key || !forms::inLiveWindow(this)) return rt::HandlerResult::none();
    rt::TypedEventRecord record;
    record.window = key->window;
    record.control = key->control;
    record.event = event;
    for (int32_t value : arguments) {
        if (record.argumentCount == 12) break;
        rt::TypedEventSlot& slot = record.arguments[record.argumentCount++];
        slot.low = static_cast<uint32_t>(value);
        slot.tag = rt::tag::Int;
        slot.flags = rt::slotflag::LowWordOnly;
    }
    rt::RuntimeNotify(rt::NotifyCode::RaiseTypedEvent, reinterpret_cast<uintptr_t>(&record));
    return record.resultPresent ? rt::HandlerResult::of(record.result) : rt::HandlerResult::none();
}

void CGridCtrl::notifyParent(int32_t code, int32_t row, int32_t column) { emit parentNotified(code, row, column); }

}  // namespace grid
