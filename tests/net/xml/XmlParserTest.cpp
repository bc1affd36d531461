// Loading: what the tree holds, what is skipped, and every construct that is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "XmlTestSupport.h"
#include "net/XmlText.h"
#include "net/XmlTree.h"
#include "platform/Gbk.h"

namespace {

using xml::XmlError;
using xmltest::errorOf;
using xmltest::lookUp;

TEST(XmlParser, BuildsElementsChildrenAndTrimmedTexts) {
    auto parsed = xml::parseXml("<r><a>x</a><b> \t\r\n y z \n</b><c/></r>");
    ASSERT_TRUE(parsed.ok());
    const xml::XmlNode& r = *parsed.root;
    EXPECT_EQ(r.name, "r");
    ASSERT_EQ(r.children.size(), 3u);
    EXPECT_EQ(r.children[0]->text, "x");
    EXPECT_EQ(r.children[1]->text, "y z");
    EXPECT_TRUE(r.children[2]->selfClosing);
    EXPECT_FALSE(r.children[0]->selfClosing);
}

TEST(XmlParser, KeepsOnlyTheTextBeforeTheFirstChild) {
    auto parsed = xml::parseXml("<r> own <a>x</a> after a <b/> after b </r> tail");
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.root->text, "own");
    EXPECT_EQ(parsed.root->children[0]->text, "x");
}

TEST(XmlParser, SkipsDeclarationsCommentsAndInstructions) {
    std::string decorated =
        "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<!-- head <r>x</r> -->\r\n<!DOCTYPE r>\r\n"
        "<r><!-- c1 --><a>1<!-- mid --></a><b>2</b><?pi x?></r><!-- end -->";
    xml::XmlTree t;
    ASSERT_TRUE(xml::loadXml(t, decorated));
    ASSERT_EQ(t.root->children.size(), 2u);
    EXPECT_EQ(lookUp(t, "@1/@1").text, "1");
    EXPECT_EQ(lookUp(t, "@1/@2").text, "2");
    // "<!" not followed by "--" is no comment: it stays and is skipped as a declaration.
    EXPECT_EQ(xml::stripComments("<!-x-><!---->"), "<!-x->");
}

TEST(XmlParser, DeclarationInsideTextIsSkippedAndTextContinues) {
    auto parsed = xml::parseXml("<r>ab<!x y>cd</r>");
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.root->text, "abcd");
}

TEST(XmlParser, CDataSectionsReplaceTextAndStayRaw) {
    auto parsed = xml::parseXml("<r><a><![CDATA[ <b>&lt;</b> ]]></a>"
                                "<b>before<![CDATA[one]]>after<![CDATA[two]]>more</b>"
                                "<c><![CDATA[x]>y]]></c></r>");
    ASSERT_TRUE(parsed.ok());
    const auto& kids = parsed.root->children;
    EXPECT_EQ(kids[0]->text, "<b>&lt;</b>");
    EXPECT_TRUE(kids[0]->hasCData);
    EXPECT_EQ(kids[1]->text, "two");
    EXPECT_EQ(kids[2]->text, "x]>y");
    EXPECT_EQ(errorOf("<r><![CDATA[never closed</r>"), XmlError::UnterminatedCData);
}

TEST(XmlParser, Attributes) {
    auto parsed = xml::parseXml("<r a=\"1 2\"  b =\"<>/\" flag c=\"&amp;\"/>");
    ASSERT_TRUE(parsed.ok());
    const xml::XmlNode& r = *parsed.root;
    ASSERT_EQ(r.attributes.size(), 4u);
    EXPECT_EQ(r.attributes[0], (std::pair<std::string, std::string>{"a", "1 2"}));
    EXPECT_EQ(*r.attribute("b"), "<>/");
    EXPECT_EQ(*r.attribute("flag"), "1");
    EXPECT_EQ(*r.attribute("c"), "&amp;");  // kept undecoded
    EXPECT_TRUE(r.selfClosing);
    EXPECT_EQ(r.attribute("d"), nullptr);

    // Tabs and line breaks separate the name and attributes like blanks.
    auto multiline = xml::parseXml("<r\n\tx=\"1\"\r\n>t</r\n>");
    ASSERT_TRUE(multiline.ok());
    EXPECT_EQ(multiline.root->name, "r");
    EXPECT_EQ(*multiline.root->attribute("x"), "1");
}

