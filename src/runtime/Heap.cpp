// Heap operations with the constant-region rules and the out-of-memory report.
#include "runtime/Heap.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/ConstantRegion.h"
#include "runtime/Errors.h"
#include "runtime/RuntimeTexts.h"

namespace rt {
namespace {

[[noreturn]] void reportOutOfMemory(size_t n) {
    char message[96];
    std::snprintf(message, sizeof message, texts::MsgOutOfMemory, n);
    ReportRuntimeError(RuntimeErrorInfo{message, 0, 0, 0});
}

}  // namespace

void* AllocBlockOrNull(size_t n) { return std::malloc(n == 0 ? 1 : n); }

void* AllocBlock(size_t n) {
    void* p = AllocBlockOrNull(n);
    if (!p) reportOutOfMemory(n);
    return p;
}

void FreeBlock(void* p) {
    if (!p || activeConstantRegion().contains(p)) return;
    std::free(p);
}

void* ResizeBlock(void* p, size_t n) {
    if (!p) return AllocBlock(n);
    const ConstantRegion& region = activeConstantRegion();
    if (region.contains(p)) {
        void* fresh = AllocBlock(n);
        std::memcpy(fresh, p, std::min(n, region.bytesToEnd(p)));
        return fresh;
    }
    void* moved = std::realloc(p, n == 0 ? 1 : n);
    if (!moved) reportOutOfMemory(n);
    return moved;
}

}  // namespace rt
