// Loading, discarding and path lookup on an XmlTree.
#include "net/XmlTree.h"

#include <cstdio>
#include <string>

#include "net/XmlText.h"
#include "runtime/Text.h"

namespace xml {
namespace {

// The whole file as raw bytes; false when it cannot be opened or read.
bool readFile(std::string_view fileName, std::string& bytes) {
    std::string path(fileName);
    if (path.empty() || path.find('\0') != std::string::npos) return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char chunk[4096];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, n);
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

void hold(XmlTree& tree, XmlParseResult parsed) {
    if (!parsed.ok()) return;
    tree.root = std::move(parsed.root);
    tree.loaded = 1;
}

// Splits at '/' bytes that are not part of a two-byte character.
std::vector<std::string_view> splitPath(std::string_view path) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i < path.size();) {
        size_t n = unitLength(path, i);
        if (n == 1 && path[i] == '/') {
            parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
        i += n;
    }
    parts.push_back(path.substr(start));
    return parts;
}

// The 1-based position of "@n" (one or more decimal digits, value at least 1),
// or 0 when the component is not of that form. Values past `limit` give limit + 1.
size_t positionOf(std::string_view component, size_t limit) {
    if (component.size() < 2 || component[0] != '@') return 0;
    size_t value = 0;
    for (char c : component.substr(1)) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + static_cast<size_t>(c - '0');
        if (value > limit) value = limit + 1;  // saturate: no such child either way
    }
    return value;
}

const XmlNode* childFor(const XmlNode& node, std::string_view component) {
    if (size_t n = positionOf(component, node.children.size())) {
        return n <= node.children.size() ? node.children[n - 1].get() : nullptr;
    }
    for (const auto& child : node.children)
        if (child->name == component) return child.get();
    return nullptr;
}

}  // namespace

bool clearXml(XmlTree& tree) {
    bool held = tree.loaded != 0;
    tree.root.reset();
    tree.loaded = 0;
    return held;
}

bool loadXml(XmlTree& tree, std::string_view document) {
    clearXml(tree);
    hold(tree, parseXml(document));
    return tree.loaded != 0;
}

bool loadXmlFile(XmlTree& tree, std::string_view fileName) {
    clearXml(tree);
    std::string bytes;
    if (!readFile(fileName, bytes)) return false;
    return loadXml(tree, bytes);
}

const XmlNode* findNode(const XmlTree& tree, std::string_view path) {
    if (path.empty() || !tree.loaded || !tree.root) return nullptr;
    std::string encoded = encodePathEntities(path);
    std::vector<std::string_view> parts = splitPath(encoded);
    const XmlNode* node = tree.root.get();
    if (parts[0] != "@1" && parts[0] != node->name) return nullptr;
    for (size_t i = 1; i < parts.size() && node; ++i) {
        if (parts[i].empty() && i + 1 == parts.size()) break;  // a trailing "/" stays put
        node = childFor(*node, parts[i]);
    }
    return node;
}

std::string nodeText(const XmlNode& node) { return node.hasCData ? node.text : decodeEntities(node.text); }

char* getNodeText(const XmlTree& tree, std::string_view path, bool* found) {
    if (found) *found = false;
    const XmlNode* node = findNode(tree, path);
    if (!node) return nullptr;
    if (found) *found = true;
    return rt::makeText(nodeText(*node));
}

}  // namespace xml
