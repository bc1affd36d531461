// The command routine contract and the two calls through which code runs commands.
#pragma once

#include <cstdint>

#include "runtime/Value.h"

namespace rt {

// A command routine writes its result into the zeroed result record.
using CommandRoutine = void (*)(TaggedArg* result, int32_t count, TaggedArg* args);

// Core commands.
TaggedArg CallCommand(CommandRoutine routine, int32_t count, TaggedArg* args);
// Support-library commands and unit methods (the object is the first argument).
TaggedArg CallMethod(CommandRoutine routine, int32_t count, TaggedArg* args);

// The argument at `i`, or an omitted (all-zero) record past the end.
inline TaggedArg argumentAt(int32_t count, const TaggedArg* args, int32_t i) {
    return i < count && args ? args[i] : TaggedArg{};
}

}  // namespace rt
