// impostra-cli: lays an order out on one printing plate and prints the result
// with the words of the program's result tables, or as JSON; on request also
// the division of the order over two or more plates with the fewest sheets,
// the window's random cut search, and the window's report of that search.
//
// Exit status: 0 when the order was laid out (or divided, when a division was
// asked for); 1 when there is no layout or division (no valid quantity, fewer
// styles than plates, more styles than slots; for --report, an order the
// window refuses); 2 for a bad command line, unreadable input or an order too
// large to handle; 3 when standard output could not be written.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "app/cli/CliCost.h"
#include "app/cli/CliReport.h"
#include "app/cli/CliSearch.h"
#include "app/cli/CliWindowReport.h"
#include "calc/OrderFile.h"
#include "calc/OrderText.h"
#include "calc/PlateLayout.h"
#include "calc/ReportText.h"
#include "runtime/Numbers.h"

namespace {

// The ups box of the program takes at most three digits.
constexpr int32_t kMaxUps = 999;
constexpr int32_t kMaxTrials = 1'000'000;
constexpr double kMaxTimeLimit = 3600;
// The random search starts from this seed unless --seed says otherwise, so
// that the same command line gives the same answer.
constexpr uint64_t kDefaultSeed = 1;
constexpr double kDefaultTimeLimit = 2.0;
// --report without --trials runs the window's trial choice as it starts: 500.
constexpr int32_t kDefaultReportTrials = 500;
// The plate counts compared by cost: 1 to 4 unless --max-plates says otherwise.
constexpr int32_t kDefaultMaxPlates = 4;

constexpr char kUpsRequired[] =
    "--ups N is required (slots per plate, 1 to 999; see --help), unless an order file gives it";

constexpr int kNoLayoutStatus = 1;
constexpr int kBadInputStatus = 2;
constexpr int kWriteErrorStatus = 3;

constexpr char kUsage[] =
    "Usage: impostra-cli --ups N [OPTION...] [QUANTITY...]\n"
    "       impostra-cli [--ups N] [OPTION...] --file PATH\n"
    "       impostra-cli --ups N [OPTION...] [-]      (quantities from standard input)\n"
    "\n"
    "Lays an order out on one printing plate of N slots (1..999) and prints the\n"
    "sheets to print, the tags printed and the surplus, then the slots of each style.\n"
    "With --exact, --plates or --trials it also divides the order over several\n"
    "plates of N slots each and prints each plate the same way.\n"
    "\n"
    "Quantities are whole numbers, one per line or separated by commas, semicolons,\n"
    "tabs or blanks. Those outside 1..99999999 are dropped and counted.\n"
    "An order file as the window saves it (a 模数 row and an 订单数量 header) is\n"
    "read as the window opens it; its 模数 gives N unless --ups is given.\n"
    "\n"
    "Options:\n"
    "  --ups N             slots per plate (required unless an order file gives it)\n"
    "  --file PATH         read the quantities from PATH ('-': standard input)\n"
    "  --json              print one JSON object instead of the table\n"
    "  --exact             the two-plate division with the fewest sheets, proven\n"
    "                      optimal, or else with a lower bound and the gap to it\n"
    "  --plates K          the same over K plates (K=1: the one-plate layout only;\n"
    "                      K=2: as --exact)\n"
    "  --trials T          the window's two-plate search: the sorted cut, then T\n"
    "                      random orderings (0..1000000); with --exact or --plates\n"
    "                      its sheets are compared with the division's\n"
    "  --seed S            seed of the random orderings (default 1: the same\n"
    "                      command line gives the same result)\n"
    "  --report            print what the window's report box holds after the same\n"
    "                      calculation, then its sheet difference (相差N张) when it\n"
    "                      shows; the two-plate section is that of --trials T\n"
    "                      (default 500) with --seed S. An order the window refuses\n"
    "                      (no valid quantity, more styles than twice N) prints its\n"
    "                      message on standard error with exit status 1; one of\n"
    "                      more than 150 styles, more than its order grid holds,\n"
    "                      exits with 2\n"
    "  --plate-cost C      with --sheet-cost S: lay the order out on 1, 2, ... K\n"
    "  --sheet-cost S      plates (K from --max-plates) and choose the count with\n"
    "                      the least cost K x C + sheets x S; ties go to fewer\n"
    "                      plates. C and S are amounts from 0, such as 350 or\n"
    "                      0.12, with up to 4 decimals; costs are printed exactly,\n"
    "                      trailing zeros trimmed. Prints each count's sheets,\n"
    "                      proof and cost, then the chosen layout as --plates K\n"
    "                      would. Each count from 2 up is one search, so up to\n"
    "                      (K - 1) x the time limit. Not with --exact, --plates,\n"
    "                      --trials or --report\n"
    "  --max-plates K      the most plates compared by cost (1 up, default 4; no\n"
    "                      more than the order's styles)\n"
    "  --time-limit SECS   time allowed for each search (above 0, at most 3600;\n"
    "                      default 2); the best answer found by then is printed\n"
    "  --help              print this text\n"
    "  --                  the arguments after it are quantities\n"
    "\n"
    "A search that runs longer than a second shows its progress on standard error\n"
    "when that is a terminal.\n"
    "\n"
    "Exit status: 0 laid out; 1 no layout or division (no valid quantity, fewer\n"
    "styles than plates, more styles than slots; an order --report refuses); 2 bad\n"
    "command line, unreadable input or an order too large to handle; 3 standard\n"
    "output could not be written (such as a full disk).\n";

struct Options {
    std::optional<int32_t> ups;
    bool json = false;
    bool help = false;
    bool report = false;
    bool exact = false;
    std::optional<int32_t> plates;
    std::optional<int32_t> trials;
    std::optional<cli::Amount> plateCost, sheetCost;
    std::optional<int32_t> maxPlates;
    uint64_t seed = kDefaultSeed;
    double timeLimit = kDefaultTimeLimit;
    std::optional<std::string> file;  // "-" is standard input
    std::vector<std::pair<int, std::string>> quantityArgs;  // argv index, text
};

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "impostra-cli: %s\n", message.c_str());
    std::exit(kBadInputStatus);
}

