// The XML tree's three methods as runtime method routines (rt::CommandRoutine),
// and typed calls of them through rt::CallMethod for application code.
//
// The object argument: the application owns an XmlTree (a local or a
// program-wide variable, created empty). The first argument of every routine
// carries the tree's address in its two payload words (Words::ofPointer) with
// the library type rt::tag::XmlTree (0x50001); xmlTreeArg builds it. An
// argument of another type or a null address is no tree: the methods then
// answer false or empty text and touch nothing.
#pragma once

#include <cstdint>

#include "net/XmlTree.h"
#include "runtime/Dispatch.h"
#include "runtime/Value.h"

namespace xml {

// The object argument naming `tree`.
rt::TaggedArg xmlTreeArg(XmlTree& tree);

// tree, source -> bool. A byte-set source (tag byte-set, or an array of bytes)
// holds the document; a text source names a file read as raw bytes. Any
// document held is discarded first, whatever the outcome.
void LoadXml(rt::TaggedArg* result, int32_t count, rt::TaggedArg* args);
// tree, text path, found (optional) -> text, a new block owned by the caller
// (null for empty). found is a boolean variable passed by reference: its
// payload holds the address of an int32, set to 0 at entry and to 1 when an
// element was found.
void GetNodeText(rt::TaggedArg* result, int32_t count, rt::TaggedArg* args);
// tree -> bool: true when a document was held and has been discarded.
void ClearXml(rt::TaggedArg* result, int32_t count, rt::TaggedArg* args);

namespace call {

// From a byte-set block (null is the empty byte-set, which fails).
bool loadXml(XmlTree& tree, const void* byteSet);
// From the file named by a GBK text.
bool loadXmlFile(XmlTree& tree, const char* fileName);
// A new text block owned by the caller, or null for empty text.
char* getNodeText(XmlTree& tree, const char* path, bool* found = nullptr);
bool clearXml(XmlTree& tree);

}  // namespace call
}  // namespace xml
