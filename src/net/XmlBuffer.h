// Growable byte buffers for the strings built while parsing. Short buffers
// live in a fixed pool of 32 blocks of 256 bytes; longer ones, or any buffer
// once the pool is used up, live on the runtime heap with 128 bytes of slack.
// A heap buffer that an append outgrows moves to at least twice its size.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace xml {

inline constexpr size_t kPoolBlockCount = 32;
inline constexpr size_t kPoolBlockSize = 256;
inline constexpr size_t kHeapSlack = 128;
// A heap buffer whose capacity exceeds what a new string needs by more than
// this gives its block back and moves to one that fits.
inline constexpr size_t kMaxHeapExcess = 256;

class XmlBuffer {
public:
    XmlBuffer() = default;
    ~XmlBuffer();
    XmlBuffer(const XmlBuffer&) = delete;
    XmlBuffer& operator=(const XmlBuffer&) = delete;

    // Starts a new, empty string; the memory is kept while it still suits.
    void clear();
    // Replaces the contents (same rule as clear for the memory).
    void assign(std::string_view bytes);
    void append(std::string_view bytes);

    std::string_view view() const { return {data_, size_}; }
    std::string str() const { return std::string(view()); }
    size_t size() const { return size_; }
    size_t capacity() const { return capacity_; }
    bool pooled() const { return poolSlot_ >= 0; }

private:
    // Makes room for `needed` bytes, keeping the current contents.
    void grow(size_t needed);
    // Moves to the memory a string of `needed` bytes should have, when the
    // current memory does not suit it.
    void fit(size_t needed);
    void moveTo(size_t needed);
    void release();

    char* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
    int poolSlot_ = -1;
};

// Pool blocks not currently held by a buffer.
size_t freePoolBlocks();

}  // namespace xml