TEST(XmlParser, AttributeErrors) {
    EXPECT_EQ(errorOf("<r x=\"1\" x=\"2\"/>"), XmlError::DuplicateAttribute);
    EXPECT_EQ(errorOf("<r =\"1\"/>"), XmlError::AttributeWithoutName);
    EXPECT_EQ(errorOf("<r \"v\"/>"), XmlError::QuoteForName);
    EXPECT_EQ(errorOf("<r flag flag/>"), XmlError::DuplicateAttribute);
    EXPECT_EQ(errorOf("< r/>"), XmlError::EmptyName);
}

// Attributes " a0="v" a1="v" ..." for the given indices, in that order.
std::string attributeList(const std::vector<int>& indices) {
    std::string list;
    for (int i : indices) list += " a" + std::to_string(i) + "=\"v\"";
    return list;
}

std::vector<int> upTo(int count) {
    std::vector<int> indices(size_t(count), 0);
    for (int i = 0; i < count; ++i) indices[size_t(i)] = i;
    return indices;
}

// Guards the duplicate check of long tags, which looks names up in a set once
// a tag has more than a few: a duplicate must still be found wherever it is.
TEST(XmlParser, DuplicatesAreFoundAmongManyAttributes) {
    auto duplicateAt = [](std::vector<int> indices, int repeated) {
        indices.push_back(repeated);
        std::string doc = "<r" + attributeList(indices) + "/>";
        auto parsed = xml::parseXml(doc);
        EXPECT_EQ(parsed.error, XmlError::DuplicateAttribute) << indices.size() << " attributes";
        // Reported at the second occurrence, the last attribute here.
        EXPECT_EQ(parsed.offset, doc.rfind(" a") + 1);
    };
    for (int count : {1, 7, 8, 9, 20000}) {
        SCOPED_TRACE(count);
        duplicateAt(upTo(count), 0);          // the first again, at the end
        duplicateAt(upTo(count), count - 1);  // the one just before
        duplicateAt(upTo(count), count / 2);
    }
    // The earliest duplicate is reported, ahead of any later error in the tag.
    std::vector<int> twice = upTo(30000);
    twice.push_back(29999);
    std::string doc = "<r" + attributeList(twice) + " a0=\"v\" =\"x\"/>";
    auto parsed = xml::parseXml(doc);
    EXPECT_EQ(parsed.error, XmlError::DuplicateAttribute);
    EXPECT_EQ(parsed.offset, doc.find(" a29999=", doc.find(" a29999=") + 1) + 1);
    EXPECT_EQ(errorOf("<r a b c d e f g h i j k l a/>"), XmlError::DuplicateAttribute);
}

TEST(XmlParser, ManyDistinctAttributesLoadInDocumentOrder) {
    std::vector<int> indices = upTo(20000);
    std::reverse(indices.begin(), indices.end());
    auto parsed = xml::parseXml("<r" + attributeList(indices) + ">t</r>");
    ASSERT_TRUE(parsed.ok());
    ASSERT_EQ(parsed.root->attributes.size(), indices.size());
    for (size_t k = 0; k < indices.size(); ++k)
        ASSERT_EQ(parsed.root->attributes[k].first, "a" + std::to_string(indices[k]));
    // Equal names in different elements are no duplicates.
    EXPECT_TRUE(xml::parseXml("<r" + attributeList(upTo(50)) + "><c" + attributeList(upTo(50)) + "/></r>").ok());
}

// Guards the text buffer's growth: a text put together from many runs between
// declarations once took a copy of the whole text for every run.
TEST(XmlParser, TextBrokenByManyDeclarationsIsKeptWhole) {
    std::string doc = "<r>";
    std::string expected;
    for (int i = 0; i < 50000; ++i) {
        std::string run = std::to_string(i) + ",";
        doc += run + "<!x>";
        expected += run;
    }
    auto parsed = xml::parseXml(doc + "</r>");
    ASSERT_TRUE(parsed.ok());
    EXPECT_TRUE(parsed.root->text == expected) << parsed.root->text.size() << " bytes";
}

TEST(XmlParser, RefusesMalformedMarkup) {
    struct Case {
        const char* document;
        XmlError error;
    } cases[] = {
        {"", XmlError::EmptyInput},
        {"<r><a>1 > 0</a></r>", XmlError::GreaterThanInText},
        {"> <r/>", XmlError::GreaterThanOutside},
        {"<r/> >", XmlError::GreaterThanOutside},
        {"<r></r> >", XmlError::GreaterThanInText},  // text after a closing tag is read, then dropped
        {"<r><a<b></r>", XmlError::LessThanInTag},
        {"<r></r><", XmlError::LessThanAtEnd},
        {"<r><></r>", XmlError::EmptyTag},
        {"<r></></r>", XmlError::EmptyClosingTag},
        {"<r><a></b></r>", XmlError::MismatchedClosingTag},
        {"<r><a></A></r>", XmlError::MismatchedClosingTag},  // names are case-sensitive
        {"</r>", XmlError::ClosingWithoutOpen},
        {"<r><a>", XmlError::UnclosedElements},
        {"<r", XmlError::UnterminatedTag},
        {"<r a=\">\"", XmlError::UnterminatedTag},
        {"<?xml version=\"1.0\"", XmlError::UnterminatedTag},
        {"<!DOCTYPE r [<!ENTITY e \"x\">]><r/>", XmlError::LessThanInTag},
        {"just text", XmlError::NoElement},
        {"<?xml version=\"1.0\"?><!-- only a comment -->", XmlError::NoElement},
        {"<!-- unclosed comment <r/>", XmlError::NoElement},
    };
    for (const Case& c : cases) EXPECT_EQ(errorOf(c.document), c.error) << c.document;
}

