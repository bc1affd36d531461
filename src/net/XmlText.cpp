// Comment removal, path encoding and entity decoding over GBK bytes.
#include "net/XmlText.h"

#include <array>

namespace xml {
namespace {

// End of the comment that starts at `at` (just past its "-->"), or the end of the input.
size_t commentEnd(std::string_view input, size_t at) {
    size_t i = at + 4;
    while (i < input.size()) {
        if (input.compare(i, 3, "-->") == 0) return i + 3;
        i += unitLength(input, i);
    }
    return input.size();
}

// Calls keep(offset, length) for every run of bytes outside comments.
template <typename Keep>
void forEachKeptRun(std::string_view input, Keep keep) {
    size_t runStart = 0;
    size_t i = 0;
    while (i < input.size()) {
        if (input.compare(i, 4, "<!--") == 0) {
            keep(runStart, i - runStart);
            i = commentEnd(input, i);
            runStart = i;
        } else {
            i += unitLength(input, i);
        }
    }
    keep(runStart, input.size() - runStart);
}

struct Entity {
    std::string_view form;
    char byte;
};

constexpr std::array<Entity, 6> kEntities{{
    {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&apos;", '\''}, {"&quot;", '"'}, {"&quote;", '"'},
}};

}  // namespace

std::string stripComments(std::string_view input) {
    size_t length = 0;
    forEachKeptRun(input, [&](size_t, size_t n) { length += n; });
    std::string out(length, '\0');
    size_t at = 0;
    forEachKeptRun(input, [&](size_t from, size_t n) {
        input.copy(out.data() + at, n, from);
        at += n;
    });
    return out;
}

std::string encodePathEntities(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    for (size_t i = 0; i < path.size();) {
        size_t n = unitLength(path, i);
        char c = path[i];
        if (n == 2) out.append(path.substr(i, 2));
        else if (c == '"') out += "&quot;";
        else if (c == '&') out += "&amp;";
        else if (c == '\'') out += "&apos;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else out += c;
        i += n;
    }
    return out;
}

std::string decodeEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::string entity;  // the bytes collected since '&'; empty when none is open
    for (size_t i = 0; i < text.size();) {
        size_t n = unitLength(text, i);
        char c = text[i];
        if (n == 2) {
            out += entity;
            entity.clear();
            out.append(text.substr(i, 2));
        } else if (c == '&') {
            out += entity;
            entity.assign(1, '&');
        } else if (!entity.empty()) {
            entity += c;
            if (c == ';') {
                char decoded = 0;
                for (const Entity& e : kEntities)
                    if (entity == e.form) decoded = e.byte;
                if (decoded) out += decoded;
                else out += entity;
                entity.clear();
            }
        } else {
            out += c;
        }
        i += n;
    }
    out += entity;
    return out;
}

std::string_view trimBlanks(std::string_view text) {
    size_t first = text.size();
    size_t end = 0;
    for (size_t i = 0; i < text.size();) {
        size_t n = unitLength(text, i);
        if (n == 2 || !isBlank(text[i])) {
            if (first == text.size()) first = i;
            end = i + n;
        }
        i += n;
    }
    return first < end ? text.substr(first, end - first) : std::string_view();
}

}  // namespace xml
