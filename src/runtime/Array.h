// Array blocks: dimension count, dimension sizes, then the elements in row-major order.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rt {

// Element count: the product of the dimension sizes; 0 for null or no dimensions.
size_t arrayElementCount(const void* block);
// Bytes of the header (count word plus one word per dimension).
size_t arrayHeaderSize(const void* block);
// The element storage of a block.
void* arrayElements(void* block);
const void* arrayElements(const void* block);

// Service 2: gives the variable a heap copy of its block when it still lies in the constant region.
void makeArrayPrivate(size_t elementSize, void** variable);
// Appends one 32-bit integer; a multi-dimensional array becomes one-dimensional.
void appendIntElement(void** variable, int32_t value);
// The element at the 1-based index; index below 1 raises error 4, past the end error 1.
// The related values name the routine and the statement for the report.
int32_t* intElementAt(void* block, int32_t index, int32_t related1 = 0, int32_t related2 = 0);
size_t checkedElementPosition(const void* block, int32_t index, int32_t related1, int32_t related2);
// Frees the block and points the variable at the shared empty array.
void resetArray(void** variable);
// Frees an array value; arrays of texts or byte-sets free their element blocks first.
void freeArrayValue(uint32_t tag, void* block);

}  // namespace rt
