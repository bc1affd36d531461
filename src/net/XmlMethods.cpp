// The XML tree's method routines: argument checks in one place, then the typed operations.
#include "net/XmlMethods.h"

#include <string_view>

#include "runtime/Array.h"
#include "runtime/Text.h"

namespace xml {
namespace {

XmlTree* treeOf(int32_t count, const rt::TaggedArg* args) {
    rt::TaggedArg object = rt::argumentAt(count, args, 0);
    return object.tag == rt::tag::XmlTree ? object.pointer<XmlTree>() : nullptr;
}

void setBool(rt::TaggedArg* result, bool value) { *result = rt::TaggedArg::ofBool(value); }

// The bytes of a byte-set, or of any byte array (its elements in row-major order).
std::string_view bytesOf(const rt::TaggedArg& source) {
    const void* block = source.pointer<const void>();
    if (source.tag == rt::tag::ByteSet) return rt::byteSetView(block);
    if (!block) return {};
    return {static_cast<const char*>(rt::arrayElements(block)), rt::arrayElementCount(block)};
}

}  // namespace

rt::TaggedArg xmlTreeArg(XmlTree& tree) {
    rt::TaggedArg a;
    a.setWords(rt::Words::ofPointer(&tree));
    a.tag = rt::tag::XmlTree;
    return a;
}

void LoadXml(rt::TaggedArg* result, int32_t count, rt::TaggedArg* args) {
    setBool(result, false);
    XmlTree* tree = treeOf(count, args);
    if (!tree) return;
    rt::TaggedArg source = rt::argumentAt(count, args, 1);
    bool ok = false;
    if (source.tag == rt::tag::ByteSet || source.tag == (rt::tag::Byte | rt::tag::ArrayFlag)) {
        ok = loadXml(*tree, bytesOf(source));
    } else if (source.tag == rt::tag::Text) {
        ok = loadXmlFile(*tree, rt::textView(source.pointer<const char>()));
    } else {
        clearXml(*tree);
    }
    setBool(result, ok);
}

void GetNodeText(rt::TaggedArg* result, int32_t count, rt::TaggedArg* args) {
    *result = rt::TaggedArg::ofText(nullptr);
    rt::TaggedArg foundArg = rt::argumentAt(count, args, 2);
    auto* foundVariable = foundArg.tag == rt::tag::Bool ? foundArg.pointer<int32_t>() : nullptr;
    if (foundVariable) *foundVariable = 0;
    XmlTree* tree = treeOf(count, args);
    rt::TaggedArg path = rt::argumentAt(count, args, 1);
    if (!tree || path.tag != rt::tag::Text) return;
    bool found = false;
    char* text = getNodeText(*tree, rt::textView(path.pointer<const char>()), &found);
    if (foundVariable) *foundVariable = found ? 1 : 0;
    *result = rt::TaggedArg::ofText(text);
}

void ClearXml(rt::TaggedArg* result, int32_t count, rt::TaggedArg* args) {
    XmlTree* tree = treeOf(count, args);
    setBool(result, tree && clearXml(*tree));
}

namespace call {

bool loadXml(XmlTree& tree, const void* byteSet) {
    rt::TaggedArg args[] = {xmlTreeArg(tree), rt::TaggedArg::ofByteSet(byteSet)};
    rt::TaggedArg r = rt::CallMethod(LoadXml, 2, args);
    return r.tag == rt::tag::Bool && r.low != 0;
}

bool loadXmlFile(XmlTree& tree, const char* fileName) {
    rt::TaggedArg args[] = {xmlTreeArg(tree), rt::TaggedArg::ofText(fileName)};
    rt::TaggedArg r = rt::CallMethod(LoadXml, 2, args);
    return r.tag == rt::tag::Bool && r.low != 0;
}

char* getNodeText(XmlTree& tree, const char* path, bool* found) {
    int32_t foundVariable = 0;
    rt::TaggedArg foundArg = rt::TaggedArg::ofBool(false);
    foundArg.setWords(rt::Words::ofPointer(&foundVariable));
    rt::TaggedArg args[] = {xmlTreeArg(tree), rt::TaggedArg::ofText(path), foundArg};
    rt::TaggedArg r = rt::CallMethod(GetNodeText, 3, args);
    if (found) *found = foundVariable != 0;
    return r.tag == rt::tag::Text ? r.pointer<char>() : nullptr;
}

bool clearXml(XmlTree& tree) {
    rt::TaggedArg args[] = {xmlTreeArg(tree)};
    rt::TaggedArg r = rt::CallMethod(ClearXml, 1, args);
    return r.tag == rt::tag::Bool && r.low != 0;
}

}  // namespace call
}  // namespace xml
