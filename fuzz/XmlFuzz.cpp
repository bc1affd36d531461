// Loads arbitrary bytes as an XML document and looks paths up in it. A loaded
// tree must keep the parser's promises (bounded depth, self-closing elements
// without content, unique attribute names), lookups must agree with the tree,
// and every pool block must be back after each run.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "net/XmlBuffer.h"
#include "net/XmlText.h"
#include "net/XmlTree.h"
#include "runtime/Heap.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

void checkNode(const xml::XmlNode& node, size_t depth) {
    check(depth <= xml::kMaxDepth);
    check(!node.name.empty() && node.name[0] != '/');
    if (node.selfClosing) check(node.children.empty() && node.text.empty());
    std::set<std::string_view> names;
    for (const auto& attribute : node.attributes) check(names.insert(attribute.first).second);
    check(xml::trimBlanks(node.text) == node.text);
    std::string decoded = xml::decodeEntities(node.text);
    check(decoded.size() <= node.text.size());
    for (const auto& child : node.children) checkNode(*child, depth + 1);
}

// The text at path, checked against found.
std::string lookUp(const xml::XmlTree& tree, std::string_view path, bool& found) {
    char* block = xml::getNodeText(tree, path, &found);
    std::string text = block ? std::string(block) : std::string();
    if (block) check(found && !text.empty());
    rt::FreeBlock(block);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    xml::XmlTree tree;
    bool loaded = xml::loadXml(tree, bytes);
    check(loaded == (tree.loaded == 1) && loaded == (tree.root != nullptr));
    if (loaded) checkNode(*tree.root, 1);

    bool found = true;
    for (std::string_view path : {"@1", "@1/@1", "@1/@2/@1", "@1/", "@1/@6", "@2"}) {
        std::string text = lookUp(tree, path, found);
        if (path == "@1") check(found == loaded);
        if (path == "@2") check(found == (loaded && tree.root->name == "@2"));  // a root may be named "@2"
    }
    if (loaded && !tree.root->children.empty()) {
        const xml::XmlNode& first = *tree.root->children.front();
        // A name without path-special bytes addresses the first child of that name.
        if (xml::encodePathEntities(first.name) == first.name && first.name.find('/') == std::string::npos &&
            first.name[0] != '@') {
            std::string text = lookUp(tree, "@1/" + first.name, found);
            check(found && text == xml::nodeText(first).substr(0, xml::nodeText(first).find('\0')));
        }
    }
    // The input's first bytes as a path.
    lookUp(tree, bytes.substr(0, 24), found);

    // Encoding a path and decoding it gives the path back.
    std::string_view tail = bytes.substr(size / 2);
    check(xml::decodeEntities(xml::encodePathEntities(tail)) == tail);

    check(xml::clearXml(tree) == loaded);
    check(xml::freePoolBlocks() == xml::kPoolBlockCount);
    return 0;
}
