// The window's report built from the calculation's own report texts, the
// sections chosen as the compute button chooses them.
#include "app/cli/CliWindowReport.h"

#include <optional>

#include "app/cli/CliReport.h"
#include "app/cli/CliSearch.h"
#include "calc/PlateLayout.h"
#include "calc/ReportText.h"

namespace cli {

WindowReport windowReport(std::span<const int32_t> quantities, int32_t ups, int32_t trials, uint64_t seed,
                          double timeLimitSeconds) {
    WindowReport r;
    const auto styles = static_cast<int64_t>(quantities.size());
    r.refusal = calc::computeRefusalText(styles, ups);
    if (!r.refusal.empty()) return r;

    int64_t total = 0;
    for (int32_t q : quantities) total += q;
    r.report = calc::orderLinesText(styles, total) + calc::plateLineText(ups);
    const calc::ReportSections sections = calc::reportSections(styles, ups);
    std::optional<int64_t> onePlateSheets;
    if (sections.onePlate) {
        const calc::PlateLayout layout = calc::layoutOnePlate(quantities, ups);
        r.report += calc::onePlateSectionText(layout);
        onePlateSheets = layout.sheets;
    }
    if (sections.twoPlates) {
        r.search = runCutSearch(quantities, ups, trials, seed, timeLimitSeconds);
        // The window writes the section for the sorted cut and rewrites it for
        // every better trial; what stays is the section of the best cut.
        const calc::Cut& best = r.search.best;
        if (best.found) {
            const int64_t sheets = int64_t{best.sheetsOne} + best.sheetsTwo;
            r.report += calc::twoPlateSectionText(total, ups, sheets);
            // The label shows only beside a one-plate section of this calculation.
            if (onePlateSheets) r.difference = calc::sheetDifferenceText(*onePlateSheets, sheets);
        }
    }
    return r;
}

std::string windowReportText(const WindowReport& report) {
    std::string text = terminalText(report.report) + "\n";
    if (!report.difference.empty()) text += terminalText(report.difference) + "\n";
    return text;
}

}  // namespace cli