void note(const std::string& message) { std::fprintf(stderr, "impostra-cli: %s\n", message.c_str()); }

// Output that did not reach its file is a failure: a full disk or a closed
// standard output must not pass for a result. Ends at once, without the
// flush at exit that would try the failed output again.
[[noreturn]] void writeFailed(int error) {
    std::fprintf(stderr, "impostra-cli: write error: %s\n", std::strerror(error != 0 ? error : EIO));
    std::_Exit(kWriteErrorStatus);
}

void writeOut(std::string_view text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) writeFailed(errno);
}

// What stdio still buffers shows its write error only here.
void closeOut() {
    if (std::fflush(stdout) != 0) writeFailed(errno);
    if (std::fclose(stdout) != 0) writeFailed(errno);
}

std::string quoted(std::string_view text) { return "'" + calc::printableField(text) + "'"; }

// A whole number in decimal digits with an optional '+', at most `max`.
std::optional<uint64_t> parseWhole(std::string_view text, uint64_t max) {
    size_t i = !text.empty() && text[0] == '+' ? 1 : 0;
    if (i == text.size()) return std::nullopt;
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        const unsigned digit = static_cast<unsigned>(text[i] - '0');
        if (value > (max - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

std::optional<int32_t> parseInRange(std::string_view text, int32_t min, int32_t max) {
    std::optional<uint64_t> value = parseWhole(text, static_cast<uint64_t>(max));
    if (!value || *value < static_cast<uint64_t>(min)) return std::nullopt;
    return static_cast<int32_t>(*value);
}

// Seconds as digits with an optional decimal point: above 0, at most an hour.
std::optional<double> parseSeconds(std::string_view text) {
    size_t digits = 0, points = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') ++digits;
        else if (c == '.') ++points;
        else return std::nullopt;
    }
    if (digits == 0 || points > 1 || text.size() > 32) return std::nullopt;
    const double value = std::strtod(std::string(text).c_str(), nullptr);
    if (!(value > 0) || value > kMaxTimeLimit) return std::nullopt;
    return value;
}

Options parseArguments(int argc, char** argv) {
    Options options;
    bool onlyQuantities = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        auto valueOf = [&](std::string_view name) -> std::string {
            if (arg.size() > name.size() && arg[name.size()] == '=') return std::string(arg.substr(name.size() + 1));
            if (i + 1 >= argc) fail(std::string(name) + " needs a value");
            return argv[++i];
        };
        auto is = [&](std::string_view name) {
            return arg == name || (arg.size() > name.size() && arg.substr(0, name.size()) == name && arg[name.size()] == '=');
        };
        bool negativeNumber = arg.size() > 1 && arg[0] == '-' && arg[1] >= '0' && arg[1] <= '9';
        if (onlyQuantities || negativeNumber || arg.empty() || arg[0] != '-') {
            options.quantityArgs.emplace_back(i, std::string(arg));
        } else if (arg == "--") {
            onlyQuantities = true;
        } else if (arg == "-") {
            options.file = "-";
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--report") {
            options.report = true;
        } else if (is("--ups")) {
            std::string value = valueOf("--ups");
            options.ups = parseInRange(value, 1, kMaxUps);
            if (!options.ups) fail("--ups needs a whole number from 1 to 999, not " + quoted(value));
        } else if (arg == "--exact") {
            options.exact = true;
        } else if (is("--plates")) {
            std::string value = valueOf("--plates");
            options.plates = parseInRange(value, 1, INT32_MAX);
            if (!options.plates) fail("--plates needs a whole number of plates from 1 up, not " + quoted(value));
        } else if (is("--trials")) {
            std::string value = valueOf("--trials");
            options.trials = parseInRange(value, 0, kMaxTrials);
            if (!options.trials) fail("--trials needs a whole number from 0 to 1000000, not " + quoted(value));
        } else if (is("--plate-cost") || is("--sheet-cost")) {
            const bool plate = is("--plate-cost");
            const char* name = plate ? "--plate-cost" : "--sheet-cost";
            std::string value = valueOf(name);
            std::optional<cli::Amount> amount = cli::parseAmount(value);
            if (!amount)
                fail(std::string(name) + " needs an amount from 0 to 999999999.9999 with at most 4 decimals" +
                     " (such as 350 or 0.12), not " + quoted(value));
            (plate ? options.plateCost : options.sheetCost) = amount;
        } else if (is("--max-plates")) {
            std::string value = valueOf("--max-plates");
            options.maxPlates = parseInRange(value, 1, INT32_MAX);
            if (!options.maxPlates) fail("--max-plates needs a whole number of plates from 1 up, not " + quoted(value));
        } else if (is("--seed")) {
            std::string value = valueOf("--seed");
            std::optional<uint64_t> seed = parseWhole(value, UINT64_MAX);
            if (!seed) fail("--seed needs a whole number from 0 to 18446744073709551615, not " + quoted(value));
            options.seed = *seed;
        } else if (is("--time-limit")) {
            std::string value = valueOf("--time-limit");
            std::optional<double> seconds = parseSeconds(value);
            if (!seconds) fail("--time-limit needs seconds above 0 and at most 3600 (such as 2 or 0.5), not " + quoted(value));
            options.timeLimit = *seconds;
        } else if (is("--file")) {
            options.file = valueOf("--file");
        } else {
            fail("unknown option " + quoted(arg) + " (see --help)");
        }
    }
    return options;
}

std::string readAll(const std::string& path) {
    bool standardInput = path == "-";
    std::FILE* in = standardInput ? stdin : std::fopen(path.c_str(), "rb");
    if (!in) {
        int error = errno;
        fail("cannot read " + quoted(path) + ": " + std::strerror(error));
    }
    std::string text;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) text.append(buffer, got);
    bool bad = std::ferror(in) != 0;
    int error = errno;
    if (!standardInput) std::fclose(in);
    if (bad) fail("cannot read " + (standardInput ? std::string("standard input") : quoted(path)) + ": " + std::strerror(error));
    return text;
}

