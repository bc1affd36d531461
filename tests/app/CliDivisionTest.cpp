// Runs impostra-cli's division modes (--exact, --plates, --trials) and checks
// that what it prints holds together: each plate re-laid out gives its
// sheets, the plates add up to the totals, every style sits on one plate, the
// lower bound never exceeds the sheets. Exact sheet counts are checked only
// where the optimum is plain by hand, so that a better solver still passes.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "CliTestSupport.h"

namespace {

using cli_test::Json;
using cli_test::JsonReader;

// --- running the program ------------------------------------------------------

using cli_test::Outcome;

std::vector<std::string> withQuantities(std::vector<std::string> args, const std::vector<int32_t>& quantities) {
    for (int32_t q : quantities) args.push_back(std::to_string(q));
    return args;
}

// The one-plate sheets computed here on their own: the smallest S with the
// shares ceil(q / S) fitting on the plate.
int64_t sheetsFor(const std::vector<int32_t>& quantities, int64_t ups) {
    if (quantities.empty() || static_cast<int64_t>(quantities.size()) > ups) return -1;
    int64_t lo = 1, hi = *std::max_element(quantities.begin(), quantities.end());
    while (lo < hi) {
        int64_t mid = (lo + hi) / 2, slots = 0;
        for (int32_t q : quantities) slots += (q + mid - 1) / mid;
        (slots <= ups ? hi : lo) = slots <= ups ? mid : mid + 1;
    }
    return lo;
}

// The best cut of the stably sorted order, which no two-plate answer may exceed.
int64_t sortedCutSheets(std::vector<int32_t> quantities, int64_t ups) {
    std::stable_sort(quantities.begin(), quantities.end());
    int64_t best = -1;
    for (size_t k = 1; k < quantities.size(); ++k) {
        std::vector<int32_t> a(quantities.begin(), quantities.begin() + k), b(quantities.begin() + k, quantities.end());
        if (static_cast<int64_t>(a.size()) > ups || static_cast<int64_t>(b.size()) > ups) continue;
        int64_t s = sheetsFor(a, ups) + sheetsFor(b, ups);
        if (best < 0 || s < best) best = s;
    }
    return best;
}

std::vector<int32_t> randomOrder(size_t styles, int32_t maxQuantity, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int32_t> quantity(1, maxQuantity);
    std::vector<int32_t> q(styles);
    for (int32_t& v : q) v = quantity(random);
    return q;
}

size_t count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

class CliDivision : public cli_test::CliRunner {
protected:
    Json runJson(const std::vector<std::string>& args, int expectedStatus = 0) {
        return cli_test::jsonOf(run(args), expectedStatus);
    }
};

// Checks everything that must hold of a printed division of `order` over
// `plates` plates of `ups` slots, whatever solver produced it.
void expectConsistentDivision(const Json& d, const std::vector<int32_t>& order, int64_t ups, int64_t plates) {
    ASSERT_TRUE(d["ok"].boolean);
    EXPECT_EQ(d["plateCount"].integer(), plates);
    ASSERT_EQ(static_cast<int64_t>(d["plates"].items.size()), plates);
    int64_t total = 0;
    for (int32_t q : order) total += q;
    EXPECT_EQ(d["totalQuantity"].integer(), total);
    EXPECT_EQ(d["styleCount"].integer(), static_cast<int64_t>(order.size()));

    std::vector<int> seen(order.size(), 0);
    int64_t sheets = 0, plateTotals = 0;
    for (const Json& plate : d["plates"].items) {
        const auto& styles = plate["styles"].items;
        ASSERT_FALSE(styles.empty());
        ASSERT_LE(static_cast<int64_t>(styles.size()), ups);
        EXPECT_EQ(plate["styleCount"].integer(), static_cast<int64_t>(styles.size()));
        std::vector<int32_t> quantities;
        int64_t slots = 0, plateTotal = 0, previous = 0;
        const int64_t s = plate["sheets"].integer();
        for (const Json& style : styles) {
            const int64_t position = style["position"].integer();
            ASSERT_GE(position, 1);
            ASSERT_LE(position, static_cast<int64_t>(order.size()));
            EXPECT_GT(position, previous) << "positions ascend";
            previous = position;
            ++seen[position - 1];
            EXPECT_EQ(style["quantity"].integer(), order[position - 1]);
            quantities.push_back(order[position - 1]);
            const int64_t q = order[position - 1], k = style["slots"].integer();
            EXPECT_GE(k * s, q) << "the style's slots print its quantity";
            EXPECT_EQ(style["waste"].integer(), k * s - q);
            slots += k;
            plateTotal += q;
        }
        EXPECT_EQ(s, sheetsFor(quantities, ups)) << "the plate re-laid out gives its sheets";
        EXPECT_LE(slots, ups);
        EXPECT_EQ(plate["remainingSlots"].integer(), ups - slots);
        EXPECT_EQ(plate["totalQuantity"].integer(), plateTotal);
        EXPECT_EQ(plate["printedQuantity"].integer(), s * ups);
        EXPECT_EQ(plate["wasteQuantity"].integer(), s * ups - plateTotal);
        sheets += s;
        plateTotals += plateTotal;
    }
    for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], 1) << "style " << i + 1 << " on exactly one plate";
    EXPECT_EQ(d["sheets"].integer(), sheets);
    EXPECT_EQ(plateTotals, total);
    EXPECT_EQ(d["printedQuantity"].integer(), sheets * ups);
    EXPECT_EQ(d["wasteQuantity"].integer(), sheets * ups - total);
    if (plates == 2) { EXPECT_LE(sheets, sortedCutSheets(order, ups)) << "never worse than the sorted cut"; }
    // The plates side by side are one plate of plates x ups slots printed
    // for the most sheets any of them needs; no division beats that layout.
    EXPECT_GE(sheets, sheetsFor(order, ups * plates));
    if (d.has("lowerBound")) {
        EXPECT_GE(d["lowerBound"].integer(), 0);
        EXPECT_LE(d["lowerBound"].integer(), sheets);
        EXPECT_EQ(d["gap"].integer(), sheets - d["lowerBound"].integer());
        if (d["optimal"].boolean) { EXPECT_EQ(d["gap"].integer(), 0); }
    }
}

