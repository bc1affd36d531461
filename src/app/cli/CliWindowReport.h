// --report: the text of the window's report box and sheet-difference label
// after the calculation its compute button runs, with the command line's
// seeded orderings for the two-plate search.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "calc/CutSearch.h"

namespace cli {

// GBK texts, as the window holds them.
struct WindowReport {
    std::string refusal;     // the compute button's message instead of a calculation; empty when it calculates
    std::string report;      // the report box, lines ending in CR LF
    std::string difference;  // the sheet-difference label; empty while the label is hidden
    calc::CutSearch search;  // the two-plate search as it ran (none: no trials, not timed out)
};

// The calculation of the order's valid quantities, in style order, on plates
// of `ups` slots: the order lines, the one-plate section when the styles fit
// on one plate, and the two-plate section of runCutSearch's best cut.
WindowReport windowReport(std::span<const int32_t> quantities, int32_t ups, int32_t trials, uint64_t seed,
                          double timeLimitSeconds);

// The report, then the difference label on a line of its own when it shows;
// UTF-8 lines ending in LF.
std::string windowReportText(const WindowReport& report);

}  // namespace cli
