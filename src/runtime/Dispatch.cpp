// CallCommand and CallMethod: build the zeroed result record and run the routine.
#include "runtime/Dispatch.h"

namespace rt {

TaggedArg CallCommand(CommandRoutine routine, int32_t count, TaggedArg* args) {
    TaggedArg result{};
    routine(&result, count, args);
    return result;
}

TaggedArg CallMethod(CommandRoutine routine, int32_t count, TaggedArg* args) { return CallCommand(routine, count, args); }

}  // namespace rt