// An order file as the window saves it (a 模数 row, an 订单数量 header), read
// as the window's 打开 reads it, every cell of it: its quantities in cell
// order, its ups, and what was left out, named on standard error. Nothing
// for other text, which is read as a plain list.
struct OrderFileInput {
    std::vector<int32_t> quantities;
    int64_t dropped = 0;
    std::optional<int32_t> ups;
};

std::optional<OrderFileInput> readOrderFile(const std::string& text, const std::string& path) {
    const calc::OrderFile file = calc::parseOrderFile(text, std::numeric_limits<int64_t>::max());
    if (!file.text || !file.headed) return std::nullopt;
    OrderFileInput input;
    for (const calc::PlacedQuantity& q : file.quantities) input.quantities.push_back(q.quantity);
    input.dropped = file.rejected.count;
    input.ups = file.ups;
    const std::string where = path == "-" ? std::string("standard input") : quoted(path);
    for (const calc::OrderFileEntry& entry : file.rejected.named)
        note(where + ", line " + rt::formatInt(entry.line) + ": " + quoted(entry.text) +
             " left out (quantities are whole numbers from 1 to 99999999, the 模数 from 1 to 999)");
    if (file.rejected.count > static_cast<int64_t>(file.rejected.named.size()))
        note(where + ": " + rt::formatInt(file.rejected.count - static_cast<int64_t>(file.rejected.named.size())) +
             " more entries left out");
    return input;
}

