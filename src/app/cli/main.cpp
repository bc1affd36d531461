// impostra-cli: lays an order out on one printing plate and prints the result
// with the words of the program's result tables, or as JSON.
//
// Exit status: 0 when the order was laid out; 1 when there is no layout (no
// valid quantity, or more styles than slots); 2 for a bad command line or
// unreadable input.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/CliTexts.h"
#include "calc/CalcTexts.h"
#include "calc/OrderText.h"
#include "calc/PlateLayout.h"
#include "platform/Gbk.h"
#include "runtime/Numbers.h"

namespace {

// The ups box of the program takes at most three digits.
constexpr int32_t kMaxUps = 999;

constexpr char kUsage[] =
    "Usage: impostra-cli --ups N [--json] [QUANTITY...]\n"
    "       impostra-cli --ups N [--json] --file PATH\n"
    "       impostra-cli --ups N [--json] [-]          (quantities from standard input)\n"
    "\n"
    "Lays an order out on one printing plate of N slots (1..999) and prints the\n"
    "sheets to print, the tags printed and the surplus, then the slots of each style.\n"
    "\n"
    "Quantities are whole numbers, one per line or separated by commas, semicolons,\n"
    "tabs or blanks. Those outside 1..99999999 are dropped and counted.\n"
    "\n"
    "Options:\n"
    "  --ups N       slots per plate (required)\n"
    "  --file PATH   read the quantities from PATH ('-': standard input)\n"
    "  --json        print one JSON object instead of the table\n"
    "  --help        print this text\n"
    "  --            the arguments after it are quantities\n"
    "\n"
    "Exit status: 0 laid out; 1 no layout (no valid quantity, or more styles than\n"
    "slots); 2 bad command line or unreadable input.\n";

struct Options {
    std::optional<int32_t> ups;
    bool json = false;
    bool help = false;
    std::optional<std::string> file;  // "-" is standard input
    std::vector<std::pair<int, std::string>> quantityArgs;  // argv index, text
};

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "impostra-cli: %s\n", message.c_str());
    std::exit(2);
}

std::string quoted(std::string_view text) { return "'" + calc::printableField(text) + "'"; }

std::optional<int32_t> parseUps(std::string_view text) {
    size_t i = !text.empty() && text[0] == '+' ? 1 : 0;
    if (i == text.size() || text.size() - i > 9) return std::nullopt;
    int32_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    if (value < 1 || value > kMaxUps) return std::nullopt;
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
        } else if (is("--ups")) {
            std::string value = valueOf("--ups");
            options.ups = parseUps(value);
            if (!options.ups) fail("--ups needs a whole number from 1 to 999, not " + quoted(value));
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

std::string utf8(std::string_view gbk) { return platform::gbkToUtf8(gbk); }

// Terminal columns of a UTF-8 text: Chinese characters take two.
size_t displayWidth(std::string_view text) {
    size_t width = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) == 0x80) continue;
        width += c >= 0xE0 ? 2 : 1;
    }
    return width;
}

std::string padLeft(const std::string& text, size_t width) {
    size_t w = displayWidth(text);
    return w >= width ? text : std::string(width - w, ' ') + text;
}

std::string ratioText(double ratio) { return rt::formatDouble(ratio) + "%"; }

