// The two-plate search: every admissible cut of the sorted order, then of as
// many random orderings as the trial choice asks for, keeping the division
// with the fewest sheets and the report in step with it.
#include "calc/WindowText.h"
#include "calc/TwoPlateSearch.h"

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "calc/CalcState.h"
#include "calc/CalcTexts.h"
#include "calc/Controls.h"
#include "calc/CutTrials.h"
#include "calc/PlateDivision.h"
#include "calc/ResultTables.h"
#include "runtime/Commands.h"
#include "runtime/Errors.h"
#include "runtime/Heap.h"
#include "runtime/Numbers.h"
#include "runtime/Properties.h"
#include "runtime/Text.h"

namespace calc {
namespace {

constexpr std::array<int32_t, 6> kTrialCounts = {10, 50, 100, 500, 1000, 10000};

// The related values of the run-time error for a trial choice outside the
// table: this routine's identifier, then the 1-based choice that was refused.
constexpr int32_t kSearchRoutineId = 0x04000011;

// The seventh trial choice, 最优分版: the division with the fewest sheets,
// searched for at most this long.
constexpr int32_t kProvenBestSelection = 6;
constexpr double kProvenBestSeconds = 60;

// Set by a test to give the trials orderings it can repeat.
std::function<TrialOrderings()> gMakeTestOrderings;
bool gReferenceCut = false;

// The best division so far into the plates' lists and the report.
void showBestCut(const Cut& best) {
    CalcState& s = state();
    s.plateOneList = best.first;
    s.plateTwoList = best.second;
    reportTwoPlates(best.sheetsOne, best.sheetsTwo);
}

// A division into the plates' lists and the report: plate 1 is the plate of
// fewer sheets (on a tie, the one holding the earlier style), each list in
// style order.
void showDivision(const Division& division) {
    const PlateGroup* one = &division.plates[0];
    const PlateGroup* two = &division.plates[1];
    if (two->layout.sheets < one->layout.sheets) std::swap(one, two);
    CalcState& s = state();
    s.plateOneList = one->quantities;
    s.plateTwoList = two->quantities;
    reportTwoPlates(one->layout.sheets, two->layout.sheets);
}

// Replaces the random trials: the exact division, shown each time it finds
// fewer sheets than the report shows, with the seconds it has run beside the
// trial choice. It processes events as it reports its progress (ten times a
// second once it has run for a tenth of one) and stops, keeping its best
// division, when the compute button has been pressed; the section then ends
// with whether the division is proven best.
void searchProvenBest() {
    CalcState& s = state();
    DivisionOptions options;
    options.timeLimitSeconds = kProvenBestSeconds;
    options.progress = [](const DivisionProgress& progress) {
        const std::string seconds = doubleText(rt::roundTo(progress.elapsedSeconds, 1)) + texts::SecondsTail;
        rt::WriteProperty(kMainWindow, control::TrialCounter, property::LabelCaption, -1,
                          rt::Words::ofPointer(seconds.c_str()));
        rt::cmd::processEvents();
    };
    options.stopRequested = [] { return textProperty(control::Compute, property::ButtonCaption) == texts::ComputeIdle; };
    // Stopped before it began (during the wait before the search): only the
    // first division, with the bound it can prove at once.
    if (options.stopRequested()) options.timeLimitSeconds = 0;
    options.improved = [&s](const Division& better) {
        if (better.sheets < s.twoPlateSheets) showDivision(better);
    };
    const Division division = divideTwoPlates(s.order.quantities, s.order.upsPerPlate, options);
    if (!division.ok) return;  // the order's checks rule this out
    if (division.sheets < s.twoPlateSheets) showDivision(division);
    reportDivisionProof(division.optimal, division.lowerBound);
}

}  // namespace

std::vector<int32_t> makeTrialSequence(std::span<const int32_t> quantities) {
    std::vector<int32_t> left(quantities.begin(), quantities.end());
    std::vector<int32_t> result;
    result.reserve(left.size());
    while (!left.empty()) {
        // Re-seeded from the clock and the seed counter before every draw, so
        // that each draw of a quick trial still gets a seed of its own.
        rt::cmd::setRandomSeed();
        const int32_t r = rt::cmd::randomInt(1, static_cast<int32_t>(left.size()));
        result.push_back(left[static_cast<size_t>(r - 1)]);
        left.erase(left.begin() + (r - 1));
    }
    return result;
}

int32_t trialCountForSelection(int32_t selection) {
    if (selection < 0 || selection >= static_cast<int32_t>(kTrialCounts.size())) return 0;
    return kTrialCounts[static_cast<size_t>(selection)];
}

void setTrialOrderingsForTesting(std::function<TrialOrderings()> makeOrderings) {
    gMakeTestOrderings = std::move(makeOrderings);
}

void setReferenceCutForTesting(bool reference) { gReferenceCut = reference; }

void searchTwoPlates() {
    CalcState& s = state();
    const int32_t ups = s.order.upsPerPlate;
    const int32_t m = s.minStylesBound;

    // The sorted order first, so that a sensible division is reported before
    // the first random trial.
    CutTrials search(s.order.quantities, ups, m);
    if (gReferenceCut) search.useReferenceCut();
    if (!search.best().found) return;  // the order's checks rule this out
    showBestCut(search.best());

    const int32_t selection = rt::ReadProperty(kMainWindow, control::TrialChoice, property::ComboSelection, -1).asInt();
    if (selection == kProvenBestSelection) {
        searchProvenBest();
        return;
    }
    const int32_t trials = trialCountForSelection(selection);
    if (trials == 0) rt::RaiseErrorCode(static_cast<int32_t>(rt::ErrorCode::ChoiceIndexOutOfRange), kSearchRoutineId,
                                        selection + 1);

    TrialHooks hooks;
    hooks.beforeTrial = [](int32_t t) {
        const std::string number = rt::formatInt(t);
        rt::WriteProperty(kMainWindow, control::TrialCounter, property::LabelCaption, -1,
                          rt::Words::ofPointer(number.c_str()));
        return true;
    };
    hooks.improved = showBestCut;
    // One whole trial between two looks at the event queue.
    hooks.afterTrial = [](int32_t) {
        rt::cmd::processEvents();
        // A press of the compute button during the trial has put its caption
        // back to the idle one: that is the request to stop.
        return textProperty(control::Compute, property::ButtonCaption) != texts::ComputeIdle;
    };
    const TrialOrderings orderings =
        gMakeTestOrderings ? gMakeTestOrderings()
                           : TrialOrderings([&s](std::vector<int32_t>& sequence) {
                                 sequence = makeTrialSequence(s.order.quantities);
                             });
    search.run(trials, orderings, hooks);
}

}  // namespace calc
