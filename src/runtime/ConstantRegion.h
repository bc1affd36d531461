// The read-only area of shared constants: blocks inside it are never freed or resized in place.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rt {

// The program's constant region: the empty text (one zero byte) and the empty
// array / byte-set (the two words 1, 0), followed by the initial values of
// global arrays. The runtime only needs its bounds and the two constants.
class ConstantRegion {
public:
    static constexpr size_t kLength = 616;

    // The region of this program (static, read-only storage).
    static const ConstantRegion& program();

    bool contains(const void* p) const {
        auto a = reinterpret_cast<uintptr_t>(p);
        auto s = reinterpret_cast<uintptr_t>(start_);
        return start_ != nullptr && a >= s && a < s + length_;
    }
    // Bytes from p to the end of the region (p must lie inside it).
    size_t bytesToEnd(const void* p) const {
        return length_ - (reinterpret_cast<uintptr_t>(p) - reinterpret_cast<uintptr_t>(start_));
    }
    const uint8_t* start() const { return start_; }
    size_t length() const { return length_; }

    const char* emptyText() const { return reinterpret_cast<const char*>(start_ + kEmptyTextOffset); }
    const void* emptyArray() const { return start_ + kEmptyArrayOffset; }
    const void* emptyByteSet() const { return emptyArray(); }

    static constexpr size_t kEmptyTextOffset = 0;
    static constexpr size_t kEmptyArrayOffset = 8;

    ConstantRegion(const uint8_t* start, size_t length) : start_(start), length_(length) {}

private:
    const uint8_t* start_;
    size_t length_;
};

// The bounds the heap operations honour. Set at runtime start-up; the program's
// region by default, forgotten (empty) at program end.
const ConstantRegion& activeConstantRegion();
void setActiveConstantRegion(const ConstantRegion* region);

}  // namespace rt
