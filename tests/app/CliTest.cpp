// Runs impostra-cli as a user would and checks what it prints and its exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CliTestSupport.h"

namespace {

using cli_test::Outcome;

class Cli : public cli_test::CliRunner {};

const std::vector<std::string> kExampleOrder = {"--ups", "10", "1000", "2500", "700"};

std::vector<std::string> plus(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

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

// Regression: output that never reached its file ended with status 0 and
// not a word, so a full disk or a closed standard output passed for a result.
TEST_F(Cli, AWriteThatFailsIsOneLineOnStandardErrorAndExitsWithThree) {
    // Far more than stdio buffers: the failure comes from a write, not from the flush at the end.
    std::vector<std::string> longTable = {"--ups", "999"};
    for (int q = 1; q <= 900; ++q) longTable.push_back(std::to_string(q));
    struct Case {
        const char* name;
        std::vector<std::string> args;
        const char* target;
        int error;
    };
    const Case cases[] = {
        {"the table", kExampleOrder, "/dev/full", ENOSPC},
        {"a long table", longTable, "/dev/full", ENOSPC},
        {"JSON", plus(kExampleOrder, {"--json"}), "/dev/full", ENOSPC},
        {"the report", plus(kExampleOrder, {"--report", "--trials", "10"}), "/dev/full", ENOSPC},
        {"the help", {"--help"}, "/dev/full", ENOSPC},
        {"the table, output closed", kExampleOrder, "&-", EBADF},
        {"the help, output closed", {"--help"}, "&-", EBADF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Outcome r = runRedirected(c.args, c.target);
        EXPECT_EQ(r.status, 3);
        EXPECT_EQ(r.err, std::string("impostra-cli: write error: ") + std::strerror(c.error) + "\n");
    }
    // The same output to a file that takes it.
    EXPECT_EQ(runRedirected(kExampleOrder, "/dev/null").status, 0);
    EXPECT_NE(run({"--help"}).out.find("3 standard\noutput could not be written"), std::string::npos);
}

// Regression: an order beyond the memory at hand ended in an abort.
TEST_F(Cli, AnOrderTooLargeForTheMemoryIsOneLineAndExitsWithTwo) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer cannot start under an address-space limit";
#endif
    const std::string limit = "ulimit -v 32000";
    ASSERT_EQ(runRedirected(kExampleOrder, "/dev/null", limit).status, 0) << "the limit leaves room for the program";
    std::string order;
    for (int i = 0; i < 3'000'000; ++i) order += "7\n";
    std::ofstream(dir_ + "/order.txt", std::ios::binary) << order;
    for (const char* mode : {"--json", "--report"}) {
        SCOPED_TRACE(mode);
        Outcome r = runRedirected({"--ups", "10", mode, "--file", dir_ + "/order.txt"}, "/dev/null", limit);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, "impostra-cli: out of memory: the order is too large to handle\n");
    }
}

TEST_F(Cli, ReportPrintsTheWindowsReportAndItsDifference) {
    Outcome r = run(plus(kExampleOrder, {"--report", "--trials", "10"}));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "共3款\n合计4200个\n每张印版排10模\n"
              "\n排1张版  19.05%\n浪费数量 800个\n印刷张数 500张\n印后数量 5000个\n"
              "\n排2张版  1.19%\n浪费数量 50个\n印刷张数 425张\n印后数量 4250个\n"
              "相差75张\n");

    // One style: no two-plate section and no difference, as in the window.
    EXPECT_EQ(run({"--ups", "48", "--report", "1000"}).out,
              "共1款\n合计1000个\n每张印版排48模\n"
              "\n排1张版  0.8%\n浪费数量 8个\n印刷张数 21张\n印后数量 1008个\n");

    // Entries the window would empty are left out, and said so on standard error.
    Outcome dropped = run(plus(kExampleOrder, {"--report", "--trials", "10", "0", "100000000"}));
    EXPECT_EQ(dropped.status, 0);
    EXPECT_EQ(dropped.out, r.out);
    EXPECT_EQ(dropped.err, "impostra-cli: 2 entries left out (valid quantities are 1 to 99999999)\n");
}

// The two-plate section is that of the search --trials runs with the same
// seed: the same sheets, waste and ratio lines.
TEST_F(Cli, ReportShowsTheCutOfTheSeededSearch) {
    std::vector<std::string> order = {"--ups", "24"};
    for (int i = 0; i < 40; ++i) order.push_back(std::to_string(100 + (i * 7919) % 5000));
    for (const char* seed : {"1", "7", "18446744073709551615"}) {
        SCOPED_TRACE(seed);
        const std::vector<std::string> search =
            plus(order, {"--trials", "200", "--seed", seed, "--time-limit", "3600"});
        Outcome report = run(plus(search, {"--report"}));
        Outcome table = run(search);
        ASSERT_EQ(report.status, 0) << report.err;
        const size_t head = table.out.find("排2张版");
        ASSERT_NE(head, std::string::npos);
        // From 排2张版 to the end of its 印后数量 line.
        const size_t end = table.out.find("个\n", table.out.find("印后数量", head));
        const std::string section = table.out.substr(head, end - head);
        EXPECT_NE(report.out.find("\n" + section + "个\n"), std::string::npos) << report.out << table.out;
    }
}

