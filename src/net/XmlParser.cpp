// The tokeniser and tree builder: one tag at a time, with a stack of open elements.
#include <array>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "net/XmlBuffer.h"
#include "net/XmlText.h"
#include "net/XmlTree.h"

namespace xml {
namespace {

constexpr std::string_view kCDataOpen = "<![CDATA[";
constexpr std::string_view kCDataClose = "]]>";
// Up to this many attributes a new name is compared with each earlier one;
// past it, it is looked up in an ordered set of the names, so that a tag with a
// huge number of attributes costs n log n rather than n squared. (An ordered
// set, not a hashed one: names chosen to collide cannot slow it down.)
constexpr size_t kAttributesScannedDirectly = 8;

bool isSingle(std::string_view bytes, size_t at, char c) { return bytes[at] == c && unitLength(bytes, at) == 1; }

bool isSingleBlank(std::string_view bytes, size_t at) { return unitLength(bytes, at) == 1 && isBlank(bytes[at]); }

class Parser {
public:
    explicit Parser(std::string_view buffer) : b_(buffer) {}

    XmlParseResult run() {
        XmlParseResult result;
        if (parseAll()) {
            result.root = std::move(root_);
        } else {
            result.error = error_;
            result.offset = errorAt_;
        }
        return result;
    }

private:
    // What the bytes after a tag are: dropped (outside any element's text),
    // the text of the element just opened, or text after a closing tag, which
    // is read like element text but dropped.
    enum class After { Outside, OwnText, DroppedText };

    bool fail(XmlError e, size_t at) {
        error_ = e;
        errorAt_ = at;
        return false;
    }

    bool parseAll() {
        After after = After::Outside;
        XmlNode* textOwner = nullptr;
        while (true) {
            bool scanned = after == After::Outside ? skipOutside() : readText(after == After::OwnText ? textOwner : nullptr);
            if (!scanned) return false;
            if (p_ >= b_.size()) break;
            // At a '<'.
            if (p_ + 1 >= b_.size()) return fail(XmlError::LessThanAtEnd, p_);
            if (b_[p_ + 1] == '!' || b_[p_ + 1] == '?') {
                if (!skipDeclaration()) return false;
                after = After::Outside;
                continue;
            }
            if (!readTag(after, textOwner)) return false;
        }
        if (!stack_.empty()) return fail(XmlError::UnclosedElements, b_.size());
        if (!root_) return fail(XmlError::NoElement, b_.size());
        return true;
    }

    // Drops bytes up to the next '<'.
    bool skipOutside() {
        while (p_ < b_.size()) {
            size_t n = unitLength(b_, p_);
            if (n == 1 && b_[p_] == '>') return fail(XmlError::GreaterThanOutside, p_);
            if (n == 1 && b_[p_] == '<') return true;
            p_ += n;
        }
        return true;
    }

    // Skips "<!...>" or "<?...>" starting at p_.
    bool skipDeclaration() {
        size_t start = p_;
        size_t i = p_ + 2;
        while (i < b_.size()) {
            size_t n = unitLength(b_, i);
            if (n == 1 && b_[i] == '>') {
                p_ = i + 1;
                return true;
            }
            if (n == 1 && b_[i] == '<') return fail(XmlError::LessThanInTag, i);
            i += n;
        }
        return fail(XmlError::UnterminatedTag, start);
    }

    // Reads the text candidate up to the next tag; gives it to `owner` (when
    // not null) once that tag is reached. Text with no tag after it is dropped.
    bool readText(XmlNode* owner) {
        text_.clear();
        bool cdata = false;
        size_t runStart = p_;
        auto flush = [&](size_t end) {
            if (!cdata) text_.append(b_.substr(runStart, end - runStart));
        };
        while (p_ < b_.size()) {
            size_t n = unitLength(b_, p_);
            if (n == 2 || (b_[p_] != '<' && b_[p_] != '>')) {
                p_ += n;
                continue;
            }
            if (b_[p_] == '>') return fail(XmlError::GreaterThanInText, p_);
            flush(p_);
            if (b_.compare(p_, kCDataOpen.size(), kCDataOpen) == 0) {
                size_t contentStart = p_ + kCDataOpen.size();
                size_t close = findCDataClose(contentStart);
                if (close == std::string_view::npos) return fail(XmlError::UnterminatedCData, p_);
                text_.assign(b_.substr(contentStart, close - contentStart));
                cdata = true;
                p_ = close + kCDataClose.size();
            } else if (p_ + 1 < b_.size() && b_[p_ + 1] == '!') {
                if (!skipDeclaration()) return false;
            } else {
                break;  // the next tag
            }
            runStart = p_;
        }
        if (p_ >= b_.size()) return true;
        if (owner) {
            owner->text = std::string(trimBlanks(text_.view()));
            owner->hasCData = cdata;
        }
        return true;
    }

    size_t findCDataClose(size_t from) const {
        for (size_t i = from; i < b_.size(); i += unitLength(b_, i))
            if (b_.compare(i, kCDataClose.size(), kCDataClose) == 0) return i;
        return std::string_view::npos;
    }

