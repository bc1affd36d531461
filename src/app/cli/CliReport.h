// What impostra-cli prints: the one-plate layout and the divisions over
// several plates, as UTF-8 lines for the terminal or as one JSON object.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calc/CutSearch.h"
#include "calc/PlateDivision.h"
#include "calc/PlateLayout.h"

namespace cli {

// One plate of a division as it is printed.
struct ShownPlate {
    std::vector<size_t> positions;    // 0-based positions among the order's styles, ascending
    std::vector<int32_t> quantities;  // the quantities at those positions
    calc::PlateLayout layout;
};

// Why there is no division; None when there is one.
enum class Refusal { None, EmptyOrder, FewerStylesThanPlates, MoreStylesThanSlots, NotFound };

struct ShownDivision {
    int32_t plateCount = 2;
    Refusal refusal = Refusal::None;
    int64_t sheets = 0;
    std::vector<ShownPlate> plates;
    // The exact division carries a proof state; the cut search has none.
    bool proven = false;
    bool optimal = false;
    int64_t lowerBound = 0;
};

// The random cut search's outcome, for the line that compares it.
struct ShownSearch {
    bool found = false;
    int64_t sheets = 0;
    int32_t trialsRun = 0;
    uint64_t seed = 0;
    bool timedOut = false;
};

struct CostChoice;  // CliCost.h

struct Report {
    std::span<const int32_t> quantities;  // the order's styles (valid quantities only)
    int64_t dropped = 0;                  // entries left out as not valid
    int32_t ups = 0;
    calc::PlateLayout onePlate;
    // The division asked for (--exact, --plates K, or the cut search's when
    // --trials is given alone); absent for the plain one-plate layout.
    std::optional<ShownDivision> division;
    std::optional<ShownSearch> search;  // --trials
    // --plate-cost and --sheet-cost: the plate counts compared, held by the
    // caller; `division` is then the chosen count's when it is 2 or more.
    const CostChoice* costs = nullptr;
};

// Why no division over `plates` plates of `ups` slots can hold `styles`
// styles, or Refusal::None when one can.
Refusal refusalFor(size_t styles, int32_t ups, int64_t plates);

ShownDivision shownDivision(const calc::Division& division, int32_t plates, std::span<const int32_t> quantities);
// The cut search's best cut as a division: its parts as plates, each style
// given a position of the order holding its quantity.
ShownDivision shownCut(const calc::Cut& cut, std::span<const int32_t> quantities, int32_t ups);

std::string tableText(const Report& report);
std::string jsonText(const Report& report);

// Whether the report shows a layout (exit status 0) or not (1); for the
// cost choice, whether any plate count has one.
bool laidOut(const Report& report);

// A text of the window as terminal lines: GBK becomes UTF-8, CR LF becomes LF.
std::string terminalText(std::string_view gbk);

}  // namespace cli
