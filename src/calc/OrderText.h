// Reading an order from plain text: quantities one per line or separated by
// commas, semicolons, tabs or blanks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace calc {

struct [[nodiscard]] OrderText {
    bool ok = true;
    std::vector<int32_t> quantities;  // the valid quantities (1..99,999,999), in reading order
    int64_t dropped = 0;              // integer fields outside that range
    // When ok is false: the first field that is not an integer and its 1-based line.
    int64_t errorLine = 0;
    std::string errorField;
};

// Fields are separated by ',', ';', '\t', ' ' and line ends; empty fields are
// skipped, a CR before a line end (or at the very end) is ignored, and so is a
// UTF-8 byte order mark at the start. A field is an integer when it is an
// optional '+' or '-' followed by ASCII digits only, of any length: those in
// 1..99,999,999 are kept, all others (0, negatives, 100000000 and beyond, even
// past 64 bits) are counted in `dropped`. Anything else stops the reading
// with ok = false; the quantities read so far are kept.
OrderText parseOrderText(std::string_view text);

// The field as it can be shown on one line of a terminal: control bytes and
// bytes that are not UTF-8 become \xNN, and long fields are cut to
// `maxChars` characters followed by "...".
std::string printableField(std::string_view field, size_t maxChars = 40);

}  // namespace calc