// A search cut short by the time limit says so, and its report is that of
// the trials it ran.
TEST_F(Cli, ReportOfASearchStoppedByTheTimeLimit) {
    std::vector<std::string> order = {"--ups", "100", "--report", "--seed", "3"};
    for (int i = 0; i < 150; ++i) order.push_back(std::to_string(1 + (i * 104729) % 90000));
    Outcome r = run(plus(order, {"--trials", "1000000", "--time-limit", "0.3"}));
    EXPECT_EQ(r.status, 0);
    const std::string head = "impostra-cli: time limit reached after ";
    ASSERT_EQ(r.err.substr(0, head.size()), head) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1);
    const std::string trialsRun = r.err.substr(head.size(), r.err.find(' ', head.size()) - head.size());
    Outcome same = run(plus(order, {"--trials", trialsRun, "--time-limit", "3600"}));
    EXPECT_EQ(same.err, "");
    EXPECT_EQ(same.out, r.out);
}

TEST_F(Cli, ReportRefusesWhatTheWindowRefuses) {
    std::vector<std::string> styles150 = {"--ups", "999", "--report", "--trials", "0"};
    for (int i = 1; i <= 150; ++i) styles150.push_back(std::to_string(i));
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {"no valid quantity", {"--ups", "5", "--report"}, 1,
         "impostra-cli: 订单数量为空 请在左边表格输入每款的数量！\n"},
        {"more styles than twice the ups", {"--ups", "1", "--report", "1", "2", "3"}, 1,
         "impostra-cli: 订单的款数不能超过 模数*2 （2） 款 当前3款！\n目前一次最多只能计算2张印刷版！\n"},
        {"more styles than the order grid holds", plus(styles150, {"151"}), 2,
         "impostra-cli: --report: the window's order grid holds at most 150 styles; this order has 151\n"},
        {"with --json", plus(kExampleOrder, {"--report", "--json"}), 2,
         "impostra-cli: --report prints the window's report; it cannot go with --json\n"},
        {"with --exact", plus(kExampleOrder, {"--exact", "--report"}), 2,
         "impostra-cli: --report prints the window's report; it cannot go with --exact\n"},
        {"with --plates", plus(kExampleOrder, {"--report", "--plates", "3"}), 2,
         "impostra-cli: --report prints the window's report; it cannot go with --plates\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Outcome r = run(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
    }
    Outcome full = run(styles150);
    EXPECT_EQ(full.status, 0);
    EXPECT_EQ(full.out.substr(0, full.out.find('\n')), "共150款");
}

// The window's order files: their 模数 is the ups unless --ups says
// otherwise, their empty rows are empty cells, and what they leave out is
// named on standard error.
TEST_F(Cli, ReadsTheWindowsOrderFilesWithTheirUps) {
    const Outcome example = run(kExampleOrder);
    ASSERT_EQ(example.status, 0);
    const std::string saved = "\xEF\xBB\xBF模数,10\r\n订单数量\r\n1000\r\n\r\n2500\r\n700\r\n";
    // The same file as a spreadsheet on a Chinese system saves it: GBK, no byte order mark.
    const std::string gbk = "\xC4\xA3\xCA\xFD,10\r\n\xB6\xA9\xB5\xA5\xCA\xFD\xC1\xBF\r\n1000\r\n\r\n2500\r\n700\r\n";
    for (const std::string& text : {saved, gbk}) {
        std::ofstream(dir_ + "/order.txt", std::ios::binary) << text;
        const Outcome fromFile = run({"--file", dir_ + "/order.txt"});
        EXPECT_EQ(fromFile.status, 0) << fromFile.err;
        EXPECT_EQ(fromFile.err, "");
        EXPECT_EQ(fromFile.out, example.out);
        EXPECT_EQ(run({}, text).out, example.out);
        EXPECT_EQ(run({"--file", dir_ + "/order.txt", "--ups", "12"}).out,
                  run({"--ups", "12", "1000", "2500", "700"}).out);
    }

    const Outcome junk = run({"--ups", "10"}, "模数,abc\n订单数量\n1000\n一千\n2500\n\n700\n0\n");
    EXPECT_EQ(junk.status, 0);
    EXPECT_EQ(junk.out.substr(0, junk.out.rfind("已忽略")), example.out.substr(0, example.out.rfind("已忽略")));
    EXPECT_NE(junk.out.find("已忽略无效条目 3 个"), std::string::npos);
    EXPECT_EQ(junk.err,
              "impostra-cli: standard input, line 1: '模数 abc' left out (quantities are whole numbers from 1 to "
              "99999999, the 模数 from 1 to 999)\n"
              "impostra-cli: standard input, line 4: '一千' left out (quantities are whole numbers from 1 to "
              "99999999, the 模数 from 1 to 999)\n"
              "impostra-cli: standard input, line 8: '0' left out (quantities are whole numbers from 1 to "
              "99999999, the 模数 from 1 to 999)\n");

    // Neither the file nor the command line gives the ups.
    for (const std::string& text : {std::string("订单数量\n1000\n"), std::string("1000\n2500\n")}) {
        const Outcome none = run({}, text);
        EXPECT_EQ(none.status, 2);
        EXPECT_EQ(none.out, "");
        EXPECT_NE(none.err.find("--ups N is required"), std::string::npos) << none.err;
    }
}

}  // namespace
