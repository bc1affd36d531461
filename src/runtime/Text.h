// Texts and byte-sets as heap blocks: zero-terminated GBK strings, and
// (1, length, bytes) blocks. Null is a valid empty value of both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace rt {

size_t textLength(const char* text);
std::string_view textView(const char* text);

// A new text block of the bytes, or null when there are none.
char* makeText(std::string_view bytes);
// Concatenation always yields a new block, even when every operand is empty.
char* concatTexts(std::initializer_list<const char*> parts);

// Byte-set blocks: int 1, int length, then the bytes.
size_t byteSetLength(const void* block);
const uint8_t* byteSetData(const void* block);
std::string_view byteSetView(const void* block);
// A new byte-set block, or null when there are no bytes.
void* makeByteSet(std::string_view bytes);

}  // namespace rt
