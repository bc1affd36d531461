// A small, forgiving XML tree over GBK bytes: elements with their attributes
// and one text each; declarations, processing instructions and comments are
// skipped. Elements are addressed by paths such as "@1/@5" (the fifth child
// of the root) or by names ("r/b"). Not a conforming XML parser.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace xml {

// One element. Names, texts and attribute values are kept as written
// (entities undecoded).
struct XmlNode {
    std::string name;  // without "<"; compared byte-exact
    // The element's own text: the bytes after its start tag up to the next
    // tag, trimmed of blanks, tabs, CR and LF; the CDATA content when hasCData.
    std::string text;
    std::vector<std::pair<std::string, std::string>> attributes;  // document order, names unique
    std::vector<std::unique_ptr<XmlNode>> children;               // document order
    bool selfClosing = false;  // "<x/>": never has children or text
    bool hasCData = false;     // text is CDATA content and is returned undecoded

    // The value of the attribute, or null when the element has none by that name.
    const std::string* attribute(std::string_view attributeName) const;
};

// Deepest nesting of open elements a document may have; a deeper one is
// refused as malformed (XmlError::TooDeep), which keeps every walk of the
// tree, its destruction included, within a small, fixed stack depth.
inline constexpr size_t kMaxDepth = 256;

// The object the application holds. It starts empty; loadXml fills it,
// clearXml or the next loadXml empties it, and destroying it frees the tree.
struct XmlTree {
    int32_t loaded = 0;            // 1 while a document is held
    std::unique_ptr<XmlNode> root; // the document element while loaded is 1
};

enum class XmlError {
    None,
    EmptyInput,           // no bytes at all
    FileUnreadable,       // the named file cannot be opened or read
    LessThanInTag,        // "<" inside a tag or a declaration
    LessThanAtEnd,        // "<" as the last byte
    GreaterThanOutside,   // ">" outside any tag
    GreaterThanInText,    // ">" in element text
    EmptyTag,             // "<>"
    EmptyClosingTag,      // "</>"
    UnterminatedTag,      // a tag or declaration with no ">" before the end
    UnterminatedCData,    // "<![CDATA[" with no "]]>" after it
    EmptyName,            // a tag without a name ("< a>")
    AttributeWithoutName, // "=" where an attribute name is expected
    QuoteForName,         // a double quote where an attribute name is expected
    DuplicateAttribute,   // the same attribute name twice in one element
    MismatchedClosingTag, // "</b>" while "a" is open
    ClosingWithoutOpen,   // a closing tag with no element open
    UnclosedElements,     // elements still open at the end
    NoElement,            // nothing but declarations, comments or text
    TooDeep,              // more than kMaxDepth elements open at once
};

struct [[nodiscard]] XmlParseResult {
    std::unique_ptr<XmlNode> root;  // null unless error is None
    XmlError error = XmlError::None;
    size_t offset = 0;  // where the error was found, in the bytes after comment removal

    bool ok() const { return error == XmlError::None; }
};

// Parses a document (comments are removed first).
XmlParseResult parseXml(std::string_view document);

// Discards any document held, then loads this one. False (and nothing held)
// when it does not parse.
bool loadXml(XmlTree& tree, std::string_view document);
// As loadXml with the raw bytes of the named file. The name's bytes are used
// as the path as they are.
bool loadXmlFile(XmlTree& tree, std::string_view fileName);
// True when a document was held and has been discarded.
bool clearXml(XmlTree& tree);

// The element a path addresses, or null: empty path, no document, or a
// component that matches nothing.
const XmlNode* findNode(const XmlTree& tree, std::string_view path);
// The text getNodeText returns for an element: entities decoded unless it
// came from a CDATA section.
std::string nodeText(const XmlNode& node);
// The addressed element's text as a new runtime text block owned by the
// caller, or null (empty text, nothing allocated). *found, when given, is
// false unless an element was found.
char* getNodeText(const XmlTree& tree, std::string_view path, bool* found = nullptr);

}  // namespace xml
