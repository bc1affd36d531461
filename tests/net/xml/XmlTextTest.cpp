// The byte-string passes: comment removal, path encoding, entity decoding, trimming.
#include <gtest/gtest.h>

#include <string>

#include "net/XmlText.h"

namespace {

TEST(XmlText, StripComments) {
    EXPECT_EQ(xml::stripComments("a<!-- x -->b<!--y-->c"), "abc");
    EXPECT_EQ(xml::stripComments("a<!-- <r>--> -->b"), "a -->b");  // ends at the first "-->"
    EXPECT_EQ(xml::stripComments("a<!-- open"), "a");
    EXPECT_EQ(xml::stripComments("<!DOCTYPE r>"), "<!DOCTYPE r>");
    EXPECT_EQ(xml::stripComments("<!-->x-->y"), "y");
    // "<!--" whose '<' is the second byte of a character is no comment.
    EXPECT_EQ(xml::stripComments("\x81<!--x-->"), "\x81<!--x-->");
    // "-->" whose '-' is a second byte does not end the comment.
    EXPECT_EQ(xml::stripComments("<!--\x81-->z-->w"), "w");
    EXPECT_EQ(xml::stripComments(std::string("a\0<!--b-->c", 11)), std::string("a\0c", 3));
}

TEST(XmlText, EncodePathEntities) {
    EXPECT_EQ(xml::encodePathEntities("a\"&'<>b"), "a&quot;&amp;&apos;&lt;&gt;b");
    EXPECT_EQ(xml::encodePathEntities("\x81&\x81<"), "\x81&\x81<");
    EXPECT_EQ(xml::encodePathEntities("x\x81"), "x\x81");  // a lead byte at the end stands alone
}

TEST(XmlText, DecodeEntities) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"&lt;&gt;&amp;&apos;&quot;&quote;", "<>&'\"\""},
        {"&amp;lt;", "&lt;"},       // decoded once only
        {"&#60;&#x3c;&nbsp;", "&#60;&#x3c;&nbsp;"},
        {"a & b", "a & b"},
        {"&&lt;", "&<"},            // a second '&' restarts the entity
        {"&l&gt;", "&l>"},
        {"x;y", "x;y"},
        {"tail &amp", "tail &amp"}, // open at the end
        {"&LT;", "&LT;"},
        {"&l\x81\x82t;", "&l\x81\x82t;"},  // a two-byte character ends the collection
        {"\x81&lt;", "\x81&lt;"},           // '&' as a second byte opens nothing
    };
    for (const Case& c : cases) EXPECT_EQ(xml::decodeEntities(c.in), c.out) << c.in;
}

TEST(XmlText, TrimBlanks) {
    EXPECT_EQ(xml::trimBlanks(" \t\r\n a b \r\n"), "a b");
    EXPECT_EQ(xml::trimBlanks(" \t "), "");
    EXPECT_EQ(xml::trimBlanks("\x81 "), "\x81 ");
    EXPECT_EQ(xml::trimBlanks("\v x\f"), "\v x\f");  // only blank, tab, CR and LF are trimmed
}

}  // namespace
