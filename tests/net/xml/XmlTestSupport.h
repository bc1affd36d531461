// Helpers for the XML tree tests: load and look up in one step.
#pragma once

#include <string>
#include <string_view>

#include "net/XmlTree.h"
#include "runtime/Heap.h"

namespace xmltest {

// The text at `path` as a string (the block is freed), and whether an element was found.
struct Lookup {
    std::string text;
    bool found = false;
    bool null = true;  // no block was allocated
};

inline Lookup lookUp(const xml::XmlTree& tree, std::string_view path) {
    Lookup r;
    r.found = true;  // must be reset by the lookup
    char* block = xml::getNodeText(tree, path, &r.found);
    r.null = block == nullptr;
    if (block) r.text = block;
    rt::FreeBlock(block);
    return r;
}

inline xml::XmlError errorOf(std::string_view document) { return xml::parseXml(document).error; }

}  // namespace xmltest
