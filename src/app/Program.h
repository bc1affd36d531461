// The application's entry and its part of start-up: the program header, the
// handler table, and the handlers of the main window and its menu.
#pragma once

#include <cstdint>

#include "app/Handlers.h"
#include "runtime/EntryTable.h"
#include "runtime/Events.h"

namespace app {

// Layout constants of start-up and resizing.
inline constexpr int32_t kMinScreenWidth = 1280, kMinScreenHeight = 800;
inline constexpr int32_t kClientWidth = 1214, kClientHeight = 660;
inline constexpr int32_t kOrderGridAllowance = 30, kResultGridAllowance = 177;

// The record that describes this program to the runtime.
const rt::ProgramHeader& programHeader();
// The application's handlers, indexed by Handler.
const rt::HandlerTable& handlerTable();
// Calls a routine of the table with the given argument words.
rt::HandlerResult callRoutine(Handler routine, const uint32_t* words = nullptr, int32_t count = 0);
// Replaces an entry of the table (later parts of the program fill in their
// routines; tests put recorders there). Null restores the built-in one.
void setRoutine(Handler routine, rt::EventHandler handler);

// The program's entry: initialise the runtime, create the globals, register
// their clean-up, load the start window and run the loop. Returns 0.
int programMain();

void onWindowCreated();
void onWindowResized();
// False (a veto) while a calculation runs or is still returning; nothing otherwise.
rt::HandlerResult onQueryClose();
void onUpsBoxLostFocus();
[[noreturn]] void onExitMenu();

}  // namespace app
