// Runs impostra-cli as a user would and checks what it prints and its exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CliTestSupport.h"

namespace {

using cli_test::Outcome;

class Cli : public cli_test::CliRunner {};

TEST_F(Cli, PrintsTheLayoutWithTheWordsOfTheResultTables) {
    Outcome r = run({"--ups", "10", "1000", "2500", "700"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "印刷张数  500\n"
              "订单数量  4200\n"
              "印后数量  5000\n"
              "浪费数量  800\n"
              "浪费比例  19.05%\n"
              "订单款数  3\n"
              "剩余模数  1\n"
              "\n"
              "序号  订单数  模数  浪费\n"
              "   1    1000     2     0\n"
              "   2    2500     5     0\n"
              "   3     700     2   300\n"
              "\n"
              "已忽略无效条目 0 个（有效数量为 1 至 99999999）\n");
}

TEST_F(Cli, ReadsStandardInputAndFiles) {
    const std::string order = "\xEF\xBB\xBF" "1000\r\n0, 2500;-4\t100000000\n\n700\r\n";
    Outcome piped = run({"--ups", "10"}, order);
    EXPECT_EQ(piped.status, 0);
    EXPECT_NE(piped.out.find("印刷张数  500\n"), std::string::npos);
    EXPECT_NE(piped.out.find("已忽略无效条目 3 个"), std::string::npos);

    std::ofstream(dir_ + "/order.txt", std::ios::binary) << order;
    Outcome fromFile = run({"--file", dir_ + "/order.txt", "--ups=10"});
    EXPECT_EQ(fromFile.status, 0);
    EXPECT_EQ(fromFile.out, piped.out);
    EXPECT_EQ(run({"--ups", "10", "-"}, order).out, piped.out);
}

TEST_F(Cli, JsonOutput) {
    Outcome r = run({"--json", "--ups", "10", "1000", "2500", "700"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.front(), '{');
    EXPECT_EQ(r.out.substr(r.out.size() - 2), "}\n");
    for (const char* part : {"\"ok\": true", "\"sheets\": 500", "\"totalQuantity\": 4200", "\"printedQuantity\": 5000",
                             "\"wasteQuantity\": 800", "\"wasteRatio\": 19.05", "\"styleCount\": 3",
                             "\"remainingSlots\": 1", "\"dropped\": 0",
                             "{\"quantity\": 700, \"slots\": 2, \"waste\": 300}"})
        EXPECT_NE(r.out.find(part), std::string::npos) << part;
    // Quotes must pair up and every brace and bracket must close.
    int depth = 0, quotes = 0;
    for (char c : r.out) {
        quotes += c == '"';
        depth += (c == '{' || c == '[') - (c == '}' || c == ']');
        ASSERT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(quotes % 2, 0);
}

TEST_F(Cli, NoLayoutExitsWithOne) {
    Outcome tooMany = run({"--ups", "2", "1", "2", "3"});
    EXPECT_EQ(tooMany.status, 1);
    EXPECT_NE(tooMany.out.find("款数超过模数：共3款，每张印版排2模，无法排1张版"), std::string::npos);

    Outcome empty = run({"--ups", "5"}, "0\n-3\n");
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.out.find("订单数量为空"), std::string::npos);
    EXPECT_NE(empty.out.find("已忽略无效条目 2 个"), std::string::npos);

    Outcome emptyJson = run({"--ups", "5", "--json"}, "");
    EXPECT_EQ(emptyJson.status, 1);
    EXPECT_NE(emptyJson.out.find("\"ok\": false"), std::string::npos);
    EXPECT_NE(emptyJson.out.find("\"wasteRatio\": null"), std::string::npos);
}

TEST_F(Cli, BadInputIsOneLineOnStandardErrorAndExitsWithTwo) {
    struct Case {
        std::vector<std::string> args;
        std::string input;
        std::string mention;
    };
    const std::vector<Case> cases = {
        {{"1000"}, "", "--ups"},
        {{"--ups"}, "", "--ups"},
        {{"--ups", "0", "5"}, "", "'0'"},
        {{"--ups", "-3", "5"}, "", "'-3'"},
        {{"--ups", "1000", "5"}, "", "'1000'"},
        {{"--ups", "4x", "5"}, "", "'4x'"},
        {{"--ups", "48", "--file", "/nonexistent/order.txt"}, "", "/nonexistent/order.txt"},
        {{"--ups", "48", "--file", "/"}, "", "'/'"},
        {{"--ups", "48"}, "10\n20\n30 12abc\n", "line 3: '12abc'"},
        {{"--ups", "48"}, "1\n\x1B[31m\n", "line 2: '\\x1B[31m'"},
        {{"--ups", "48", "10", "2,x"}, "", "argument 4: 'x'"},
        {{"--ups", "48", "--frobnicate"}, "", "--frobnicate"},
        {{"--ups", "48", "--file", "x", "5"}, "", "not both"},
        {{"--ups", "48", "--help", "--nonsense"}, "", "--nonsense"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        Outcome r = run(c.args, c.input);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        ASSERT_FALSE(r.err.empty());
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_NE(r.err.find(c.mention), std::string::npos) << r.err;
    }
}

}  // namespace
