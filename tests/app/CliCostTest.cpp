// Runs impostra-cli's choice of the plate count by cost (--plate-cost,
// --sheet-cost, --max-plates) and checks it against costs worked out here:
// the fewest sheets of every plate count by enumerating every division of
// small orders, the costs in exact ten-thousandths, the cheapest count with
// ties going to fewer plates.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "CliTestSupport.h"

namespace {

using cli_test::Json;
using cli_test::Outcome;

constexpr int64_t kScale = 10'000;  // amounts in ten-thousandths

// The one-plate sheets: the smallest S whose shares ceil(q / S) fit on the plate.
int64_t sheetsFor(const std::vector<int32_t>& quantities, int64_t ups) {
    if (quantities.empty() || static_cast<int64_t>(quantities.size()) > ups) return -1;
    int64_t lo = 1, hi = *std::max_element(quantities.begin(), quantities.end());
    while (lo < hi) {
        const int64_t mid = (lo + hi) / 2;
        int64_t slots = 0;
        for (int32_t q : quantities) slots += (q + mid - 1) / mid;
        if (slots <= ups) hi = mid;
        else lo = mid + 1;
    }
    return lo;
}

// The fewest sheets over every division of `order` into exactly k plates, for
// k = 1 .. order.size() (index k); -1 where no division has k plates. Every
// set partition is visited once, as a restricted growth string.
std::vector<int64_t> fewestSheetsByCount(const std::vector<int32_t>& order, int64_t ups) {
    const size_t n = order.size();
    std::vector<int64_t> best(n + 1, -1);
    std::vector<size_t> plateOf(n, 0);
    std::function<void(size_t, size_t)> place = [&](size_t style, size_t plates) {
        if (style == n) {
            int64_t sheets = 0;
            for (size_t p = 0; p < plates; ++p) {
                std::vector<int32_t> group;
                for (size_t i = 0; i < n; ++i)
                    if (plateOf[i] == p) group.push_back(order[i]);
                const int64_t s = sheetsFor(group, ups);
                if (s < 0) return;
                sheets += s;
            }
            if (best[plates] < 0 || sheets < best[plates]) best[plates] = sheets;
            return;
        }
        for (size_t p = 0; p <= plates; ++p) {
            plateOf[style] = p;
            place(style + 1, std::max(plates, p + 1));
        }
    };
    if (n > 0) place(0, 0);
    return best;
}

// A printed amount read back exactly, in ten-thousandths; -1 for anything
// but plain decimals with at most four places and no trailing zero after
// the point (no exponent, no binary noise such as 0.30000000000000004).
int64_t tenThousandths(const std::string& text) {
    const size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string decimals = point == std::string::npos ? "" : text.substr(point + 1);
    auto digitsOnly = [](const std::string& s) {
        return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!digitsOnly(whole) || (whole.size() > 1 && whole[0] == '0')) return -1;
    if (point != std::string::npos && (!digitsOnly(decimals) || decimals.size() > 4 || decimals.back() == '0'))
        return -1;
    int64_t value = std::stoll(whole) * kScale;
    int64_t unit = kScale;
    for (char c : decimals) value += (c - '0') * (unit /= 10);
    return value;
}

// An amount as a command-line argument, its four decimals in full ("0.1200").
std::string amountArgument(int64_t amount) {
    std::ostringstream text;
    text << amount / kScale << '.';
    text.width(4);
    text.fill('0');
    text << amount % kScale;
    return text.str();
}

std::vector<std::string> costArgs(int32_t ups, const std::string& plateCost, const std::string& sheetCost,
                                  const std::vector<int32_t>& order, std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"--ups", std::to_string(ups), "--plate-cost", plateCost, "--sheet-cost",
                                     sheetCost};
    args.insert(args.end(), more.begin(), more.end());
    args.push_back("--");
    for (int32_t q : order) args.push_back(std::to_string(q));
    return args;
}

size_t count(const std::string& text, const std::string& piece) {
    size_t n = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + piece.size())) ++n;
    return n;
}

const std::vector<int32_t> kExampleOrder = {1000, 2500, 700};  // 500 sheets on one plate, 425 on two, 420 on three

