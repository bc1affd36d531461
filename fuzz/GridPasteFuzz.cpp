// Cuts arbitrary bytes as a pasted text and checks what the parser promises:
// no field holds a separator or a line feed, every byte other than the
// separators and the dropped carriage returns comes back in order, there are
// never more lines than line feeds plus one, and a line has at most one field
// per separator (plus one) — exactly that many when the text is not tabular,
// since only grouped numbers of a tabular text join fields.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "grid/GridClipboard.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

// The lines of the text as the parser cuts them: at line feeds, a carriage
// return before one dropped, no line after a final line feed.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const bool last = end == std::string_view::npos;
        if (last) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!last && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// Fields when every tab and comma separates: one per separator and one more,
// less one for a separator at the very end.
size_t fieldsCutAtEverySeparator(std::string_view line) {
    if (line.empty()) return 0;
    size_t separators = 0;
    for (char c : line)
        if (c == '\t' || c == ',') ++separators;
    const bool endsWithSeparator = line.back() == '\t' || line.back() == ',';
    return separators + 1 - (endsWithSeparator ? 1 : 0);
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

    const bool tabular = text.find_first_of("\t\n") != std::string_view::npos;
    const std::vector<std::string_view> raw = linesOf(text);
    check(raw.size() == lines.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        const size_t most = fieldsCutAtEverySeparator(raw[i]);
        check(tabular ? lines[i].size() <= most : lines[i].size() == most);
    }
    return 0;
}
