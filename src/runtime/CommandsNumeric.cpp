// The numeric core commands and the text search: rounding, the per-thread
// random generator with its seed counter, and FindText.
#include <atomic>
#include <climits>
#include <cmath>
#include <utility>

#include "runtime/Commands.h"
#include "runtime/Numbers.h"
#include "runtime/Text.h"

namespace rt {
namespace {

// The generator: state × 214013 + 2531011 (mod 2^32), draws of bits 16-30.
// Each thread has its own state, so seeding on one thread leaves the others alone.
thread_local uint32_t tGeneratorState = 1;

// Raised by every unseeded SetRandomSeed so that calls within one tick of the
// clock still get different seeds. Shared by all threads.
std::atomic<uint32_t> gSeedCounter{0};

int32_t drawRandom() {
    tGeneratorState = tGeneratorState * 214013u + 2531011u;
    return static_cast<int32_t>((tGeneratorState >> 16) & 0x7FFF);
}

// Number arguments are declared double or int; a value of another numeric type
// is taken by its value rather than by its bits.
double numberArgument(const TaggedArg& a) {
    switch (a.tag) {
        case tag::Byte: return static_cast<uint8_t>(a.low);
        case tag::Short: return static_cast<int16_t>(a.low);
        case tag::Int: case tag::Bool: return a.asInt();
        case tag::Long: return static_cast<double>(a.words().asLong());
        case tag::Float: return a.words().asFloat();
        default: return a.asDouble();
    }
}

int32_t intArgument(const TaggedArg& a) {
    switch (a.tag) {
        case tag::Byte: return static_cast<uint8_t>(a.low);
        case tag::Short: return static_cast<int16_t>(a.low);
        case tag::Float: case tag::Double: {
            double t = std::trunc(numberArgument(a));
            return t >= INT32_MIN && t <= INT32_MAX ? static_cast<int32_t>(t) : 0;
        }
        default: return a.asInt();
    }
}

const char* textArgument(int32_t count, const TaggedArg* args, int32_t i) {
    TaggedArg a = argumentAt(count, args, i);
    return a.tag == tag::Text ? a.pointer<const char>() : nullptr;
}

}  // namespace

void resetRandomStateForTesting() {
    tGeneratorState = 1;
    gSeedCounter = 0;
}

namespace command {

void FloorToInt(TaggedArg* result, int32_t count, TaggedArg* args) {
    *result = TaggedArg::ofInt(floorToInt(numberArgument(argumentAt(count, args, 0))));
}

void RoundTo(TaggedArg* result, int32_t count, TaggedArg* args) {
    TaggedArg places = argumentAt(count, args, 1);
    *result = TaggedArg::ofDouble(roundTo(numberArgument(argumentAt(count, args, 0)), places.omitted() ? 0 : intArgument(places)));
}

void SetRandomSeed(TaggedArg*, int32_t count, TaggedArg* args) {
    TaggedArg seed = argumentAt(count, args, 0);
    if (!seed.omitted()) {
        tGeneratorState = static_cast<uint32_t>(intArgument(seed));
        return;
    }
    // Seed s = tick + counter, then counter += (s & 0xFF) + 100. The exchange
    // keeps two threads seeding at once from taking the same counter value.
    const uint32_t tick = host().tickCount();
    uint32_t counter = gSeedCounter.load();
    uint32_t s = tick + counter;
    while (!gSeedCounter.compare_exchange_weak(counter, counter + (s & 0xFF) + 100)) s = tick + counter;
    tGeneratorState = s;
}

void RandomInt(TaggedArg* result, int32_t count, TaggedArg* args) {
    TaggedArg minimum = argumentAt(count, args, 0);
    TaggedArg maximum = argumentAt(count, args, 1);
    int32_t lo = minimum.omitted() ? 0 : intArgument(minimum);
    int32_t hi = maximum.omitted() ? INT32_MAX : intArgument(maximum);
    if (lo < 0) lo = 0;
    if (hi < 0) hi = 0;
    if (lo > hi) std::swap(lo, hi);
    if (lo == hi) {
        *result = TaggedArg::ofInt(lo);
        return;
    }
    // span + 1 reaches 2^31 for the full range; unsigned arithmetic holds it.
    const uint32_t range = static_cast<uint32_t>(hi - lo) + 1u;
    const auto r = static_cast<uint32_t>(drawRandom());
    *result = TaggedArg::ofInt(lo + static_cast<int32_t>(r % range));
}

void FindText(TaggedArg* result, int32_t count, TaggedArg* args) {
    TaggedArg start = argumentAt(count, args, 2);
    TaggedArg ignoreCase = argumentAt(count, args, 3);
    *result = TaggedArg::ofInt(findText(textView(textArgument(count, args, 0)), textView(textArgument(count, args, 1)),
                                        start.omitted() ? 0 : intArgument(start), !ignoreCase.omitted() && ignoreCase.low != 0));
}

}  // namespace command

}  // namespace rt
