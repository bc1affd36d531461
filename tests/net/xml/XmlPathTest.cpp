// Path lookup: positional and named components, found, and decoding of the result.
#include <gtest/gtest.h>

#include <string>

#include "XmlTestSupport.h"
#include "net/XmlTree.h"
#include "platform/Gbk.h"

namespace {

using xmltest::lookUp;

class XmlPath : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(xml::loadXml(tree, "<r><a>x</a><b> y </b></r>")); }
    xml::XmlTree tree;
};

TEST_F(XmlPath, PositionalAndNamedComponents) {
    EXPECT_EQ(lookUp(tree, "@1/@2").text, "y");
    EXPECT_EQ(lookUp(tree, "r/b").text, "y");
    EXPECT_EQ(lookUp(tree, "@1/a").text, "x");
    EXPECT_EQ(lookUp(tree, "r/@01").text, "x");  // leading zeros are fine below the root
    auto found = lookUp(tree, "@1/@1");
    EXPECT_TRUE(found.found);
}

TEST_F(XmlPath, UnresolvedPathsGiveNullAndNotFound) {
    for (const char* path : {"@1/@3", "@2/@1", "@01", "@2", "R/b", "r/c", "@1/@0", "@1/@", "@1//@1", "", "/", "@1/@1/@1", "@1/-1"}) {
        auto r = lookUp(tree, path);
        EXPECT_FALSE(r.found) << path;
        EXPECT_TRUE(r.null) << path;
    }
}

// Positions past the range of a machine word must not wrap round to a real child.
TEST_F(XmlPath, HugePositionsDoNotWrap) {
    for (const char* path : {"@1/@4294967297", "@1/@4294967298", "@1/@18446744073709551617"})
        EXPECT_FALSE(lookUp(tree, path).found) << path;
}

TEST_F(XmlPath, TrailingSlashStaysOnTheElement) {
    EXPECT_EQ(lookUp(tree, "@1/@2/").text, "y");
    auto root = lookUp(tree, "@1/");
    EXPECT_TRUE(root.found);
    EXPECT_TRUE(root.null);  // the root has no text of its own
}

TEST(XmlPathText, FoundElementWithEmptyTextAllocatesNothing) {
    xml::XmlTree t;
    ASSERT_TRUE(xml::loadXml(t, "<r><a/></r>"));
    auto r = lookUp(t, "@1/@1");
    EXPECT_TRUE(r.found);
    EXPECT_TRUE(r.null);
}

TEST(XmlPathText, EntitiesDecodedUnlessCData) {
    xml::XmlTree t;
    ASSERT_TRUE(xml::loadXml(t, "<r><a>1 &lt; 2 &amp;&#33;</a><b><![CDATA[ <b>&lt;</b> ]]></b></r>"));
    EXPECT_EQ(lookUp(t, "@1/@1").text, "1 < 2 &&#33;");
    EXPECT_EQ(lookUp(t, "@1/@2").text, "<b>&lt;</b>");
    EXPECT_EQ(t.root->children[0]->text, "1 &lt; 2 &amp;&#33;");  // stored undecoded
}

TEST(XmlPathText, NamesAreComparedWithTheEncodedPath) {
    xml::XmlTree t;
    ASSERT_TRUE(xml::loadXml(t, "<r><a&amp;b>1</a&amp;b><q&quot;>2</q&quot;></r>"));
    EXPECT_EQ(lookUp(t, "r/a&b").text, "1");
    EXPECT_EQ(lookUp(t, "r/q\"").text, "2");
    EXPECT_FALSE(lookUp(t, "r/a&amp;b").found);  // the path's own '&' is encoded as well
}

TEST(XmlPathText, NamesMayBeGbkAndSlashInsideACharacterDoesNotSplit) {
    std::string name = platform::utf8ToGbk("版本");
    std::string odd = "\x81/";  // second byte '/'
    xml::XmlTree t;
    ASSERT_TRUE(xml::loadXml(t, "<r><" + name + ">2.12</" + name + "><" + odd + "x>3</" + odd + "x></r>"));
    EXPECT_EQ(lookUp(t, "r/" + name).text, "2.12");
    EXPECT_EQ(lookUp(t, "r/" + odd + "x").text, "3");
}

TEST(XmlPathText, UpdateDocumentBySixPositions) {
    std::string prompt = platform::utf8ToGbk("发现新版本，是否下载？");
    std::string doc = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<root>\r\n  <v>2.12</v>\r\n"
                      "  <d>http://example.test/dl?a=1&amp;b=2</d>\r\n  <p>" + prompt + "</p>\r\n"
                      "  <img>http://example.test/b.png</img>\r\n  <link>http://example.test/</link>\r\n"
                      "  <f>1</f>\r\n</root>\r\n";
    xml::XmlTree t;
    ASSERT_TRUE(xml::loadXml(t, doc));
    EXPECT_EQ(lookUp(t, "@1/@1").text, "2.12");
    EXPECT_EQ(lookUp(t, "@1/@2").text, "http://example.test/dl?a=1&b=2");
    EXPECT_EQ(lookUp(t, "@1/@3").text, prompt);
    EXPECT_EQ(lookUp(t, "@1/@5").text, "http://example.test/");
    EXPECT_EQ(lookUp(t, "@1/@6").text, "1");
    EXPECT_FALSE(lookUp(t, "@1/@7").found);
}

TEST(XmlPathText, NothingHeldAnswersEmpty) {
    xml::XmlTree t;
    EXPECT_FALSE(lookUp(t, "@1").found);
    EXPECT_FALSE(xml::loadXml(t, "<r><a></b></r>"));
    EXPECT_FALSE(lookUp(t, "@1").found);
    EXPECT_FALSE(lookUp(t, "r").found);
}

}  // namespace