TEST(XmlParser, QuotedMarkupInsideTagsIsOrdinary) {
    auto parsed = xml::parseXml("<r a=\"x<y>z\">t</r>");
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(*parsed.root->attribute("a"), "x<y>z");
    EXPECT_EQ(parsed.root->text, "t");
}

TEST(XmlParser, LaterTopLevelElementReplacesTheRoot) {
    xml::XmlTree t;
    ASSERT_TRUE(xml::loadXml(t, "<a>1</a><b>2</b>"));
    EXPECT_EQ(t.root->name, "b");
    EXPECT_EQ(lookUp(t, "@1").text, "2");
}

TEST(XmlParser, GbkCharactersAreUnitsNeverMarkup) {
    // Second bytes that look like markup belong to the character.
    std::string lt = "\x81<";
    std::string amp = "\x81&";
    std::string close = "\x81]";
    std::string doc = "<r><a>" + lt + "</a><b>" + amp + "lt;</b><c><![CDATA[" + close + "]>]]></c>"
                      "<d x=\"\x81\"\">v</d></r>";
    xml::XmlTree t;
    ASSERT_TRUE(xml::loadXml(t, doc));
    EXPECT_EQ(lookUp(t, "@1/@1").text, lt);
    EXPECT_EQ(lookUp(t, "@1/@2").text, amp + "lt;");  // the '&' never opens an entity
    EXPECT_EQ(lookUp(t, "@1/@3").text, close + "]>");
    EXPECT_EQ(*t.root->children[3]->attribute("x"), "\x81\"");

    // A lead byte right before "<" swallows it, as it does for UTF-8 text.
    EXPECT_FALSE(xml::parseXml("<r>\xE4\xB8\xAD</r>").ok());
    auto parsed = xml::parseXml("<r>" + platform::utf8ToGbk("价格") + "</r>");
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.root->text, platform::utf8ToGbk("价格"));
    auto named = xml::parseXml("<" + platform::utf8ToGbk("名称") + ">x</" + platform::utf8ToGbk("名称") + ">");
    ASSERT_TRUE(named.ok());
    EXPECT_EQ(named.root->name, platform::utf8ToGbk("名称"));
}

TEST(XmlParser, GbkTrailBlankIsNotTrimmed) {
    // "\x81 " is one character; trimming must not cut its second byte.
    auto parsed = xml::parseXml("<r> a\x81 </r>");
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.root->text, "a\x81 ");
}

TEST(XmlParser, NestingDepthIsLimited) {
    auto nested = [](size_t depth) {
        std::string s;
        for (size_t i = 0; i < depth; ++i) s += "<a>";
        for (size_t i = 0; i < depth; ++i) s += "</a>";
        return s;
    };
    EXPECT_TRUE(xml::parseXml(nested(xml::kMaxDepth)).ok());
    auto deep = xml::parseXml(nested(xml::kMaxDepth + 1));
    EXPECT_EQ(deep.error, XmlError::TooDeep);
    // Hostile depth fails quickly without exhausting the stack.
    EXPECT_EQ(errorOf(nested(200000)), XmlError::TooDeep);
    // Self-closing elements are never open, so any number of them is fine.
    std::string wide = "<r>";
    for (int i = 0; i < 10000; ++i) wide += "<a/>";
    EXPECT_TRUE(xml::parseXml(wide + "</r>").ok());
}

TEST(XmlParser, ReportsWhereTheErrorIs) {
    auto parsed = xml::parseXml("<!-- skip --><r><a>1 > 0</a></r>");
    EXPECT_EQ(parsed.error, XmlError::GreaterThanInText);
    EXPECT_EQ(parsed.offset, std::string("<r><a>1 ").size());  // counted after comment removal
    EXPECT_EQ(parsed.root, nullptr);
}

}  // namespace
