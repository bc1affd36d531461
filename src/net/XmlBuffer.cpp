// The string-buffer pool and the buffers' memory rules.
#include "net/XmlBuffer.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "runtime/Heap.h"

namespace xml {
namespace {

// Claiming a block is an atomic exchange, so a buffer used on another thread
// can never be handed a block that is already in use.
alignas(16) char poolBlocks[kPoolBlockCount][kPoolBlockSize];
std::atomic<bool> poolUsed[kPoolBlockCount];

int claimPoolBlock() {
    for (size_t i = 0; i < kPoolBlockCount; ++i) {
        if (!poolUsed[i].load(std::memory_order_relaxed) && !poolUsed[i].exchange(true, std::memory_order_acquire))
            return static_cast<int>(i);
    }
    return -1;
}

void releasePoolBlock(int slot) { poolUsed[slot].store(false, std::memory_order_release); }

}  // namespace

size_t freePoolBlocks() {
    size_t n = 0;
    for (const auto& used : poolUsed) n += used.load() ? 0 : 1;
    return n;
}

XmlBuffer::~XmlBuffer() { release(); }

void XmlBuffer::release() {
    if (poolSlot_ >= 0) {
        releasePoolBlock(poolSlot_);
    } else if (data_) {
        rt::FreeBlock(data_);
    }
    data_ = nullptr;
    capacity_ = 0;
    poolSlot_ = -1;
}

void XmlBuffer::clear() {
    size_ = 0;
    fit(0);
}

void XmlBuffer::assign(std::string_view bytes) {
    size_ = 0;
    fit(bytes.size());
    if (!bytes.empty()) std::memcpy(data_, bytes.data(), bytes.size());
    size_ = bytes.size();
}

void XmlBuffer::append(std::string_view bytes) {
    if (bytes.empty()) return;
    grow(size_ + bytes.size());
    std::memcpy(data_ + size_, bytes.data(), bytes.size());
    size_ += bytes.size();
}

void XmlBuffer::grow(size_t needed) {
    if (needed <= capacity_) return;
    // A heap buffer outgrown by an append at least doubles: a long text put
    // together from many short runs is then copied a few times in all, not
    // once for every slack's worth of bytes.
    if (data_ && !pooled()) needed = std::max(needed, 2 * capacity_);
    moveTo(needed);
}

void XmlBuffer::fit(size_t needed) {
    if (!data_ && needed == 0) return;
    bool largeEnough = data_ && needed <= capacity_;
    bool wasteful = !pooled() && capacity_ - needed > kMaxHeapExcess;
    if (!largeEnough || wasteful) moveTo(needed);
}

void XmlBuffer::moveTo(size_t needed) {
    char* fresh = nullptr;
    size_t freshCapacity = 0;
    int freshSlot = -1;
    if (needed <= kPoolBlockSize) {
        // A pooled buffer that still fits never gets here, so this is a new block.
        freshSlot = claimPoolBlock();
        if (freshSlot >= 0) {
            fresh = poolBlocks[freshSlot];
            freshCapacity = kPoolBlockSize;
        }
    }
    if (!fresh) {
        freshCapacity = needed + kHeapSlack;
        fresh = static_cast<char*>(rt::AllocBlock(freshCapacity));
    }
    if (size_) std::memcpy(fresh, data_, size_);
    release();
    data_ = fresh;
    capacity_ = freshCapacity;
    poolSlot_ = freshSlot;
}

}  // namespace xml
