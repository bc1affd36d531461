// Text and byte-set blocks on the runtime heap.
#include "runtime/Text.h"

#include <cstring>

#include "runtime/Heap.h"

namespace rt {

size_t textLength(const char* text) { return text ? std::strlen(text) : 0; }

std::string_view textView(const char* text) { return text ? std::string_view(text) : std::string_view(); }

char* makeText(std::string_view bytes) {
    // A text ends at its first zero byte.
    bytes = bytes.substr(0, bytes.find('\0'));
    if (bytes.empty()) return nullptr;
    auto* block = static_cast<char*>(AllocBlock(bytes.size() + 1));
    std::memcpy(block, bytes.data(), bytes.size());
    block[bytes.size()] = '\0';
    return block;
}

char* concatTexts(std::initializer_list<const char*> parts) {
    size_t total = 0;
    for (const char* p : parts) total += textLength(p);
    auto* block = static_cast<char*>(AllocBlock(total + 1));
    size_t at = 0;
    for (const char* p : parts) {
        size_t n = textLength(p);
        if (n) std::memcpy(block + at, p, n);
        at += n;
    }
    block[at] = '\0';
    return block;
}

size_t byteSetLength(const void* block) {
    if (!block) return 0;
    int32_t header[2];
    std::memcpy(header, block, sizeof header);
    return header[1] > 0 ? static_cast<size_t>(header[1]) : 0;
}

const uint8_t* byteSetData(const void* block) {
    return block ? static_cast<const uint8_t*>(block) + 8 : nullptr;
}

std::string_view byteSetView(const void* block) {
    return block ? std::string_view(reinterpret_cast<const char*>(byteSetData(block)), byteSetLength(block))
                 : std::string_view();
}

void* makeByteSet(std::string_view bytes) {
    if (bytes.empty()) return nullptr;
    auto* block = static_cast<uint8_t*>(AllocBlock(8 + bytes.size()));
    int32_t header[2] = {1, static_cast<int32_t>(bytes.size())};
    std::memcpy(block, header, sizeof header);
    std::memcpy(block + 8, bytes.data(), bytes.size());
    return block;
}

}  // namespace rt