class CliCost : public cli_test::CliRunner {
protected:
    Json runJson(std::vector<std::string> args, int expectedStatus = 0) {
        args.insert(args.begin(), "--json");
        return cli_test::jsonOf(run(args), expectedStatus);
    }
    // The chosen plate count, 0 when none is chosen.
    int64_t chosenOf(const std::vector<std::string>& args, int expectedStatus = 0) {
        const Json j = runJson(args, expectedStatus);
        return j["chosenPlates"].kind == Json::Number ? j["chosenPlates"].integer() : 0;
    }
};

// Everything the comparison of `order` must show, checked against the
// enumeration: each count's sheets (proven, these orders being small), its
// exact cost, the cheapest count, and the chosen layout printed with it.
void expectCheapestChosen(const Json& j, const std::vector<int32_t>& order, int32_t ups, int64_t plateCost,
                          int64_t sheetCost, int64_t maxPlates) {
    const std::vector<int64_t> fewest = fewestSheetsByCount(order, ups);
    const int64_t listed = std::min<int64_t>(maxPlates, static_cast<int64_t>(order.size()));
    EXPECT_EQ(tenThousandths(j["plateCost"].text), plateCost);
    EXPECT_EQ(tenThousandths(j["sheetCost"].text), sheetCost);
    ASSERT_EQ(static_cast<int64_t>(j["plateCounts"].items.size()), listed);
    int64_t chosen = 0, chosenCost = -1;
    for (int64_t k = 1; k <= listed; ++k) {
        SCOPED_TRACE("plate count " + std::to_string(k));
        const Json& c = j["plateCounts"].items[static_cast<size_t>(k - 1)];
        EXPECT_EQ(c["plates"].integer(), k);
        const bool possible = fewest[static_cast<size_t>(k)] >= 0;
        ASSERT_EQ(c["possible"].boolean, possible);
        if (!possible) {
            EXPECT_EQ(c["reason"].text, "moreStylesThanSlots");
            EXPECT_EQ(c["cost"].kind, Json::Null);
            continue;
        }
        EXPECT_EQ(c["sheets"].integer(), fewest[static_cast<size_t>(k)]);
        EXPECT_TRUE(c["proven"].boolean);
        EXPECT_EQ(c["lowerBound"].integer(), c["sheets"].integer());
        const int64_t cost = k * plateCost + fewest[static_cast<size_t>(k)] * sheetCost;
        EXPECT_EQ(tenThousandths(c["cost"].text), cost) << c["cost"].text;
        EXPECT_FALSE(c["mayBeatChosen"].boolean);
        if (chosen == 0 || cost < chosenCost) chosen = k, chosenCost = cost;
    }
    if (chosen == 0) {
        EXPECT_EQ(j["chosenPlates"].kind, Json::Null);
        EXPECT_FALSE(j["ok"].boolean);
        return;
    }
    EXPECT_EQ(j["chosenPlates"].integer(), chosen);
    EXPECT_EQ(tenThousandths(j["chosenCost"].text), chosenCost);
    // The chosen layout is printed as --plates K prints it.
    EXPECT_TRUE(j["ok"].boolean);
    EXPECT_EQ(j["sheets"].integer(), fewest[static_cast<size_t>(chosen)]);
    if (chosen == 1) {
        EXPECT_FALSE(j.has("plateCount"));
        EXPECT_EQ(j["styles"].items.size(), order.size());
    } else {
        EXPECT_EQ(j["plateCount"].integer(), chosen);
        EXPECT_EQ(static_cast<int64_t>(j["plates"].items.size()), chosen);
    }
}

