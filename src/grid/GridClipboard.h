// The grid's clipboard texts: cutting a pasted text into lines and fields.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace grid {

// Lines at each line feed (a carriage return right before it is dropped),
// fields at every tab or comma. An empty field between two separators is a
// field; a separator at the very end of a line adds none, and a line feed at
// the very end of the text adds no line. Bytes are kept as they are (GBK).
std::vector<std::vector<std::string>> splitPasteText(std::string_view gbk);

}  // namespace grid
