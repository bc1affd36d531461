// Array blocks on the runtime heap, with the copy-on-write rule for shared constants.
#include "runtime/Array.h"

#include <cstring>

#include "runtime/ConstantRegion.h"
#include "runtime/Errors.h"
#include "runtime/Heap.h"
#include "runtime/Value.h"

namespace rt {
namespace {

int32_t word(const void* block, size_t i) {
    int32_t w;
    std::memcpy(&w, static_cast<const uint8_t*>(block) + 4 * i, 4);
    return w;
}

void setWord(void* block, size_t i, int32_t w) { std::memcpy(static_cast<uint8_t*>(block) + 4 * i, &w, 4); }

size_t dimensionCount(const void* block) {
    int32_t n = block ? word(block, 0) : 0;
    return n > 0 ? static_cast<size_t>(n) : 0;
}

}  // namespace

size_t arrayElementCount(const void* block) {
    size_t n = dimensionCount(block);
    if (n == 0) return 0;
    size_t count = 1;
    for (size_t d = 1; d <= n; ++d) {
        int32_t size = word(block, d);
        count *= size > 0 ? static_cast<size_t>(size) : 0;
    }
    return count;
}

size_t arrayHeaderSize(const void* block) { return 4 * (dimensionCount(block) + 1); }

void* arrayElements(void* block) { return static_cast<uint8_t*>(block) + arrayHeaderSize(block); }
const void* arrayElements(const void* block) { return static_cast<const uint8_t*>(block) + arrayHeaderSize(block); }

void makeArrayPrivate(size_t elementSize, void** variable) {
    void* block = *variable;
    if (!block || !activeConstantRegion().contains(block)) return;
    size_t size = arrayHeaderSize(block) + elementSize * arrayElementCount(block);
    void* copy = AllocBlock(size);
    std::memcpy(copy, block, size);
    *variable = copy;
}

void appendIntElement(void** variable, int32_t value) {
    makeArrayPrivate(4, variable);
    void* block = *variable;
    if (!block) {
        block = AllocBlock(8);
        setWord(block, 0, 1);
        setWord(block, 1, 0);
    }
    size_t count = arrayElementCount(block);
    size_t oldHeader = arrayHeaderSize(block);
    if (oldHeader > 8) std::memmove(static_cast<uint8_t*>(block) + 8, static_cast<uint8_t*>(block) + oldHeader, 4 * count);
    setWord(block, 0, 1);
    setWord(block, 1, static_cast<int32_t>(count + 1));
    block = ResizeBlock(block, 8 + 4 * (count + 1));
    setWord(block, 2 + count, value);
    *variable = block;
}

size_t checkedElementPosition(const void* block, int32_t index, int32_t related1, int32_t related2) {
    int64_t position = int64_t(index) - 1;
    if (position < 0) RaiseErrorCode(static_cast<int32_t>(ErrorCode::IndexBelowOne), related1, related2);
    if (static_cast<uint64_t>(position) >= arrayElementCount(block))
        RaiseErrorCode(static_cast<int32_t>(ErrorCode::IndexOutOfRange), related1, related2);
    return static_cast<size_t>(position);
}

int32_t* intElementAt(void* block, int32_t index, int32_t related1, int32_t related2) {
    size_t position = checkedElementPosition(block, index, related1, related2);
    return static_cast<int32_t*>(arrayElements(block)) + position;
}

void resetArray(void** variable) {
    FreeBlock(*variable);
    *variable = const_cast<void*>(activeConstantRegion().emptyArray());
}

void freeArrayValue(uint32_t arrayTag, void* block) {
    if (!block) return;
    uint32_t element = elementTag(arrayTag);
    if (element == tag::Text || element == tag::ByteSet) {
        size_t count = arrayElementCount(block);
        auto* pointers = static_cast<uint8_t*>(arrayElements(block));
        for (size_t i = 0; i < count; ++i) {
            void* p;
            std::memcpy(&p, pointers + i * sizeof(void*), sizeof p);
            FreeBlock(p);
        }
    }
    FreeBlock(block);
}

}  // namespace rt
