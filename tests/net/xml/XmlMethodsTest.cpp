// The method routines through rt::CallMethod: sources, reload, clear, found, file loads.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "net/XmlMethods.h"
#include "runtime/Heap.h"
#include "runtime/Text.h"

namespace {

std::string takeText(char* block) {
    std::string s(rt::textView(block));
    rt::FreeBlock(block);
    return s;
}

struct ByteSet {
    explicit ByteSet(std::string_view bytes) : block(rt::makeByteSet(bytes)) {}
    ~ByteSet() { rt::FreeBlock(block); }
    void* block;
};

TEST(XmlMethods, LoadLookUpClearAndReload) {
    xml::XmlTree tree;
    EXPECT_FALSE(xml::call::clearXml(tree));  // nothing held
    ByteSet first("<r><a>one</a></r>");
    ASSERT_TRUE(xml::call::loadXml(tree, first.block));
    bool found = false;
    EXPECT_EQ(takeText(xml::call::getNodeText(tree, "@1/@1", &found)), "one");
    EXPECT_TRUE(found);

    // A failed reload discards the old document too.
    ByteSet broken("<r><a>two</r>");
    EXPECT_FALSE(xml::call::loadXml(tree, broken.block));
    EXPECT_EQ(tree.loaded, 0);
    EXPECT_EQ(xml::call::getNodeText(tree, "@1/@1", &found), nullptr);
    EXPECT_FALSE(found);

    ByteSet second("<s><b>two</b></s>");
    ASSERT_TRUE(xml::call::loadXml(tree, second.block));
    EXPECT_EQ(takeText(xml::call::getNodeText(tree, "s/b")), "two");
    EXPECT_TRUE(xml::call::clearXml(tree));
    EXPECT_FALSE(xml::call::clearXml(tree));
    EXPECT_EQ(xml::call::getNodeText(tree, "@1", &found), nullptr);
    EXPECT_FALSE(found);
}

TEST(XmlMethods, EmptyByteSetFails) {
    xml::XmlTree tree;
    EXPECT_FALSE(xml::call::loadXml(tree, nullptr));
    uint32_t emptySet[2] = {1, 0};
    EXPECT_FALSE(xml::call::loadXml(tree, emptySet));
}

TEST(XmlMethods, RoutinesCheckTheirArguments) {
    xml::XmlTree tree;
    ByteSet doc("<r>t</r>");
    rt::TaggedArg args[] = {xml::xmlTreeArg(tree), rt::TaggedArg::ofByteSet(doc.block)};
    ASSERT_EQ(rt::CallMethod(xml::LoadXml, 2, args).low, 1u);

    // Not a tree object: nothing is touched.
    rt::TaggedArg wrong[] = {rt::TaggedArg::ofInt(0), rt::TaggedArg::ofByteSet(doc.block)};
    rt::TaggedArg r = rt::CallMethod(xml::LoadXml, 2, wrong);
    EXPECT_EQ(r.tag, rt::tag::Bool);
    EXPECT_EQ(r.low, 0u);
    rt::TaggedArg nullTree[] = {rt::TaggedArg{0, 0, rt::tag::XmlTree}};
    EXPECT_EQ(rt::CallMethod(xml::ClearXml, 1, nullTree).low, 0u);
    EXPECT_EQ(tree.loaded, 1);

    // The found variable is cleared even when the path argument is missing.
    int32_t found = 7;
    rt::TaggedArg foundArg = rt::TaggedArg::ofBool(false);
    foundArg.setWords(rt::Words::ofPointer(&found));
    rt::TaggedArg lookup[] = {xml::xmlTreeArg(tree), rt::TaggedArg{}, foundArg};
    r = rt::CallMethod(xml::GetNodeText, 3, lookup);
    EXPECT_EQ(r.tag, rt::tag::Text);
    EXPECT_EQ(r.pointer<char>(), nullptr);
    EXPECT_EQ(found, 0);
    lookup[1] = rt::TaggedArg::ofText("@1");
    r = rt::CallMethod(xml::GetNodeText, 3, lookup);
    EXPECT_EQ(found, 1);
    EXPECT_EQ(takeText(r.pointer<char>()), "t");

    // Another kind of source discards the document and fails.
    rt::TaggedArg other[] = {xml::xmlTreeArg(tree), rt::TaggedArg::ofInt(5)};
    EXPECT_EQ(rt::CallMethod(xml::LoadXml, 2, other).low, 0u);
    EXPECT_EQ(tree.loaded, 0);
}

TEST(XmlMethods, LoadsFromAByteArray) {
    xml::XmlTree tree;
    std::string doc = "<r>ok</r>";
    std::string block(8 + doc.size(), '\0');
    uint32_t header[2] = {1, static_cast<uint32_t>(doc.size())};
    std::memcpy(block.data(), header, 8);
    std::memcpy(block.data() + 8, doc.data(), doc.size());
    rt::TaggedArg args[] = {xml::xmlTreeArg(tree), rt::TaggedArg::ofArray(rt::tag::Byte, block.data())};
    EXPECT_EQ(rt::CallMethod(xml::LoadXml, 2, args).low, 1u);
    EXPECT_EQ(takeText(xml::call::getNodeText(tree, "@1")), "ok");
}

TEST(XmlMethods, LoadsFromAFile) {
    auto path = std::filesystem::temp_directory_path() / ("impostra_xml_" + std::to_string(::getpid()) + ".xml");
    {
        std::ofstream out(path, std::ios::binary);
        out << "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<!-- c -->\r\n<r><a>1 &lt; 2</a></r>\r\n";
    }
    xml::XmlTree tree;
    ASSERT_TRUE(xml::call::loadXmlFile(tree, path.string().c_str()));
    EXPECT_EQ(takeText(xml::call::getNodeText(tree, "@1/@1")), "1 < 2");
    std::filesystem::remove(path);

    // A file that is gone, a directory and an empty name all fail and leave nothing held.
    EXPECT_FALSE(xml::call::loadXmlFile(tree, path.string().c_str()));
    EXPECT_EQ(tree.loaded, 0);
    EXPECT_FALSE(xml::call::loadXmlFile(tree, std::filesystem::temp_directory_path().string().c_str()));
    EXPECT_FALSE(xml::call::loadXmlFile(tree, nullptr));

    std::ofstream(path, std::ios::binary).close();  // an empty file
    EXPECT_FALSE(xml::call::loadXmlFile(tree, path.string().c_str()));
    std::filesystem::remove(path);
}

}  // namespace