TEST_F(CliDivision, ExactDivisionOfTheExampleOrderInTheReportsWords) {
    // 700 and 1000 share 10 slots for 175 sheets, 2500 takes 250: 425, which
    // neither other division (100 + 350, 70 + 358) reaches.
    Outcome r = run({"--ups", "10", "--exact", "1000", "2500", "700"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const std::string onePlate = run({"--ups", "10", "1000", "2500", "700"}).out;
    const std::string dropped = "已忽略无效条目 0 个（有效数量为 1 至 99999999）\n";
    ASSERT_EQ(r.out.substr(0, onePlate.size() - dropped.size()), onePlate.substr(0, onePlate.size() - dropped.size()));
    const std::string section = r.out.substr(onePlate.size() - dropped.size());
    const std::string head =
        "排2张版  1.19%\n"
        "浪费数量 50个\n"
        "印刷张数 425张\n"
        "印后数量 4250个\n";
    ASSERT_EQ(section.substr(0, head.size()), head);
    const std::string rest = section.substr(head.size());
    const std::string proof = rest.substr(0, rest.find('\n') + 1);
    EXPECT_TRUE(proof == "已证明最优：没有张数更少的分法\n" || proof.rfind("未证明最优：下界 ", 0) == 0) << proof;
    EXPECT_EQ(rest.substr(proof.size()),
              "\n"
              "第1张版\n"
              "印刷张数  175\n"
              "订单数量  1700\n"
              "印后数量  1750\n"
              "浪费数量  50\n"
              "浪费比例  2.94%\n"
              "订单款数  2\n"
              "剩余模数  0\n"
              "\n"
              "序号  订单数  模数  浪费\n"
              "   1    1000     6    50\n"
              "   3     700     4     0\n"
              "\n"
              "第2张版\n"
              "印刷张数  250\n"
              "订单数量  2500\n"
              "印后数量  2500\n"
              "浪费数量  0\n"
              "浪费比例  0%\n"
              "订单款数  1\n"
              "剩余模数  0\n"
              "\n"
              "序号  订单数  模数  浪费\n"
              "   2    2500    10     0\n"
              "\n" +
                  dropped);

    // --plates 2 is --exact; --plates 1 is the plain layout.
    EXPECT_EQ(run({"--ups", "10", "--plates", "2", "1000", "2500", "700"}).out, r.out);
    EXPECT_EQ(run({"--ups", "10", "--plates=1", "1000", "2500", "700"}).out, onePlate);
    EXPECT_EQ(run({"--ups", "10", "--plates", "1", "--json", "1000", "2500", "700"}).out,
              run({"--ups", "10", "--json", "1000", "2500", "700"}).out);
}

TEST_F(CliDivision, DivisionsHoldTogether) {
    struct Case {
        std::vector<int32_t> order;
        int32_t ups;
        std::vector<std::string> mode;
        int64_t plates;
    };
    const std::vector<int32_t> mixed = {1200, 35000, 800, 800, 99999, 4, 15000, 2600, 640000, 71, 9000, 1};
    const std::vector<Case> cases = {
        {mixed, 8, {"--exact"}, 2},
        {mixed, 6, {"--exact", "--trials", "200"}, 2},
        {mixed, 12, {"--trials", "200"}, 2},
        {mixed, 5, {"--plates", "3"}, 3},
        {mixed, 6, {"--plates", "4", "--trials", "50"}, 4},
        {randomOrder(20, 1000000, 7), 12, {"--exact"}, 2},
        {randomOrder(9, 5000, 8), 3, {"--plates", "3"}, 3},
        {{5, 5, 5, 5}, 1, {"--plates", "4"}, 4},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--ups", std::to_string(c.ups)};
        args.insert(args.end(), c.mode.begin(), c.mode.end());
        std::string trace;
        for (const auto& a : args) trace += a + " ";
        SCOPED_TRACE(trace + "(" + std::to_string(c.order.size()) + " styles)");

        std::vector<std::string> jsonArgs = args;
        jsonArgs.push_back("--json");
        const Json d = runJson(withQuantities(jsonArgs, c.order));
        expectConsistentDivision(d, c.order, c.ups, c.plates);
        const bool exact = c.mode[0] != "--trials";
        EXPECT_EQ(d.has("optimal"), exact);
        const bool searched = std::find(c.mode.begin(), c.mode.end(), "--trials") != c.mode.end();
        if (searched) {
            EXPECT_EQ(d["seed"].integer(), 1);
            EXPECT_GE(d["searchSheets"].integer(), sheetsFor(c.order, c.ups * 2));
            if (c.plates == 2) { EXPECT_LE(d["searchSheets"].integer(), sortedCutSheets(c.order, c.ups)); }
            if (!exact) { EXPECT_EQ(d["searchSheets"].integer(), d["sheets"].integer()); }
        }
        if (exact && searched) {
            EXPECT_EQ(d["savedOverSearch"].integer(), d["searchSheets"].integer() - d["sheets"].integer());
            if (c.plates == 2 && d["optimal"].boolean) { EXPECT_GE(d["savedOverSearch"].integer(), 0); }
        } else {
            EXPECT_FALSE(d.has("savedOverSearch"));
        }

        // The table shows the same division: the section, then each plate.
        Outcome table = run(withQuantities(args, c.order));
        EXPECT_EQ(table.status, 0);
        const std::string sheetsLine = "印刷张数 " + std::to_string(d["sheets"].integer()) + "张\n";
        const std::string sectionHead = "排" + std::to_string(c.plates) + "张版  ";
        ASSERT_EQ(count(table.out, sectionHead), 1u) << table.out;
        size_t at = table.out.find(sectionHead);
        const size_t wasteLine = table.out.find('\n', at) + 1;
        EXPECT_EQ(table.out.compare(table.out.find('\n', wasteLine) + 1, sheetsLine.size(), sheetsLine), 0)
            << table.out;
        for (size_t p = 0; p < d["plates"].items.size(); ++p) {
            const std::string plateHead = "\n第" + std::to_string(p + 1) + "张版\n印刷张数  " +
                                          std::to_string(d["plates"].items[p]["sheets"].integer()) + "\n";
            size_t next = table.out.find(plateHead, at);
            ASSERT_NE(next, std::string::npos) << plateHead << table.out;
            at = next + 1;
        }
        EXPECT_EQ(exact, count(table.out, "已证明最优") + count(table.out, "未证明最优：下界 ") == 1);
        EXPECT_EQ(searched, count(table.out, "随机搜索 ") == 1);
    }
}

TEST_F(CliDivision, TheSearchIsRepeatableAndTakesItsSeed) {
    const std::vector<int32_t> order = randomOrder(30, 100000, 3);
    const auto args = withQuantities({"--ups", "20", "--trials", "300", "--json"}, order);
    const Json first = runJson(args);
    auto seeded = args;
    seeded.insert(seeded.end(), {"--seed", "1"});
    EXPECT_EQ(run(args).out, run(seeded).out) << "the default seed is 1";
    auto other = args;
    other.insert(other.end(), {"--seed=18446744073709551615"});
    const Json second = runJson(other);
    EXPECT_NE(run(other).out.find("\"seed\": 18446744073709551615,"), std::string::npos);
    EXPECT_EQ(run(other).out, run(other).out);
    expectConsistentDivision(first, order, 20, 2);
    expectConsistentDivision(second, order, 20, 2);
    EXPECT_EQ(first["searchTrials"].integer(), 300);
    EXPECT_FALSE(first["searchTimedOut"].boolean);
    // Zero trials: the sorted cut alone.
    const Json sorted = runJson(withQuantities({"--ups", "20", "--trials", "0", "--json"}, order));
    EXPECT_EQ(sorted["sheets"].integer(), sortedCutSheets(order, 20));
    EXPECT_GE(sorted["sheets"].integer(), first["sheets"].integer());
}

TEST_F(CliDivision, NoDivisionSaysWhyAndExitsWithOne) {
    struct Case {
        std::vector<std::string> args;
        std::string input;
        std::string says;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {{"--ups", "10", "--exact", "1000"}, "", "款数少于印版数：共1款，无法排2张版", "fewerStylesThanPlates"},
        {{"--ups", "10", "--trials", "100", "1000"}, "", "款数少于印版数：共1款，无法排2张版", "fewerStylesThanPlates"},
        {{"--ups", "10", "--plates", "4", "1", "2", "3"}, "", "款数少于印版数：共3款，无法排4张版",
         "fewerStylesThanPlates"},
        {{"--ups", "2", "--exact", "1", "2", "3", "4", "5"}, "", "款数超过模数：共5款，每张印版排2模，无法排2张版",
         "moreStylesThanSlots"},
        {{"--ups", "2", "--plates", "3", "1", "2", "3", "4", "5", "6", "7"}, "",
         "款数超过模数：共7款，每张印版排2模，无法排3张版", "moreStylesThanSlots"},
        {{"--ups", "5", "--exact"}, "0\n-3\n", "订单数量为空", "emptyOrder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        Outcome r = run(c.args, c.input);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "");
        EXPECT_NE(r.out.find(c.says + "\n"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("第1张版"), std::string::npos);
        auto jsonArgs = c.args;
        jsonArgs.push_back("--json");
        Outcome j = run(jsonArgs, c.input);
        EXPECT_EQ(j.status, 1);
        Json d;
        ASSERT_TRUE(JsonReader(j.out).read(d)) << j.out;
        EXPECT_FALSE(d["ok"].boolean);
        EXPECT_EQ(d["reason"].text, c.reason);
        EXPECT_TRUE(d["plates"].items.empty());
    }
    // More styles than one plate holds, but two plates do: the division is
    // what was asked for, so it counts.
    Outcome split = run({"--ups", "2", "--exact", "1", "2", "3"});
    EXPECT_EQ(split.status, 0);
    EXPECT_NE(split.out.find("款数超过模数：共3款，每张印版排2模，无法排1张版\n"), std::string::npos);
    EXPECT_NE(split.out.find("第2张版"), std::string::npos);
}

TEST_F(CliDivision, BadOptionsAreOneLineOnStandardErrorAndExitWithTwo) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--plates", "0"}, "'0'"},
        {{"--plates", "-2"}, "'-2'"},
        {{"--plates", "3x"}, "'3x'"},
        {{"--plates"}, "--plates"},
        {{"--plates", "99999999999"}, "'99999999999'"},
        {{"--exact", "--plates", "3"}, "--exact"},
        {{"--time-limit", "0"}, "'0'"},
        {{"--time-limit", "-1"}, "'-1'"},
        {{"--time-limit", "3600.5"}, "'3600.5'"},
        {{"--time-limit", "abc"}, "'abc'"},
        {{"--time-limit", "nan"}, "'nan'"},
        {{"--time-limit", "inf"}, "'inf'"},
        {{"--time-limit", "1e3"}, "'1e3'"},
        {{"--time-limit", "."}, "'.'"},
        {{"--time-limit", "1.2.3"}, "'1.2.3'"},
        {{"--time-limit="}, "''"},
        {{"--trials", "1000001"}, "'1000001'"},
        {{"--trials", "-1"}, "'-1'"},
        {{"--seed", "18446744073709551616"}, "'18446744073709551616'"},
        {{"--seed", "x"}, "'x'"},
    };
    for (const auto& [options, mention] : cases) {
        SCOPED_TRACE(options.back());
        cli_test::expectRefused(run(cli_test::exampleWith(options)), mention);
    }
    // The edges of the ranges are taken.
    EXPECT_EQ(run({"--ups", "10", "--time-limit", "3600", "--exact", "1000", "2500", "700"}).status, 0);
    EXPECT_EQ(run({"--ups", "10", "--time-limit", "0.2", "--trials", "1000000", "1000", "2500", "700"}).status, 0);
    EXPECT_EQ(run({"--ups", "10", "--time-limit=.5", "--exact", "1000", "2500", "700"}).status, 0);
    Outcome help = run({"--help"});
    for (const char* option : {"--exact", "--plates K", "--trials T", "--seed S", "--time-limit SECS", "default 1"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
}

// A window-size order: 150 styles of up to 99,999,999 tags. Every search is
// cut short by the time limit and the answer is still a whole division.
TEST_F(CliDivision, TheTimeLimitBoundsEverySearchOnALargeOrder) {
    const std::vector<int32_t> order = randomOrder(150, 99999999, 11);
    const Json d = runJson(withQuantities({"--ups", "97", "--exact", "--trials", "1000000", "--time-limit", "0.5", "--json"}, order));
    expectConsistentDivision(d, order, 97, 2);
    EXPECT_TRUE(d["searchTimedOut"].boolean);
    EXPECT_LT(d["searchTrials"].integer(), 1000000);
    EXPECT_EQ(d["savedOverSearch"].integer(), d["searchSheets"].integer() - d["sheets"].integer());

    Outcome r = run(withQuantities({"--ups", "60", "--plates", "3", "--trials", "1000000", "--time-limit", "0.4"}, order));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "") << "no progress line when standard error is not a terminal";
    // Two searches of 0.4 s each, and the start-up and printing.
    EXPECT_LT(r.seconds, 6.0);
    EXPECT_NE(r.out.find("第3张版"), std::string::npos);
    EXPECT_NE(r.out.find("已忽略无效条目 0 个"), std::string::npos);
}

// On a terminal a search longer than a second shows one line on standard
// error, rewritten in place and cleared at the end.
TEST_F(CliDivision, ProgressLineOnATerminal) {
    const std::vector<int32_t> order = randomOrder(150, 99999999, 12);
    int status = -1;
    const std::string seen = cli_test::runOnTerminal(
        withQuantities({"--ups", "97", "--trials", "1000000", "--time-limit", "1.6"}, order), status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(seen.find("\r\x1B[Kimpostra-cli: 1"), std::string::npos) << seen;
    cli_test::expectOneProgressLine(seen);
}

}  // namespace
