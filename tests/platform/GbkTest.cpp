// GBK <-> UTF-8 conversion at the boundary to Qt and the terminal.
#include <gtest/gtest.h>

#include "platform/Gbk.h"

using platform::gbkToUtf8;
using platform::utf8ToGbk;

TEST(Gbk, RoundTripsChineseAndAscii) {
    const std::string utf8 = "共3款合计4200个\r\n模数*2 （8） 款！";
    std::string gbk = utf8ToGbk(utf8);
    EXPECT_EQ(gbk.substr(0, 2), "\xB9\xB2");  // 共
    EXPECT_EQ(gbkToUtf8(gbk), utf8);
}

TEST(Gbk, FullWidthFormsAndQuotesMapBothWays) {
    EXPECT_EQ(utf8ToGbk("１２３"), "\xA3\xB1\xA3\xB2\xA3\xB3");
    EXPECT_EQ(utf8ToGbk("“多项选择”"), "\xA1\xB0\xB6\xE0\xCF\xEE\xD1\xA1\xD4\xF1\xA1\xB1");
    EXPECT_EQ(gbkToUtf8("\xA3\xA4"), "￥");  // the full-width currency sign
}

TEST(Gbk, BrokenInputIsReplacedNotDropped) {
    // A lead byte at the end, and a lead byte followed by an ASCII byte outside the trail range.
    EXPECT_EQ(gbkToUtf8("ab\xB9"), "ab\xEF\xBF\xBD");
    EXPECT_EQ(gbkToUtf8(std::string("\xB9\x0A" "c")), "\xEF\xBF\xBD\nc");
    // Characters outside GBK and malformed UTF-8 become "?".
    EXPECT_EQ(utf8ToGbk("a\xF0\x9F\x98\x80" "b"), "a?b");
    EXPECT_EQ(utf8ToGbk("a\xC3" "b"), "a?b");
    EXPECT_EQ(gbkToUtf8(""), "");
}