// --report: the window's report, or its refusal on standard error.
int printWindowReport(const Options& options, std::span<const int32_t> quantities, int64_t dropped, int32_t ups) {
    if (quantities.size() > static_cast<size_t>(calc::kMaxOrderStyles))
        fail("--report: the window's order grid holds at most " + rt::formatInt(calc::kMaxOrderStyles) +
             " styles; this order has " + rt::formatInt(static_cast<int64_t>(quantities.size())));
    // The window empties such cells without a word; here they are counted.
    if (dropped > 0)
        note(rt::formatInt(dropped) + (dropped == 1 ? " entry" : " entries") +
             " left out (valid quantities are 1 to 99999999)");
    const int32_t trials = options.trials.value_or(kDefaultReportTrials);
    const cli::WindowReport report = cli::windowReport(quantities, ups, trials, options.seed, options.timeLimit);
    if (!report.refusal.empty()) {
        note(cli::terminalText(report.refusal));
        return kNoLayoutStatus;
    }
    if (report.search.timedOut)
        note("time limit reached after " + rt::formatInt(report.search.trialsRun) + " of " + rt::formatInt(trials) +
             " trials; the report shows the best cut found by then");
    writeOut(cli::windowReportText(report));
    return 0;
}

int run(int argc, char** argv) {
    Options options = parseArguments(argc, argv);
    if (options.help) {
        writeOut(kUsage);
        return 0;
    }
    // An order file can give the ups; quantities given as arguments, or typed
    // on a terminal, cannot, and are not waited for.
    const bool readsInput = options.quantityArgs.empty();
    if (!options.ups && (!readsInput || (options.file.value_or("-") == "-" && isatty(STDIN_FILENO))))
        fail(kUpsRequired);
    if (options.file && !options.quantityArgs.empty())
        fail("give the quantities either as arguments or from a file, not both");
    if (options.exact && options.plates && *options.plates != 2)
        fail("--exact is the division over 2 plates; it cannot go with --plates " + rt::formatInt(*options.plates));
    if (options.report && (options.json || options.exact || options.plates))
        fail(std::string("--report prints the window's report; it cannot go with ") +
             (options.json ? "--json" : options.exact ? "--exact" : "--plates"));
    // The cost choice weighs the one amount against the other and picks the
    // plate count itself.
    const bool byCost = options.plateCost || options.sheetCost;
    if (byCost && !(options.plateCost && options.sheetCost))
        fail(options.plateCost ? "--plate-cost needs --sheet-cost too: the choice weighs the one against the other"
                               : "--sheet-cost needs --plate-cost too: the choice weighs the one against the other");
    if (options.maxPlates && !byCost)
        fail("--max-plates bounds the plate counts compared by cost; it needs --plate-cost and --sheet-cost");
    if (byCost && (options.exact || options.plates))
        fail(std::string("--plate-cost and --sheet-cost choose the plate count; they cannot go with ") +
             (options.exact ? "--exact" : "--plates") + " (--max-plates K bounds the counts compared)");
    if (byCost && (options.trials || options.report))
        fail(std::string("--plate-cost and --sheet-cost choose the plate count; they cannot go with ") +
             (options.trials ? "--trials" : "--report"));

    std::vector<int32_t> quantities;
    int64_t dropped = 0;
    if (options.quantityArgs.empty()) {
        std::string path = options.file.value_or("-");
        const std::string text = readAll(path);
        if (std::optional<OrderFileInput> file = readOrderFile(text, path)) {
            quantities = std::move(file->quantities);
            dropped = file->dropped;
            if (!options.ups) options.ups = file->ups;
        } else if (calc::OrderText order = calc::parseOrderText(text); !order.ok) {
            std::string where = path == "-" ? std::string("standard input") : quoted(path);
            fail(where + ", line " + rt::formatInt(order.errorLine) + ": " + quoted(order.errorField) +
                 " is not a whole number");
        } else {
            quantities = std::move(order.quantities);
            dropped = order.dropped;
        }
    } else {
        for (const auto& [index, text] : options.quantityArgs) {
            calc::OrderText order = calc::parseOrderText(text);
            if (!order.ok)
                fail("argument " + rt::formatInt(index) + ": " + quoted(order.errorField) + " is not a whole number");
            quantities.insert(quantities.end(), order.quantities.begin(), order.quantities.end());
            dropped += order.dropped;
        }
    }

    if (!options.ups) fail(kUpsRequired);
    const int32_t ups = *options.ups;
    if (options.report) return printWindowReport(options, quantities, dropped, ups);

    cli::Report report;
    report.quantities = quantities;
    report.dropped = dropped;
    report.ups = ups;
    report.onePlate = calc::layoutOnePlate(quantities, ups);

    // The chosen count is shown as --plates K shows it, after the comparison.
    std::optional<cli::CostRun> costRun;
    if (byCost) {
        costRun = cli::compareByCost(quantities, ups, report.onePlate, {*options.plateCost, *options.sheetCost},
                                     options.maxPlates.value_or(kDefaultMaxPlates), options.timeLimit);
        report.costs = &costRun->choice;
        report.division = costRun->chosenDivision;
    }

    // --exact is the two-plate division; --plates 1 is the plain layout.
    const int32_t plates = options.exact ? 2 : options.plates.value_or(1);
    if (plates >= 2) {
        cli::ShownDivision shown;
        shown.plateCount = plates;
        shown.proven = true;
        shown.refusal = cli::refusalFor(quantities.size(), ups, plates);
        if (shown.refusal == cli::Refusal::None)
            shown = cli::shownDivision(cli::runDivision(quantities, ups, plates, options.timeLimit), plates, quantities);
        report.division = std::move(shown);
    }
    if (options.trials) {
        cli::ShownSearch search;
        search.seed = options.seed;
        calc::CutSearch result;
        if (cli::refusalFor(quantities.size(), ups, 2) == cli::Refusal::None)
            result = cli::runCutSearch(quantities, ups, *options.trials, options.seed, options.timeLimit);
        search.found = result.best.found;
        search.sheets = result.best.sheets;
        search.trialsRun = result.trialsRun;
        search.timedOut = result.timedOut;
        report.search = search;
        // Given alone, the search's best cut is the division shown.
        if (!report.division) {
            cli::ShownDivision cut = cli::shownCut(result.best, quantities, ups);
            const cli::Refusal why = cli::refusalFor(quantities.size(), ups, 2);
            if (!result.best.found && why != cli::Refusal::None) cut.refusal = why;
            report.division = std::move(cut);
        }
    }

    writeOut(options.json ? cli::jsonText(report) : cli::tableText(report));
    return cli::laidOut(report) ? 0 : kNoLayoutStatus;
}

}  // namespace

int main(int argc, char** argv) {
    // An order beyond the memory at hand is refused like any input the
    // program cannot take, rather than ending in an abort.
    try {
        const int status = run(argc, argv);
        closeOut();
        return status;
    } catch (const std::bad_alloc&) {
        note("out of memory: the order is too large to handle");
    } catch (const std::length_error&) {
        note("the order is too large to handle");
    }
    return kBadInputStatus;
}