void printTable(const calc::PlateLayout& layout, std::span<const int32_t> quantities, int64_t dropped, int32_t ups) {
    namespace ct = calc::texts;
    std::string out;
    auto summaryRow = [&](const char* label, const std::string& value) { out += utf8(label) + "  " + value + "\n"; };
    auto droppedLine = [&] { out += utf8(cli::texts::DroppedPrefix) + rt::formatInt(dropped) + utf8(cli::texts::DroppedSuffix) + "\n"; };
    const int64_t styles = static_cast<int64_t>(quantities.size());

    if (styles == 0) {
        out += utf8(cli::texts::EmptyOrder) + "\n";
        droppedLine();
    } else if (!layout.ok) {
        summaryRow(ct::SummaryTotal, rt::formatInt(layout.totalQuantity));
        summaryRow(ct::SummaryStyleCount, rt::formatInt(styles));
        out += utf8(cli::texts::NotFitPrefix) + rt::formatInt(styles) + utf8(cli::texts::NotFitMiddle) +
               rt::formatInt(ups) + utf8(cli::texts::NotFitSuffix) + "\n";
        droppedLine();
    } else {
        summaryRow(ct::SummarySheets, rt::formatInt(layout.sheets));
        summaryRow(ct::SummaryTotal, rt::formatInt(layout.totalQuantity));
        summaryRow(ct::SummaryPrinted, rt::formatInt(layout.printedQuantity));
        summaryRow(ct::SummaryWaste, rt::formatInt(layout.wasteQuantity));
        summaryRow(ct::SummaryRatio, ratioText(layout.wasteRatio));
        summaryRow(ct::SummaryStyleCount, rt::formatInt(styles));
        summaryRow(ct::SummaryRemaining, rt::formatInt(layout.remainingSlots));
        out += "\n";

        // Right-aligned columns, each as wide as its widest entry.
        std::vector<std::vector<std::string>> rows;
        rows.push_back({utf8(ct::StyleHeadNumber), utf8(ct::StyleHeadQuantity), utf8(ct::StyleHeadSlots),
                        utf8(cli::texts::StyleHeadWaste)});
        for (size_t i = 0; i < quantities.size(); ++i)
            rows.push_back({rt::formatInt(static_cast<int64_t>(i) + 1), rt::formatInt(quantities[i]),
                            rt::formatInt(layout.slotsPerStyle[i]), rt::formatInt(layout.wastePerStyle[i])});
        std::vector<size_t> widths(rows[0].size(), 0);
        for (const auto& row : rows)
            for (size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], displayWidth(row[c]));
        for (const auto& row : rows) {
            std::string line;
            for (size_t c = 0; c < row.size(); ++c) line += (c ? "  " : "") + padLeft(row[c], widths[c]);
            out += line + "\n";
        }
        out += "\n";
        droppedLine();
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
}

void printJson(const calc::PlateLayout& layout, std::span<const int32_t> quantities, int64_t dropped, bool ok) {
    std::string out = "{\n";
    auto field = [&](const char* name, const std::string& value) { out += "  \"" + std::string(name) + "\": " + value + ",\n"; };
    field("ok", ok ? "true" : "false");
    field("sheets", rt::formatInt(layout.sheets));
    field("totalQuantity", rt::formatInt(layout.totalQuantity));
    field("printedQuantity", rt::formatInt(layout.printedQuantity));
    field("wasteQuantity", rt::formatInt(layout.wasteQuantity));
    // An empty order has no ratio (0 / 0); JSON has no NaN.
    field("wasteRatio", std::isfinite(layout.wasteRatio) ? rt::formatDouble(layout.wasteRatio) : "null");
    field("styleCount", rt::formatInt(static_cast<int64_t>(quantities.size())));
    field("remainingSlots", rt::formatInt(layout.remainingSlots));
    field("dropped", rt::formatInt(dropped));
    out += "  \"styles\": [";
    for (size_t i = 0; i < layout.slotsPerStyle.size(); ++i) {
        out += i ? ",\n    " : "\n    ";
        out += "{\"quantity\": " + rt::formatInt(quantities[i]) + ", \"slots\": " + rt::formatInt(layout.slotsPerStyle[i]) +
               ", \"waste\": " + rt::formatInt(layout.wastePerStyle[i]) + "}";
    }
    out += layout.slotsPerStyle.empty() ? "]\n}\n" : "\n  ]\n}\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
}

}  // namespace

int main(int argc, char** argv) {
    Options options = parseArguments(argc, argv);
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!options.ups) fail("--ups N is required (slots per plate, 1 to 999; see --help)");
    if (options.file && !options.quantityArgs.empty())
        fail("give the quantities either as arguments or from a file, not both");

    std::vector<int32_t> quantities;
    int64_t dropped = 0;
    if (options.quantityArgs.empty()) {
        std::string path = options.file.value_or("-");
        calc::OrderText order = calc::parseOrderText(readAll(path));
        if (!order.ok) {
            std::string where = path == "-" ? std::string("standard input") : quoted(path);
            fail(where + ", line " + rt::formatInt(order.errorLine) + ": " + quoted(order.errorField) +
                 " is not a whole number");
        }
        quantities = std::move(order.quantities);
        dropped = order.dropped;
    } else {
        for (const auto& [index, text] : options.quantityArgs) {
            calc::OrderText order = calc::parseOrderText(text);
            if (!order.ok)
                fail("argument " + rt::formatInt(index) + ": " + quoted(order.errorField) + " is not a whole number");
            quantities.insert(quantities.end(), order.quantities.begin(), order.quantities.end());
            dropped += order.dropped;
        }
    }

    calc::PlateLayout layout = calc::layoutOnePlate(quantities, *options.ups);
    bool laidOut = layout.ok && !quantities.empty();
    if (options.json) printJson(layout, quantities, dropped, laidOut);
    else printTable(layout, quantities, dropped, *options.ups);
    return laidOut ? 0 : 1;
}
