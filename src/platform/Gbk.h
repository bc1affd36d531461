// The boundary between the runtime's GBK texts and Unicode (UTF-8 for the terminal, Qt strings for widgets).
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Undecodable bytes become U+FFFD; conversion never fails.
std::string gbkToUtf8(std::string_view gbk);
// Characters that GBK cannot hold become "?".
std::string utf8ToGbk(std::string_view utf8);

}  // namespace platform
