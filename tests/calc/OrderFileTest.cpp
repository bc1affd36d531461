// Order files: the format 保存 writes, and the rules by which 打开 finds the
// quantity column, places each entry in its cell, decodes the text and names
// what it leaves out.
#include "calc/OrderFile.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/Gbk.h"

namespace {

using calc::formatOrderFile;
using calc::parseOrderFile;

const std::string kBom = "\xEF\xBB\xBF";

// The quantities of a reading by cell position.
std::map<int64_t, int32_t> cellsOf(const calc::OrderFile& file) {
    std::map<int64_t, int32_t> cells;
    for (const calc::PlacedQuantity& q : file.quantities) cells[q.position] = q.quantity;
    return cells;
}

std::vector<int64_t> namedLines(const calc::OrderFileEntries& entries) {
    std::vector<int64_t> lines;
    for (const calc::OrderFileEntry& e : entries.named) lines.push_back(e.line);
    return lines;
}

std::vector<std::string> namedTexts(const calc::OrderFileEntries& entries) {
    std::vector<std::string> texts;
    for (const calc::OrderFileEntry& e : entries.named) texts.push_back(e.text);
    return texts;
}

std::string utf16le(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t u : text) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    return bytes;
}

TEST(OrderFile, WritesOneColumnWithAnEmptyRowForEachEmptyCell) {
    EXPECT_EQ(formatOrderFile(std::vector<int32_t>{1000, 0, 2500, 0, 0}, 48),
              kBom + "模数,48\r\n订单数量\r\n1000\r\n\r\n2500\r\n");
    // Values that are no quantity are empty cells; nothing follows the last quantity.
    EXPECT_EQ(formatOrderFile(std::vector<int32_t>{0, -3, 99999999, 100000000}, 7),
              kBom + "模数,7\r\n订单数量\r\n\r\n\r\n99999999\r\n");
    EXPECT_EQ(formatOrderFile(std::vector<int32_t>{}, 12), kBom + "模数,12\r\n订单数量\r\n");
}

TEST(OrderFile, WhatIsWrittenReadsBackCellForCell) {
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        SCOPED_TRACE(round);
        std::vector<int32_t> cells(150, 0);
        std::map<int64_t, int32_t> expected;
        for (int32_t i = 0; i < 150; ++i) {
            if (random() % 3 != 0) continue;
            cells[i] = static_cast<int32_t>(1 + random() % 99999999);
            expected[i] = cells[i];
        }
        const int32_t ups = static_cast<int32_t>(1 + random() % 999);
        const calc::OrderFile file = parseOrderFile(formatOrderFile(cells, ups));
        EXPECT_TRUE(file.text);
        EXPECT_EQ(cellsOf(file), expected);
        EXPECT_EQ(file.ups, ups);
        EXPECT_EQ(file.rejected.count, 0);
        EXPECT_EQ(file.beyond.count, 0);
        EXPECT_TRUE(file.headed);
        EXPECT_TRUE(file.plain);
    }
}

