// The program's constant region and the bounds the heap checks against.
#include "runtime/ConstantRegion.h"

#include <atomic>

namespace rt {
namespace {

struct alignas(8) ProgramConstants {
    uint8_t bytes[ConstantRegion::kLength];
};

constexpr ProgramConstants makeConstants() {
    ProgramConstants c{};
    // Offset 0: the empty text. Offset 8: the empty array, dimension count 1, size 0.
    c.bytes[ConstantRegion::kEmptyArrayOffset] = 1;
    return c;
}

const ProgramConstants kProgramConstants = makeConstants();
const ConstantRegion kProgramRegion(kProgramConstants.bytes, ConstantRegion::kLength);
const ConstantRegion kNoRegion(nullptr, 0);
std::atomic<const ConstantRegion*> gActive{&kProgramRegion};

}  // namespace

const ConstantRegion& ConstantRegion::program() { return kProgramRegion; }

const ConstantRegion& activeConstantRegion() { return *gActive.load(std::memory_order_acquire); }

void setActiveConstantRegion(const ConstantRegion* region) {
    gActive.store(region ? region : &kNoRegion, std::memory_order_release);
}

}  // namespace rt
