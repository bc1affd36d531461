// The core commands that reach the window system: the screen, message boxes,
// event processing and waiting, client sizes, the edit box method and threads.
#include <atomic>
#include <string>
#include <string_view>

#include "runtime/Commands.h"
#include "runtime/Errors.h"
#include "runtime/Notify.h"
#include "runtime/RuntimeTexts.h"
#include "runtime/Text.h"

namespace rt {
namespace {

// Handle numbers given out by StartThread; 0 stays "no thread".
std::atomic<int32_t> gNextThreadHandle{1};

// The live control a unit object names; a missing one ends the program.
LiveControl* requireControl(const TaggedArg& object) {
    return reinterpret_cast<LiveControl*>(RuntimeNotify(NotifyCode::RequireLiveControl, object.low, object.high));
}

// The edit box a unit object names; a missing unit, or one that cannot take
// text, ends the program like a missing control.
TextAppendable& requireEditBox(const TaggedArg& object) {
    auto* box = dynamic_cast<TextAppendable*>(requireControl(object));
    if (!box) RaiseRuntimeMessage(texts::MsgControlMissing, object.asInt(), static_cast<int32_t>(object.high));
    return *box;
}

// The text up to a lead byte that has lost its second byte: such a byte ends a text.
std::string_view wholeCharacters(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        if (!(static_cast<unsigned char>(text[i]) & 0x80)) ++i;
        else if (i + 1 < text.size()) i += 2;
        else break;
    }
    return text.substr(0, i);
}

// The message of ShowMessage: numbers, booleans and dates as ToText renders
// them, a text unchanged, anything else (arrays, byte-sets, objects) empty.
std::string messageText(const TaggedArg& value) {
    if (isNumericTag(value.tag) || value.tag == tag::Bool || value.tag == tag::DateTime) return valueText(value);
    if (value.tag == tag::Text) return std::string(wholeCharacters(textView(value.pointer<const char>())));
    return {};
}

// The native window of a live unit, found by its handle given as a 32-bit number.
void* ownerFromHandleNumber(uint32_t handle) {
    if (handle == 0) return nullptr;
    if constexpr (sizeof(void*) <= sizeof(uint32_t)) {
        return reinterpret_cast<void*>(static_cast<uintptr_t>(handle));
    } else {
        for (WindowRecord& window : windowTable())
            for (UnitRecord& unit : window.units)
                if (unit.isLive() && reinterpret_cast<uintptr_t>(unit.live->nativeWindow()) == handle)
                    return unit.live->nativeWindow();
        return nullptr;
    }
}

void* messageOwner(int32_t count, const TaggedArg* args) {
    if (count < 4) return nullptr;
    TaggedArg owner = argumentAt(count, args, 3);
    if (owner.tag == tag::WindowUnit) {
        LiveControl* window = findLiveControl(owner.low, 0);
        return window ? window->nativeWindow() : nullptr;
    }
    if (owner.tag == tag::Int) return ownerFromHandleNumber(owner.low);
    return nullptr;
}

// Button numbers of the command: OK 0, Cancel 1, Abort 2, Retry 3, Ignore 4, Yes 5, No 6.
int32_t buttonNumber(MessageButton button) {
    auto id = static_cast<int32_t>(button);
    return id >= static_cast<int32_t>(MessageButton::Ok) && id <= static_cast<int32_t>(MessageButton::No) ? id - 1 : 0;
}

void processEventsForWaiting() { RuntimeNotify(NotifyCode::ProcessEventsForLibrary); }

}  // namespace

namespace command {

void ScreenWidth(TaggedArg* result, int32_t, TaggedArg*) {
    *result = TaggedArg::ofInt(host().primaryScreenSize().width);
}

void ScreenHeight(TaggedArg* result, int32_t, TaggedArg*) {
    *result = TaggedArg::ofInt(host().primaryScreenSize().height);
}

void ShowMessage(TaggedArg* result, int32_t count, TaggedArg* args) {
    std::string message = messageText(argumentAt(count, args, 0));
    const TaggedArg caption = argumentAt(count, args, 2);
    std::string captionText = caption.tag == tag::Text ? std::string(wholeCharacters(textView(caption.pointer<const char>())))
                                                       : std::string(texts::MessageCaption);
    // Task-modal unless system-modal was asked for. The bit is set rather than
    // added, so flags that already carry it stay as they are.
    auto style = static_cast<uint32_t>(argumentAt(count, args, 1).asInt());
    if (!(style & mb::SystemModal)) style |= mb::TaskModal;
    MessageButton pressed = host().showMessageBox(message.c_str(), captionText.c_str(), style, messageOwner(count, args));
    *result = TaggedArg::ofInt(buttonNumber(pressed));
}

void ProcessEvents(TaggedArg*, int32_t, TaggedArg*) { host().processPendingEvents(); }

void ClientWidth(TaggedArg* result, int32_t count, TaggedArg* args) {
    *result = TaggedArg::ofInt(requireControl(argumentAt(count, args, 0))->clientRect().width);
}

void ClientHeight(TaggedArg* result, int32_t count, TaggedArg* args) {
    *result = TaggedArg::ofInt(requireControl(argumentAt(count, args, 0))->clientRect().height);
}

void AppendText(TaggedArg*, int32_t count, TaggedArg* args) {
    const TaggedArg object = argumentAt(count, args, 0);
    requireEditBox(object);
    for (int32_t i = 1; i < count; ++i) {
        if (args[i].tag != tag::Text) continue;
        const char* text = args[i].pointer<const char>();
        if (textLength(text) == 0) continue;
        // Looked up again for every text: an event handler run by the previous
        // append may have closed the window.
        requireEditBox(object).appendText(text);
    }
}

void DelayWithEvents(TaggedArg*, int32_t count, TaggedArg* args) {
    const int32_t n = argumentAt(count, args, 0).asInt();
    if (n <= 0) return;
    // Elapsed time by unsigned difference, so that the wrap of the tick count
    // neither ends the wait early nor stretches it.
    const uint32_t start = host().tickCount();
    for (;;) {
        processEventsForWaiting();
        processEventsForWaiting();
        if (host().tickCount() - start > static_cast<uint32_t>(n)) return;
        processEventsForWaiting();
        processEventsForWaiting();
    }
}

void StartThread(TaggedArg* result, int32_t count, TaggedArg* args) {
    const TaggedArg routineArg = argumentAt(count, args, 0);
    const TaggedArg parameterArg = argumentAt(count, args, 1);
    const TaggedArg handleArg = argumentAt(count, args, 2);
    auto* handle = handleArg.omitted() ? nullptr : handleArg.pointer<int32_t>();

    // Only a subroutine pointer with an address is run; anything else would
    // jump into data.
    const uint64_t address = routineArg.words().bits();
    bool started = false;
    if (routineArg.tag == tag::SubPointer && address != 0) {
        auto routine = reinterpret_cast<ThreadRoutine>(static_cast<uintptr_t>(address));
        void* parameter = count >= 2 && !parameterArg.omitted()
                              ? reinterpret_cast<void*>(static_cast<intptr_t>(parameterArg.asInt()))
                              : nullptr;
        started = host().startThread(routine, parameter);
    }
    if (handle) *handle = started ? gNextThreadHandle.fetch_add(1) : 0;
    *result = TaggedArg::ofBool(started);
}

}  // namespace command

}  // namespace rt