TEST_F(CliCost, ChoosesTheCheapestCountOfRandomSmallOrders) {
    std::mt19937_64 random(20240611);
    auto uniform = [&](int64_t low, int64_t high) { return std::uniform_int_distribution<int64_t>(low, high)(random); };
    // Rates that make one plate, many plates and everything between the
    // cheapest, with amounts down to a ten-thousandth.
    const std::vector<int64_t> plateCosts = {0, 1, 5'000, 123'400, 3'500'000};
    const std::vector<int64_t> sheetCosts = {0, 1, 1'200, 10'000, 250'000};
    for (int round = 0; round < 60; ++round) {
        const size_t styles = static_cast<size_t>(uniform(1, 8));
        const auto ups = static_cast<int32_t>(uniform(1, 5));
        const int64_t maxQuantity = round % 3 == 0 ? 30 : round % 3 == 1 ? 5'000 : 99'999'999;
        std::vector<int32_t> order(styles);
        for (int32_t& q : order) q = static_cast<int32_t>(uniform(1, maxQuantity));
        const int64_t plateCost = round % 4 == 3 ? uniform(0, 99'999'999) : plateCosts[uniform(0, 4)];
        const int64_t sheetCost = round % 4 == 3 ? uniform(0, 999'999) : sheetCosts[uniform(0, 4)];
        const int64_t maxPlates = uniform(1, 9);
        std::ostringstream trace;
        trace << "ups " << ups << ", plate cost " << amountArgument(plateCost) << ", sheet cost "
              << amountArgument(sheetCost) << ", max plates " << maxPlates << ", order";
        for (int32_t q : order) trace << ' ' << q;
        SCOPED_TRACE(trace.str());

        const bool anyPossible = static_cast<int64_t>(styles) <= std::min<int64_t>(maxPlates, styles) * ups;
        const Json j = runJson(costArgs(ups, amountArgument(plateCost), amountArgument(sheetCost), order,
                                        {"--max-plates", std::to_string(maxPlates)}),
                               anyPossible ? 0 : 1);
        expectCheapestChosen(j, order, ups, plateCost, sheetCost, maxPlates);
    }
}

TEST_F(CliCost, TiesGoToFewerPlatesAndZeroRatesPickTheEnds) {
    // One plate 500 sheets, two 425, three 420: at 75 a plate and 1 a sheet,
    // one and two plates both cost 575; a hundredth less a plate tips it.
    EXPECT_EQ(chosenOf(costArgs(10, "75", "1", kExampleOrder)), 1);
    EXPECT_EQ(chosenOf(costArgs(10, "74.99", "1", kExampleOrder)), 2);
    // Two and three plates tie at 5 a plate and 1 a sheet (435 each); one
    // plate is dearer, so the tie goes to two.
    EXPECT_EQ(chosenOf(costArgs(10, "5", "1", kExampleOrder)), 2);
    // Plates free: the fewest sheets; sheets free: the fewest plates.
    EXPECT_EQ(chosenOf(costArgs(10, "0", "0.01", kExampleOrder)), 3);
    EXPECT_EQ(chosenOf(costArgs(10, "0", "0.01", kExampleOrder, {"--max-plates", "2"})), 2);
    EXPECT_EQ(chosenOf(costArgs(10, "350", "0", kExampleOrder)), 1);
    // Both free: every count costs 0, and one plate is the fewest.
    EXPECT_EQ(chosenOf(costArgs(10, "0", "0", kExampleOrder)), 1);
    // Free plates, and two plates as good as one in sheets (100 and 100 on
    // two slots, or each alone): the tie goes to one plate.
    EXPECT_EQ(chosenOf(costArgs(2, "0", "1", {100, 100})), 1);
    // Sheets free but one plate too small for the order: the fewest plates
    // that hold it.
    EXPECT_EQ(chosenOf(costArgs(2, "350", "0", {1, 2, 3, 4, 5})), 3);
}

TEST_F(CliCost, CountsWithoutADivisionAreListedAndTheExitStatusSaysWhetherAnyHasOne) {
    // Five styles on plates of two slots: one and two plates cannot hold them.
    const Json j = runJson(costArgs(2, "10", "1", {1000, 2500, 700, 40, 90}, {"--max-plates", "9"}));
    expectCheapestChosen(j, {1000, 2500, 700, 40, 90}, 2, 10 * kScale, kScale, 9);
    EXPECT_EQ(j["plateCounts"].items[0]["reason"].text, "moreStylesThanSlots");
    EXPECT_EQ(j["plateCounts"].items[0]["sheets"].kind, Json::Null);
    EXPECT_EQ(j["plateCounts"].items[0]["proven"].kind, Json::Null);

    Outcome none = run(costArgs(2, "10", "1", {1000, 2500, 700, 40, 90}, {"--max-plates", "2"}));
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, "");
    EXPECT_NE(none.out.find("     1         -     -  无法排：款数超过模数\n"
                            "     2         -     -  无法排：款数超过模数\n"
                            "没有能排的印版数\n"),
              std::string::npos)
        << none.out;
    const Json noneJson = runJson(costArgs(2, "10", "1", {1000, 2500, 700, 40, 90}, {"--max-plates", "2"}), 1);
    expectCheapestChosen(noneJson, {1000, 2500, 700, 40, 90}, 2, 10 * kScale, kScale, 2);
    EXPECT_EQ(noneJson["chosenCost"].kind, Json::Null);

    // An empty order: one plate, refused as empty.
    Outcome empty = run({"--ups", "5", "--plate-cost", "1", "--sheet-cost", "1"}, "0\n-3\n");
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.out.find("     1         -     -  订单数量为空\n没有能排的印版数\n"), std::string::npos) << empty.out;
    EXPECT_EQ(empty.out.find("注："), std::string::npos) << "no note on counts cut at 0 styles";
}