    // Reads the tag at p_ and adds it to the tree.
    bool readTag(After& after, XmlNode*& textOwner) {
        size_t start = p_;
        size_t i = p_ + 1;
        bool quoted = false;
        bool endsWithSlash = false;
        while (true) {
            if (i >= b_.size()) return fail(XmlError::UnterminatedTag, start);
            size_t n = unitLength(b_, i);
            char c = b_[i];
            if (n == 1 && c == '"') quoted = !quoted;
            if (n == 1 && !quoted && c == '>') break;
            if (n == 1 && !quoted && c == '<') return fail(XmlError::LessThanInTag, i);
            endsWithSlash = n == 1 && c == '/';
            i += n;
        }
        std::string_view content = b_.substr(start + 1, i - start - 1);
        p_ = i + 1;
        if (content.empty()) return fail(XmlError::EmptyTag, i);
        if (content == "/") return fail(XmlError::EmptyClosingTag, start);
        std::string_view body = endsWithSlash ? content.substr(0, content.size() - 1) : content;
        return addElement(body, endsWithSlash, start, after, textOwner);
    }

    bool addElement(std::string_view body, bool selfClosing, size_t at, After& after, XmlNode*& textOwner) {
        size_t nameEnd = 0;
        while (nameEnd < body.size() && !isSingleBlank(body, nameEnd)) nameEnd += unitLength(body, nameEnd);
        std::string_view name = body.substr(0, nameEnd);
        if (name.empty()) return fail(XmlError::EmptyName, at);

        if (name[0] == '/') {
            if (stack_.empty()) return fail(XmlError::ClosingWithoutOpen, at);
            if (name.substr(1) != stack_.back()->name) return fail(XmlError::MismatchedClosingTag, at);
            stack_.pop_back();
            after = After::DroppedText;
            textOwner = nullptr;
            return true;
        }

        auto node = std::make_unique<XmlNode>();
        node->name = std::string(name);
        node->selfClosing = selfClosing;
        if (!parseAttributes(body.substr(nameEnd), *node, at + 1 + nameEnd)) return false;
        if (!selfClosing && stack_.size() >= kMaxDepth) return fail(XmlError::TooDeep, at);

        XmlNode* added = node.get();
        if (stack_.empty()) {
            root_ = std::move(node);  // a later top-level element replaces an earlier one
        } else {
            stack_.back()->children.push_back(std::move(node));
        }
        if (selfClosing) {
            after = After::Outside;
            textOwner = nullptr;
        } else {
            stack_.push_back(added);
            after = After::OwnText;
            textOwner = added;
        }
        return true;
    }

    // The names of one tag's attributes seen so far. The names are views into
    // the tag's bytes, which outlive the check.
    class AttributeNames {
    public:
        // False when `name` was seen before in this tag.
        bool add(std::string_view name) {
            if (count_ < kAttributesScannedDirectly) {
                for (size_t k = 0; k < count_; ++k)
                    if (first_[k] == name) return false;
                first_[count_++] = name;
                if (count_ == kAttributesScannedDirectly) ordered_.insert(first_.begin(), first_.end());
                return true;
            }
            return ordered_.insert(name).second;
        }

    private:
        std::array<std::string_view, kAttributesScannedDirectly> first_;  // the first few
        size_t count_ = 0;
        std::set<std::string_view> ordered_;  // every name, once there are more than a few
    };

    // Blank-separated name="value" pairs; a name alone has the value "1".
    bool parseAttributes(std::string_view s, XmlNode& node, size_t base) {
        AttributeNames seen;
        size_t i = 0;
        auto skipBlanks = [&] {
            while (i < s.size() && isSingleBlank(s, i)) ++i;
        };
        while (true) {
            skipBlanks();
            if (i >= s.size()) return true;
            if (isSingle(s, i, '"')) return fail(XmlError::QuoteForName, base + i);
            if (isSingle(s, i, '=')) return fail(XmlError::AttributeWithoutName, base + i);
            size_t nameStart = i;
            while (i < s.size() && !isSingleBlank(s, i) && !isSingle(s, i, '=') && !isSingle(s, i, '"'))
                i += unitLength(s, i);
            std::string_view name = s.substr(nameStart, i - nameStart);
            name_.assign(name);
            skipBlanks();
            if (i < s.size() && isSingle(s, i, '=')) {
                ++i;
                skipBlanks();
                readAttributeValue(s, i);
            } else {
                value_.assign("1");
            }
            if (!seen.add(name)) return fail(XmlError::DuplicateAttribute, base + nameStart);
            node.attributes.emplace_back(name_.str(), value_.str());
        }
    }

    // A value in double quotes, or, forgivingly, an unquoted one up to the next blank.
    void readAttributeValue(std::string_view s, size_t& i) {
        if (i < s.size() && isSingle(s, i, '"')) {
            size_t valueStart = ++i;
            while (i < s.size() && !isSingle(s, i, '"')) i += unitLength(s, i);
            value_.assign(s.substr(valueStart, i - valueStart));
            if (i < s.size()) ++i;  // the closing quote (the tag reader keeps quotes balanced)
            return;
        }
        size_t valueStart = i;
        while (i < s.size() && !isSingleBlank(s, i) && !isSingle(s, i, '"')) i += unitLength(s, i);
        value_.assign(s.substr(valueStart, i - valueStart));
    }

    std::string_view b_;
    size_t p_ = 0;
    std::vector<XmlNode*> stack_;  // open elements, innermost last; owned by the tree
    std::unique_ptr<XmlNode> root_;
    XmlBuffer text_;
    XmlBuffer name_;
    XmlBuffer value_;
    XmlError error_ = XmlError::None;
    size_t errorAt_ = 0;
};

}  // namespace

const std::string* XmlNode::attribute(std::string_view attributeName) const {
    for (const auto& [n, v] : attributes)
        if (n == attributeName) return &v;
    return nullptr;
}

XmlParseResult parseXml(std::string_view document) {
    if (document.empty()) {
        XmlParseResult result;
        result.error = XmlError::EmptyInput;
        return result;
    }
    std::string stripped = stripComments(document);
    return Parser(stripped).run();
}

}  // namespace xml
