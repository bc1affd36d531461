// impostra-cli --report against the window itself: for many orders, the
// window's report box and sheet-difference label after a press of the
// compute button, its trials drawing the command line's seeded orderings,
// must be what the program prints, byte for byte once GBK is UTF-8 and CR LF
// is LF; and the window's two plates must be those --trials finds.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "calc/CalcState.h"
#include "calc/CutTrials.h"
#include "calc/TwoPlateSearch.h"
#include "grid/GridMethods.h"
#include "platform/Gbk.h"
#include "CalcWindowSupport.h"
#include "CliTestSupport.h"

using namespace calc_test;
using cli_test::Outcome;

namespace {

constexpr int kRowsPerColumn = 50, kQuantityColumns = 3;
constexpr int32_t kTrialsOfSelection[] = {10, 50, 100, 500};

struct Case {
    std::vector<std::string> entries;  // the order grid's cells in style order; some may be invalid
    int ups = 0;
    int selection = 0;  // of the trial choice
    uint64_t seed = 0;
};

std::string describe(const Case& c) {
    std::ostringstream s;
    s << c.entries.size() << " entries, ups " << c.ups << ", " << kTrialsOfSelection[c.selection] << " trials, seed "
      << c.seed;
    return s.str();
}

// A window text as the program prints it: UTF-8, lines ending in LF.
std::string printed(const std::string& gbk) {
    const std::string text = platform::gbkToUtf8(gbk);
    std::string out;
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

// Orders of every kind the window takes: one style, a few, many, the full
// grid; fitting on one plate or needing two; small, large and repeated
// quantities; now and then a cell the window empties as invalid.
std::vector<Case> randomCases(int count) {
    std::mt19937_64 random(0x5EED'2024);
    auto between = [&](int64_t low, int64_t high) { return std::uniform_int_distribution<int64_t>(low, high)(random); };
    std::vector<Case> cases;
    for (int i = 0; i < count; ++i) {
        const int64_t styles = i % 4 == 0   ? between(1, 5)
                               : i % 4 == 1 ? between(6, 60)
                               : i % 4 == 2 ? between(61, 149)
                                            : 150;
        Case c;
        if (styles >= 2 && between(0, 1) == 1) c.ups = static_cast<int>(between((styles + 1) / 2, styles - 1));
        else c.ups = static_cast<int>(between(styles, std::min<int64_t>(999, styles + 400)));
        const int64_t largest = std::array<int64_t, 4>{30, 20'000, 3'000'000, 99'999'999}[between(0, 3)];
        for (int64_t s = 0; s < styles; ++s) c.entries.push_back(std::to_string(between(1, largest)));
        for (int64_t invalid = between(-6, 3); invalid > 0 && c.entries.size() < 150; --invalid)
            c.entries.insert(c.entries.begin() + between(0, static_cast<int64_t>(c.entries.size())),
                             between(0, 1) ? "0" : "100000000");
        c.selection = static_cast<int>(styles <= 30 ? between(0, 3) : between(0, 2));
        c.seed = std::uniform_int_distribution<uint64_t>()(random);
        cases.push_back(std::move(c));
    }
    return cases;
}

// The quantities of each plate of the division in the program's table, in
// the table's row order: rows of four numbers under "第1张版" and "第2张版".
std::vector<std::vector<int32_t>> platesOfTable(const std::string& table) {
    std::vector<std::vector<int32_t>> plates(3);
    std::istringstream lines(table);
    std::string line;
    size_t plate = 0;
    while (std::getline(lines, line)) {
        if (line == "第1张版") plate = 1;
        else if (line == "第2张版") plate = 2;
        std::istringstream fields(line);
        std::vector<std::string> numbers;
        for (std::string f; fields >> f;) numbers.push_back(f);
        const bool row = numbers.size() == 4 && std::all_of(numbers.begin(), numbers.end(), [](const std::string& n) {
                             return n.find_first_not_of("0123456789") == std::string::npos;
                         });
        if (plate != 0 && row) plates[plate].push_back(std::stoi(numbers[1]));
    }
    return plates;
}

std::vector<int32_t> sorted(std::vector<int32_t> list) {
    std::sort(list.begin(), list.end());
    return list;
}

class ReportOnTheCommandLine : public CalcWindow {
protected:
    void SetUp() override {
        CalcWindow::SetUp();
        ASSERT_FALSE(folder.path.empty());
    }
    void TearDown() override {
        calc::setTrialOrderingsForTesting({});
        CalcWindow::TearDown();
    }

    // The order typed into the grid (column by column, every other cell
    // emptied), the ups and the trial choice set, and the button pressed,
    // with the trials drawing the seeded orderings.
    static void calculateInTheWindow(const Case& c) {
        for (int i = 0; i < kRowsPerColumn * kQuantityColumns; ++i)
            grid::call::setCellText(kMainWindow, control::OrderGrid, i % kRowsPerColumn + 1, i / kRowsPerColumn + 1,
                                    i < static_cast<int>(c.entries.size()) ? c.entries[static_cast<size_t>(i)] : "");
        setUps(std::to_string(c.ups).c_str());
        chooseTrials(c.selection);
        const uint64_t seed = c.seed;
        calc::setTrialOrderingsForTesting([seed] { return calc::seededOrderings(seed); });
        press();
    }

    // What the window shows, as --report prints it.
    static std::string windowText() {
        std::string shown = printed(report()) + "\n";
        if (property(control::Difference, rt::prop::Visible) != 0)
            shown += printed(text(control::Difference, property::LabelCaption)) + "\n";
        return shown;
    }

    Outcome runCli(const Case& c, bool report) {
        std::vector<std::string> args = {"--ups", std::to_string(c.ups), "--trials",
                                         std::to_string(kTrialsOfSelection[c.selection]), "--seed",
                                         std::to_string(c.seed), "--time-limit", "3600"};
        if (report) args.push_back("--report");
        args.push_back("--");
        args.insert(args.end(), c.entries.begin(), c.entries.end());
        return cli_test::runCli(folder.path, args);
    }

    cli_test::CliFolder folder;
};

TEST_F(ReportOnTheCommandLine, PrintsWhatTheWindowShowsForManyOrders) {
    int twoPlateOrders = 0, onePlateOnly = 0, bothSections = 0;
    for (const Case& c : randomCases(64)) {
        SCOPED_TRACE(describe(c));
        calculateInTheWindow(c);
        ASSERT_TRUE(host.boxes.empty()) << "the window refused the order";
        const std::string window = windowText();

        const Outcome cli = runCli(c, true);
        EXPECT_EQ(cli.status, 0) << cli.err;
        EXPECT_EQ(cli.out, window);
        const bool allValid = std::none_of(c.entries.begin(), c.entries.end(),
                                           [](const std::string& e) { return e == "0" || e == "100000000"; });
        if (allValid) {
            EXPECT_TRUE(cli.err.empty()) << cli.err;
        }

        const bool twoPlates = window.find("排2张版") != std::string::npos;
        const bool onePlate = window.find("排1张版") != std::string::npos;
        twoPlateOrders += twoPlates;
        onePlateOnly += onePlate && !twoPlates;
        bothSections += onePlate && twoPlates;
        if (!twoPlates) continue;
        // The plates themselves: those of --trials with the same seed.
        const std::vector<std::vector<int32_t>> plates = platesOfTable(runCli(c, false).out);
        EXPECT_EQ(sorted(calc::state().plateOneList), sorted(plates[1]));
        EXPECT_EQ(sorted(calc::state().plateTwoList), sorted(plates[2]));
    }
    // The orders must cover every kind of report.
    EXPECT_GE(onePlateOnly, 5);
    EXPECT_GE(bothSections, 10);
    EXPECT_GE(twoPlateOrders - bothSections, 10);
}

// The window's refusals come as its message box; the program prints the
// same message on standard error and exits with 1.
TEST_F(ReportOnTheCommandLine, RefusesWithTheWindowsMessage) {
    std::vector<std::string> styles150;
    for (int i = 0; i < 150; ++i) styles150.push_back(std::to_string(1000 + i));
    const Case cases[] = {
        {{}, 10, 0, 1},
        {{"0", "100000000"}, 10, 0, 1},
        {{"5", "6", "7"}, 1, 0, 1},
        {styles150, 74, 0, 1},
    };
    size_t boxes = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(describe(c));
        calculateInTheWindow(c);
        ASSERT_EQ(host.boxes.size(), ++boxes);
        const Outcome cli = runCli(c, true);
        EXPECT_EQ(cli.status, 1);
        EXPECT_EQ(cli.out, "");
        const std::string message = "impostra-cli: " + printed(host.boxes.back().text) + "\n";
        ASSERT_GE(cli.err.size(), message.size());
        EXPECT_EQ(cli.err.substr(cli.err.size() - message.size()), message);
    }
}

}  // namespace