TEST(OrderFile, FindsTheQuantityColumnAndKeepsEachRowsCell) {
    struct Case {
        const char* name;
        std::string text;
        std::map<int64_t, int32_t> cells;
        bool headed;
    };
    const std::vector<Case> cases = {
        {"plain list", "1000\n2500\n700", {{0, 1000}, {1, 2500}, {2, 700}}, false},
        {"empty lines are empty cells", "1000\r\n\r\n2500\r\n", {{0, 1000}, {2, 2500}}, false},
        {"title rows above the first number", "我的订单\n数量\n1000\n2500", {{0, 1000}, {1, 2500}}, false},
        {"header among other columns", "款号,订单数量,单价\nA01,1000,1.5\nA02,,2\nA03,2500,3",
         {{0, 1000}, {2, 2500}}, true},
        {"first column of whole numbers", "款号,颜色,数量\nA01,红,1000\nA02,蓝,2500", {{0, 1000}, {1, 2500}}, false},
        {"tab-separated, grouped", "款号\t订单数量\nA\t1,000\nB\t2500\n", {{0, 1000}, {1, 2500}}, true},
        {"semicolons", "款号;订单数量\nA;1000\nB;2500", {{0, 1000}, {1, 2500}}, true},
        {"quoted fields", "款号,订单数量\n\"A, red\",\"1,000\"\n\"two\nlines\",\" 2500 \"",
         {{0, 1000}, {1, 2500}}, true},
        {"grouped numbers in a plain list", "1,000\n12,345,678\n", {{0, 1000}, {1, 12345678}}, false},
        {"grouped number rows in a comma file", "模数,10\n订单数量\n1,000\n2500", {{0, 1000}, {1, 2500}}, true},
        {"carriage returns alone", "1000\r2500\r", {{0, 1000}, {1, 2500}}, false},
        {"points followed by zeros", "订单数量\n1000.00\n+25.0", {{0, 1000}, {1, 25}}, true},
        // Each 订单数量 column runs through the data rows: the order grid's three columns copied.
        {"several quantity columns", "订单数量\t订单数量\n1\t4\n2\t\n3\t6\n\n\n", {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {5, 6}},
         true},
        {"the 模数 row takes no cell", "订单数量\n1000\n模数,12\n2500", {{0, 1000}, {1, 2500}}, true},
        // A quoted title is one field: its comma does not choose the separator.
        {"quoted comma in a title", "\"订单, 2024\"\n款号\t订单数量\nA\t1000", {{0, 1000}}, true},
        {"leading zeros", "007\n0012", {{0, 7}, {1, 12}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const calc::OrderFile file = parseOrderFile(c.text);
        EXPECT_TRUE(file.text);
        EXPECT_EQ(cellsOf(file), c.cells);
        EXPECT_EQ(file.rejected.count, 0) << (file.rejected.named.empty() ? "" : file.rejected.named[0].text);
        EXPECT_EQ(file.headed, c.headed);
    }
}

TEST(OrderFile, NamesEntriesThatAreNoQuantityAndKeepTheirCellsEmpty) {
    const calc::OrderFile file = parseOrderFile("订单数量\nabc\n0\n-5\n100000000\n12.5\n7\n1e3\n");
    EXPECT_EQ(cellsOf(file), (std::map<int64_t, int32_t>{{5, 7}}));
    EXPECT_EQ(file.rejected.count, 6);
    // The first five by cell, with their lines.
    EXPECT_EQ(namedLines(file.rejected), (std::vector<int64_t>{2, 3, 4, 5, 6}));
    EXPECT_EQ(namedTexts(file.rejected), (std::vector<std::string>{"abc", "0", "-5", "100000000", "12.5"}));
    EXPECT_FALSE(file.plain);

    // A European decimal comma under a semicolon separator is no whole number.
    const calc::OrderFile euro = parseOrderFile("款号;订单数量\nA;1000,5\nB;2000");
    EXPECT_EQ(cellsOf(euro), (std::map<int64_t, int32_t>{{1, 2000}}));
    EXPECT_EQ(namedTexts(euro.rejected), std::vector<std::string>{"1000,5"});

    // A number row before the header: the header row is an entry like any other.
    const calc::OrderFile late = parseOrderFile("1000\n订单数量\n2500");
    EXPECT_EQ(cellsOf(late), (std::map<int64_t, int32_t>{{0, 1000}, {2, 2500}}));
    EXPECT_EQ(namedLines(late.rejected), std::vector<int64_t>{2});
}

TEST(OrderFile, LineNumbersCountEveryLineEndQuotedOrNot) {
    const calc::OrderFile file = parseOrderFile("款号,订单数量\r\n\"a\r\nb\",x\r\n\"c\rd\ne\",y\r\nf,z");
    EXPECT_EQ(namedLines(file.rejected), (std::vector<int64_t>{2, 4, 7}));
    EXPECT_EQ(namedTexts(file.rejected), (std::vector<std::string>{"x", "y", "z"}));
}

TEST(OrderFile, TheUpsComesFromTheFirstUpsRowHoldingOneToNineHundredNinetyNine) {
    struct Case {
        std::string text;
        std::optional<int32_t> ups;
        std::vector<std::string> rejected;
    };
    const std::vector<Case> cases = {
        {"模数,48\n订单数量\n1", 48, {}},
        {"单版模数\t999\n订单数量\n1", 999, {}},
        {"模数,0\n1", std::nullopt, {"模数 0"}},
        {"模数,1000\n1", std::nullopt, {"模数 1000"}},
        {"模数,abc\n1", std::nullopt, {"模数 abc"}},
        {"模数\n1", std::nullopt, {"模数"}},
        {"模数,12\n模数,12\n1", 12, {"模数 12"}},
        {"1\n模数,24", 24, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const calc::OrderFile file = parseOrderFile(c.text);
        EXPECT_EQ(file.ups, c.ups);
        EXPECT_EQ(namedTexts(file.rejected), c.rejected);
        EXPECT_TRUE(file.headed);
        EXPECT_EQ(cellsOf(file), (std::map<int64_t, int32_t>{{0, 1}}));
    }
}

TEST(OrderFile, QuantitiesPastTheLastCellAreCountedAndTheFirstNamed) {
    std::string text;
    for (int i = 1; i <= 200; ++i) text += std::to_string(i) + "\n";
    const calc::OrderFile file = parseOrderFile(text, 150);
    EXPECT_EQ(file.quantities.size(), 150u);
    EXPECT_EQ(file.quantities.back(), (calc::PlacedQuantity{149, 150}));
    EXPECT_EQ(file.beyond.count, 50);
    EXPECT_EQ(namedLines(file.beyond), (std::vector<int64_t>{151, 152, 153, 154, 155}));
    EXPECT_EQ(namedTexts(file.beyond)[0], "151");

    // Named by cell, not by row: the second column's cells come after the first's.
    const calc::OrderFile columns = parseOrderFile("订单数量,订单数量\n1,3\n2,4", 2);
    EXPECT_EQ(cellsOf(columns), (std::map<int64_t, int32_t>{{0, 1}, {1, 2}}));
    EXPECT_EQ(namedTexts(columns.beyond), (std::vector<std::string>{"3", "4"}));
    EXPECT_EQ(namedLines(columns.beyond), (std::vector<int64_t>{2, 3}));

    // An entry that is no quantity is counted as such wherever it stands.
    const calc::OrderFile junk = parseOrderFile("1\n2\nx", 2);
    EXPECT_EQ(junk.beyond.count, 0);
    EXPECT_EQ(junk.rejected.count, 1);
}

TEST(OrderFile, ReadsGbkUtf16AndUtf8WithOrWithoutAByteOrderMark) {
    const std::string utf8 = "款号,订单数量\r\nA,1000\r\n红色,一千\r\nC,2500\r\n";
    const std::string gbk = platform::utf8ToGbk(utf8);
    ASSERT_NE(gbk, utf8);
    for (const std::string& bytes : {utf8, kBom + utf8, gbk}) {
        const calc::OrderFile file = parseOrderFile(bytes);
        EXPECT_TRUE(file.text);
        EXPECT_EQ(cellsOf(file), (std::map<int64_t, int32_t>{{0, 1000}, {2, 2500}}));
        // Entries are named in UTF-8 whatever the file's encoding.
        EXPECT_EQ(namedTexts(file.rejected), std::vector<std::string>{"一千"});
    }
    const calc::OrderFile unicode = parseOrderFile(utf16le(u"模数\t10\r\n订单数量\r\n1000\r\n\r\n2500\r\n"));
    EXPECT_EQ(cellsOf(unicode), (std::map<int64_t, int32_t>{{0, 1000}, {2, 2500}}));
    EXPECT_EQ(unicode.ups, 10);
}

TEST(OrderFile, BytesThatAreNoTextAreRefused) {
    const std::vector<std::string> refused = {
        std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16),
        std::string("1000\n2500\n\0", 11),
        "1000\n\x01\n",
        // UTF-16 without a byte order mark is full of NULs.
        std::string("1\0" "0\0" "0\0" "0\0", 8),
    };
    for (const std::string& bytes : refused) {
        SCOPED_TRACE(bytes.size());
        const calc::OrderFile file = parseOrderFile(bytes);
        EXPECT_FALSE(file.text);
        EXPECT_TRUE(file.quantities.empty());
    }
    EXPECT_TRUE(parseOrderFile("1000\f\n2500\t\n").text);
    EXPECT_TRUE(parseOrderFile("").text);
    EXPECT_TRUE(parseOrderFile("").quantities.empty());
}

TEST(OrderFile, OnlyWhatSaveWouldWriteIsPlain) {
    const std::string own = formatOrderFile(std::vector<int32_t>{5, 0, 6}, 8);
    EXPECT_TRUE(parseOrderFile(own).plain);
    EXPECT_TRUE(parseOrderFile(platform::utf8ToGbk(own.substr(3))).plain);
    const std::vector<std::string> notPlain = {
        "订单数量\n5\n",                        // no 模数 row
        "模数,8\n订单数量,备注\n5\n",          // another column in the header
        "模数,8\n订单数量\n5,急\n",            // another column in a row
        "标题\n模数,8\n订单数量\n5\n",         // a title
        "模数,8\n订单数量\n5\nx\n",            // an entry left out
        "模数,8,x\n订单数量\n5\n",             // more on the 模数 row
        "模数,8\n5\n",                          // no header
    };
    for (const std::string& text : notPlain) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parseOrderFile(text).plain);
    }
}

}  // namespace
