// The calculation's program-wide values.
#include "calc/CalcState.h"

namespace calc {

CalcState& state() {
    static CalcState s;
    return s;
}

void resetState() { state() = CalcState{}; }

}  // namespace calc
