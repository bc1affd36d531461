// Cuts arbitrary bytes as a pasted text and checks what the parser promises:
// no field holds a separator or a line feed, every byte other than the
// separators and the dropped carriage returns comes back in order, and there
// are never more lines than line feeds plus one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "grid/GridClipboard.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto lines = grid::splitPasteText(text);
    size_t feeds = 0;
    std::string kept;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') ++feeds;
        if (c == '\n' || c == '\t' || c == ',') continue;
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        kept += c;
    }
    check(lines.size() <= feeds + 1);
    std::string joined;
    for (const auto& fields : lines)
        for (const std::string& field : fields) {
            check(field.find_first_of("\t,\n") == std::string::npos);
            joined += field;
        }
    check(joined == kept);
    return 0;
}
