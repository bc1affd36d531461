// The process-wide heap on which texts, byte-sets and arrays live.
#pragma once

#include <cstddef>

namespace rt {

// A block of n bytes (not zero-filled). Out of memory ends the program with
// the run-time error report "分配 n 字节内存失败!".
void* AllocBlock(size_t n);
// Frees a block; null and pointers into the constant region are ignored.
void FreeBlock(void* p);
// Resizes a block (it may move). Null behaves as AllocBlock; a pointer into the
// constant region gets a fresh block holding as many of its bytes as fit.
void* ResizeBlock(void* p, size_t n);
// The support libraries' form: null on failure, no report.
void* AllocBlockOrNull(size_t n);

}  // namespace rt