TEST_F(CliCost, MaxPlatesBoundsTheCountsCompared) {
    struct Case {
        std::vector<std::string> more;
        size_t counts;
        bool cutNote;
    };
    const std::vector<int32_t> order = {1000, 2500, 700, 40, 90, 3};
    const std::vector<Case> cases = {
        {{}, 4, false},                              // four by default
        {{"--max-plates", "1"}, 1, false},           // the one-plate layout, no search
        {{"--max-plates=6"}, 6, false},              // as many as the styles
        {{"--max-plates", "7"}, 6, true},            // more: cut at the styles, with a note
        {{"--max-plates", "2147483647"}, 6, true},   // however many
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.more.empty() ? "default" : c.more.back());
        const Json j = runJson(costArgs(6, "20", "1", order, c.more));
        EXPECT_EQ(j["plateCounts"].items.size(), c.counts);
        Outcome table = run(costArgs(6, "20", "1", order, c.more));
        EXPECT_EQ(count(table.out, "注：订单共6款，只比较到6张版\n"), c.cutNote ? 1u : 0u) << table.out;
    }
    Outcome huge = run(costArgs(6, "20", "1", order, {"--max-plates", "2147483647"}));
    EXPECT_LT(huge.seconds, 5.0) << "counts above the styles are not searched";
}

