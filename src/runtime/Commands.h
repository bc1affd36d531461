// The core commands: command routines with the common calling contract, the
// table that names them, and typed wrappers for application code.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

#include "runtime/Dispatch.h"
#include "runtime/Host.h"
#include "runtime/Value.h"
#include "runtime/WindowTable.h"

namespace rt {

enum class CoreCommand : int32_t {
    FloorToInt,
    RoundTo,
    SetRandomSeed,
    RandomInt,
    FindText,
    ToNumber,
    ToInt,
    ToText,
    ScreenWidth,
    ScreenHeight,
    ShowMessage,
    ProcessEvents,
    ClientWidth,
    ClientHeight,
    AppendText,
    DelayWithEvents,
    StartThread,
    Count
};

// Every routine receives a zeroed result record, the argument count and the
// arguments; an omitted optional argument is an all-zero record (tag 0).
// Texts returned are new heap blocks owned by the caller, null when empty.
namespace command {
// double x -> int: floor after the snap below integers.
void FloorToInt(TaggedArg* result, int32_t count, TaggedArg* args);
// double x; int places (optional, 0) -> double.
void RoundTo(TaggedArg* result, int32_t count, TaggedArg* args);
// int seed (optional; omitted: from the tick count and the seed counter) -> none.
void SetRandomSeed(TaggedArg* result, int32_t count, TaggedArg* args);
// int minimum (optional, 0); int maximum (optional, 2147483647) -> int.
void RandomInt(TaggedArg* result, int32_t count, TaggedArg* args);
// text haystack; text needle; int start (optional); bool ignore case (optional) -> int position or -1.
void FindText(TaggedArg* result, int32_t count, TaggedArg* args);
// any value -> double / int / text.
void ToNumber(TaggedArg* result, int32_t count, TaggedArg* args);
void ToInt(TaggedArg* result, int32_t count, TaggedArg* args);
void ToText(TaggedArg* result, int32_t count, TaggedArg* args);
// none -> int pixels of the primary screen.
void ScreenWidth(TaggedArg* result, int32_t count, TaggedArg* args);
void ScreenHeight(TaggedArg* result, int32_t count, TaggedArg* args);
// any message; int flags; text caption (optional); owner (optional) -> int button number.
//
// The owner is used only when four arguments are passed. A window unit
// object (tag 0x10001) names its live window; an int names a native window
// handle. Native windows are pointer-wide, so where a pointer does not fit in
// 32 bits an int owner is used only when it equals the native window of a live
// unit; anything else shows the box without an owner.
void ShowMessage(TaggedArg* result, int32_t count, TaggedArg* args);
// none -> none: dispatches the pending events of the calling thread.
void ProcessEvents(TaggedArg* result, int32_t count, TaggedArg* args);
// unit object -> int pixels of its client rectangle; a missing unit ends the program.
void ClientWidth(TaggedArg* result, int32_t count, TaggedArg* args);
void ClientHeight(TaggedArg* result, int32_t count, TaggedArg* args);
// Edit box method: the edit box object, then one or more texts -> none. A
// missing unit, or one that is not an edit box, ends the program.
void AppendText(TaggedArg* result, int32_t count, TaggedArg* args);
// int milliseconds -> none: waits while dispatching events.
void DelayWithEvents(TaggedArg* result, int32_t count, TaggedArg* args);
// Thread command: subroutine pointer; int parameter (optional); handle
// variable (optional) -> bool.
//
// The subroutine pointer's payload holds the address of a ThreadRoutine (both
// words where addresses are 64-bit). The handle variable is passed by
// reference: the payload holds the address of an int32. It receives the
// thread's handle number, a positive number unique within the process, or 0
// when no thread was started. Threads run detached, so a handle number names
// the thread and needs no closing.
void StartThread(TaggedArg* result, int32_t count, TaggedArg* args);
}  // namespace command

inline constexpr size_t kCoreCommandCount = static_cast<size_t>(CoreCommand::Count);

// The routines by command, each placed at its own enumerator.
inline constexpr std::array<CommandRoutine, kCoreCommandCount> kCoreCommands = [] {
    std::array<CommandRoutine, kCoreCommandCount> table{};
    auto put = [&table](CoreCommand c, CommandRoutine r) { table[static_cast<size_t>(c)] = r; };
    put(CoreCommand::FloorToInt, &command::FloorToInt);
    put(CoreCommand::RoundTo, &command::RoundTo);
    put(CoreCommand::SetRandomSeed, &command::SetRandomSeed);
    put(CoreCommand::RandomInt, &command::RandomInt);
    put(CoreCommand::FindText, &command::FindText);
    put(CoreCommand::ToNumber, &command::ToNumber);
    put(CoreCommand::ToInt, &command::ToInt);
    put(CoreCommand::ToText, &command::ToText);
    put(CoreCommand::ScreenWidth, &command::ScreenWidth);
    put(CoreCommand::ScreenHeight, &command::ScreenHeight);
    put(CoreCommand::ShowMessage, &command::ShowMessage);
    put(CoreCommand::ProcessEvents, &command::ProcessEvents);
    put(CoreCommand::ClientWidth, &command::ClientWidth);
    put(CoreCommand::ClientHeight, &command::ClientHeight);
    put(CoreCommand::AppendText, &command::AppendText);
    put(CoreCommand::DelayWithEvents, &command::DelayWithEvents);
    put(CoreCommand::StartThread, &command::StartThread);
    return table;
}();

static_assert(kCoreCommands.size() == 17, "one routine per core command");
// Every slot is filled: the command tests call each routine through commandRoutine().

CommandRoutine commandRoutine(CoreCommand c);

// A value rendered as ToText renders it (GBK), before the empty result becomes null.
std::string valueText(const TaggedArg& value);
// Days since 1899-12-30 (fraction = time of day) as "Y年M月D日" plus the
// hour, minutes and seconds down to the last nonzero one. Empty for values
// outside the years 100 to 9999.
std::string dateTimeText(double days);

// The generator state of the calling thread and the seed counter back to
// their start values (1 and 0).
void resetRandomStateForTesting();

// Typed calls for application code; each goes through CallCommand (or
// CallMethod for the edit box method and the thread command).
namespace cmd {
int32_t floorToInt(double x);
double roundTo(double x, std::optional<int32_t> places = std::nullopt);
void setRandomSeed(std::optional<int32_t> seed = std::nullopt);
int32_t randomInt(std::optional<int32_t> minimum = std::nullopt, std::optional<int32_t> maximum = std::nullopt);
int32_t findText(const char* haystack, const char* needle, std::optional<int32_t> start = std::nullopt,
                 std::optional<bool> ignoreCase = std::nullopt);
double toNumber(const TaggedArg& value);
int32_t toInt(const TaggedArg& value);
// A new text block owned by the caller (free it with FreeBlock), or null when empty.
char* toText(const TaggedArg& value);
int32_t screenWidth();
int32_t screenHeight();
// A null caption shows the default caption "信息：".
int32_t showMessage(const TaggedArg& message, int32_t flags, const char* caption = nullptr,
                    std::optional<TaggedArg> owner = std::nullopt);
void processEvents();
int32_t clientWidth(WindowId windowId, ControlId controlId);
int32_t clientHeight(WindowId windowId, ControlId controlId);
void appendText(WindowId windowId, ControlId controlId, std::initializer_list<const char*> texts);
void delayWithEvents(int32_t milliseconds);
bool startThread(ThreadRoutine routine, std::optional<int32_t> parameter = std::nullopt, int32_t* handle = nullptr);
}  // namespace cmd

}  // namespace rt
