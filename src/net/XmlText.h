// Byte-string passes of the XML tree: comment removal, path encoding and
// entity decoding. All of them work on GBK bytes: a byte 0x81..0xFF starts a
// two-byte character that is copied as a unit and never taken for markup.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace xml {

inline bool isLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x81; }

// Length of the character at `at`: 2 for a lead byte with a byte after it, else 1.
inline size_t unitLength(std::string_view bytes, size_t at) {
    return isLeadByte(bytes[at]) && at + 1 < bytes.size() ? 2 : 1;
}

// Blank, tab, CR or LF.
inline bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The bytes without comments ("<!--" up to and including the next "-->"; an
// unclosed comment runs to the end). Counted first, then copied.
std::string stripComments(std::string_view input);

// Double quote, '&', '\'', '<' and '>' replaced by their entity forms.
std::string encodePathEntities(std::string_view path);

// The five predefined entities (and "&quote;" for the double quote) replaced;
// every other entity, numeric references included, is kept as written.
std::string decodeEntities(std::string_view text);

// Blanks, tabs, CR and LF removed at both ends, never splitting a two-byte character.
std::string_view trimBlanks(std::string_view text);

}  // namespace xml