TEST_F(CliCost, BadValuesAndCombinationsAreOneLineOnStandardErrorAndExitWithTwo) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--plate-cost", "-5", "--sheet-cost", "1"}, "'-5'"},
        {{"--plate-cost=-0.5", "--sheet-cost", "1"}, "'-0.5'"},
        {{"--plate-cost", "1", "--sheet-cost", "abc"}, "'abc'"},
        {{"--plate-cost", "1e3", "--sheet-cost", "1"}, "'1e3'"},
        {{"--plate-cost", "nan", "--sheet-cost", "1"}, "'nan'"},
        {{"--plate-cost", "inf", "--sheet-cost", "1"}, "'inf'"},
        {{"--plate-cost", "0x10", "--sheet-cost", "1"}, "'0x10'"},
        {{"--plate-cost", "1,5", "--sheet-cost", "1"}, "'1,5'"},
        {{"--plate-cost", " 5", "--sheet-cost", "1"}, "' 5'"},
        {{"--plate-cost", ".", "--sheet-cost", "1"}, "'.'"},
        {{"--plate-cost", "1.2.3", "--sheet-cost", "1"}, "'1.2.3'"},
        {{"--plate-cost=", "--sheet-cost", "1"}, "''"},
        {{"--plate-cost", "1", "--sheet-cost", "0.12345"}, "'0.12345'"},  // finer than a ten-thousandth
        {{"--plate-cost", "1000000000", "--sheet-cost", "1"}, "'1000000000'"},
        {{"--plate-cost", "99999999999999999999999", "--sheet-cost", "1"}, "'99999999999999999999999'"},
        {{"--plate-cost", "1", "--sheet-cost"}, "--sheet-cost"},
        {{"--plate-cost", "1"}, "--sheet-cost"},
        {{"--sheet-cost", "1"}, "--plate-cost"},
        {{"--max-plates", "3"}, "--plate-cost"},
        {{"--plate-cost", "1", "--sheet-cost", "1", "--max-plates", "0"}, "'0'"},
        {{"--plate-cost", "1", "--sheet-cost", "1", "--max-plates", "-1"}, "'-1'"},
        {{"--plate-cost", "1", "--sheet-cost", "1", "--max-plates", "2x"}, "'2x'"},
        {{"--plate-cost", "1", "--sheet-cost", "1", "--max-plates", "2147483648"}, "'2147483648'"},
        {{"--plate-cost", "1", "--sheet-cost", "1", "--exact"}, "--exact"},
        {{"--plate-cost", "1", "--sheet-cost", "1", "--plates", "2"}, "--plates"},
        {{"--plate-cost", "1", "--sheet-cost", "1", "--trials", "10"}, "--trials"},
        {{"--plate-cost", "1", "--sheet-cost", "1", "--report"}, "--report"},
    };
    for (const auto& [options, mention] : cases) {
        SCOPED_TRACE(options.back());
        cli_test::expectRefused(run(cli_test::exampleWith(options)), mention);
    }
    // The forms an amount may take, down to a ten-thousandth; zeros past
    // the fourth decimal change nothing.
    const std::vector<std::pair<std::string, std::string>> amounts = {
        {"0", "0"},     {"350", "350"},       {".5", "0.5"},       {"5.", "5"},
        {"007", "7"},   {"0.12", "0.12"},     {"0.1200", "0.12"},  {"1.23450000", "1.2345"},
        {"0.0001", "0.0001"}, {"999999999.9999", "999999999.9999"},
    };
    for (const auto& [given, shown] : amounts) {
        SCOPED_TRACE(given);
        const Json j = runJson(costArgs(10, given, given, kExampleOrder));
        EXPECT_EQ(j["plateCost"].text, shown);
        EXPECT_EQ(j["sheetCost"].text, shown);
    }
    Outcome help = run({"--help"});
    for (const char* option : {"--plate-cost C", "--sheet-cost S", "--max-plates K", "(K - 1) x the time limit"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
}

// Costs are exact decimals: the sums of tenths and thousandths that binary
// floating point cannot hold print as they are, and so do sums past 2^63
// ten-thousandths.
TEST_F(CliCost, CostsArePrintedExactly) {
    const Json j = runJson(costArgs(10, "0.1", "0.0002", kExampleOrder));
    ASSERT_EQ(j["plateCounts"].items.size(), 3u);
    EXPECT_EQ(j["plateCounts"].items[0]["cost"].text, "0.2");    // 0.1 + 500 x 0.0002
    EXPECT_EQ(j["plateCounts"].items[1]["cost"].text, "0.285");  // 0.2 + 425 x 0.0002
    EXPECT_EQ(j["plateCounts"].items[2]["cost"].text, "0.384");  // 0.3 + 420 x 0.0002

    // 3 plates of one slot and 299,999,996 sheets at 999,999,999.9999 each.
    const Json large = runJson(costArgs(1, "999999999.9999", "999999999.9999", {99999999, 99999999, 99999998}));
    EXPECT_EQ(large["chosenPlates"].integer(), 3);
    EXPECT_EQ(large["chosenCost"].text, "299999998999970000.0001");
}

// The table for the example order, where two plates are cheapest: the
// one-plate layout, the comparison, then the chosen division as --plates 2
// prints it.
TEST_F(CliCost, TheTableComparesTheCountsThenShowsTheChosenLayout) {
    Outcome r = run(costArgs(10, "10", "1", kExampleOrder));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const std::string plates2 = run({"--ups", "10", "--plates", "2", "1000", "2500", "700"}).out;
    const std::string onePlate = run({"--ups", "10", "1000", "2500", "700"}).out;
    const std::string dropped = "已忽略无效条目 0 个（有效数量为 1 至 99999999）\n";
    const std::string onePlatePart = onePlate.substr(0, onePlate.size() - dropped.size());
    ASSERT_EQ(r.out.substr(0, onePlatePart.size()), onePlatePart);
    const std::string comparison =
        "按费用选择印版数：每张印版 10，每印刷1张 1\n"
        "印版数  印刷张数  费用        最优\n"
        "     1       500   510        已证明\n"
        "     2       425   445  最省  已证明\n"
        "     3       420   450        已证明\n"
        "选择排2张版，费用 445\n"
        "注：订单共3款，只比较到3张版\n";
    ASSERT_EQ(r.out.substr(onePlatePart.size(), comparison.size()), comparison) << r.out;
    EXPECT_EQ(r.out.substr(onePlatePart.size() + comparison.size()), plates2.substr(onePlatePart.size() - 1));

    // One plate chosen: the comparison follows the layout, and nothing else.
    Outcome one = run(costArgs(10, "350", "0.12", kExampleOrder, {"--max-plates", "2"}));
    EXPECT_EQ(one.out, onePlatePart +
                           "按费用选择印版数：每张印版 350，每印刷1张 0.12\n"
                           "印版数  印刷张数  费用        最优\n"
                           "     1       500   410  最省  已证明\n"
                           "     2       425   751        已证明\n"
                           "选择排1张版，费用 410\n"
                           "\n" +
                           dropped);
}

// An order too large to prove within the time limit: the costs of the
// unproven counts rest on their best divisions, which the table says, and
// an unproven count whose lower bound could still win is named. Each search
// keeps to the time limit.
TEST_F(CliCost, UnprovenCountsSayTheChoiceRestsOnTheBestDivisionFound) {
    std::mt19937 random(5);
    std::vector<int32_t> order(60);
    for (int32_t& q : order) q = std::uniform_int_distribution<int32_t>(1, 100000)(random);
    const std::vector<std::string> args = costArgs(24, "30", "0.1", order, {"--time-limit", "0.3"});

    Outcome timed = run(args);
    EXPECT_EQ(timed.status, 0);
    // Counts 1 and 2 cannot hold 60 styles on 24 slots: two searches of 0.3 s.
    EXPECT_LT(timed.seconds, 3.0);

    const Json j = runJson(args);
    ASSERT_EQ(j["plateCounts"].items.size(), 4u);
    const int64_t chosen = j["chosenPlates"].integer();
    const int64_t chosenCost = tenThousandths(j["chosenCost"].text);
    bool anyUnproven = false;
    for (const Json& c : j["plateCounts"].items) {
        if (!c["possible"].boolean) continue;
        const int64_t k = c["plates"].integer();
        SCOPED_TRACE("plate count " + std::to_string(k));
        EXPECT_LE(c["lowerBound"].integer(), c["sheets"].integer());
        EXPECT_EQ(tenThousandths(c["cost"].text), k * 30 * kScale + c["sheets"].integer() * 1000);
        const int64_t boundCost = k * 30 * kScale + c["lowerBound"].integer() * 1000;
        EXPECT_EQ(tenThousandths(c["lowerBoundCost"].text), boundCost);
        EXPECT_LE(chosenCost, tenThousandths(c["cost"].text));
        anyUnproven |= !c["proven"].boolean;
        const bool mayBeat = !c["proven"].boolean && k != chosen &&
                             (boundCost < chosenCost || (boundCost == chosenCost && k < chosen));
        EXPECT_EQ(c["mayBeatChosen"].boolean, mayBeat);
    }
    ASSERT_TRUE(anyUnproven) << "60 styles over 3 plates are not proven within 0.3 s";

    // The table of one run: the rows with a lower bound are the counts the
    // note names, and each "may beat" line names such a row.
    const std::string& table = timed.out;
    std::string unproven;
    std::vector<std::string> bounded;
    std::istringstream lines(table);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream cells(line);
        std::string plates;
        cells >> plates;
        if (line.find("  下界 ") == std::string::npos || plates.empty() ||
            !std::isdigit(static_cast<unsigned char>(plates[0])))
            continue;
        unproven += (unproven.empty() ? "" : "、") + plates + "张版";
        bounded.push_back(plates);
    }
    EXPECT_EQ(count(table, "注：" + unproven + "未证明最优，费用按找到的最佳分法计算，选择以此为准\n"), 1u) << table;
    size_t mayBeatLines = 0;
    for (size_t at = table.find("张版按下界费用可低至 "); at != std::string::npos;
         at = table.find("张版按下界费用可低至 ", at + 1)) {
        const size_t start = table.rfind("注：", at) + std::string("注：").size();
        EXPECT_NE(std::find(bounded.begin(), bounded.end(), table.substr(start, at - start)), bounded.end());
        ++mayBeatLines;
    }
    EXPECT_EQ(mayBeatLines, count(table, "，不排除优于所选\n"));
}

// On a terminal the searches share one progress line that names the count
// being searched, cleared before the result is printed.
TEST_F(CliCost, ProgressLineOnATerminal) {
    std::mt19937 random(12);
    std::vector<std::string> args = {"--ups", "60", "--plate-cost", "100", "--sheet-cost", "0.05", "--time-limit",
                                     "0.7", "--"};
    std::uniform_int_distribution<int32_t> quantity(1, 99999999);
    for (int i = 0; i < 150; ++i) args.push_back(std::to_string(quantity(random)));
    int status = -1;
    const std::string seen = cli_test::runOnTerminal(args, status);
    EXPECT_EQ(status, 0);
    // 150 styles fit on three or four plates of 60: two searches, 1.4 s together.
    EXPECT_NE(seen.find(" plates (search 2 of 2), best "), std::string::npos) << seen;
    cli_test::expectOneProgressLine(seen);
}

}  // namespace
