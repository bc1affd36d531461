// The compute button. Its caption is the run state: a press while idle runs a
// whole calculation (recount, checks, lock, report, one-plate layout, two-plate
// search, unlock); a press while running only puts the caption back to idle,
// which the search takes as the request to stop.
#include "calc/WindowText.h"
#include "calc/ComputeCommand.h"

#include <cstdint>
#include <string>

#include "calc/CalcState.h"
#include "calc/CalcTexts.h"
#include "calc/Controls.h"
#include "calc/OrderInput.h"
#include "calc/PlateLayout.h"
#include "calc/ReportText.h"
#include "calc/ResultTables.h"
#include "calc/TwoPlateSearch.h"
#include "runtime/Commands.h"
#include "runtime/Heap.h"
#include "runtime/Properties.h"
#include "runtime/Text.h"

namespace calc {
namespace {

// Set while onComputeClicked is on the stack. The caption goes back to idle
// as soon as the stop is asked for, while the calculation still has to come
// back from the event processing and unlock; presses in that gap must not
// start a calculation inside the running one.
bool gActive = false;

class ActiveCalculation {
public:
    ActiveCalculation() { gActive = true; }
    ~ActiveCalculation() { gActive = false; }
    ActiveCalculation(const ActiveCalculation&) = delete;
    ActiveCalculation& operator=(const ActiveCalculation&) = delete;
};

void setText(rt::ControlId control, rt::PropertyIndex index, const char* gbk) {
    rt::WriteProperty(kMainWindow, control, index, -1, rt::Words::ofPointer(gbk));
}

void setFlag(rt::ControlId control, rt::PropertyIndex index, bool on) {
    rt::WriteProperty(kMainWindow, control, index, -1, rt::Words::ofInt(on ? 1 : 0));
}

void setVisible(rt::ControlId control, bool visible) { setFlag(control, rt::prop::Visible, visible); }
void setDisabled(rt::ControlId control, bool disabled) { setFlag(control, rt::prop::Disabled, disabled); }

// Hides and clears the previous results and disables every input but the
// compute button, whose caption turns to the running one.
void lockWindow() {
    setVisible(control::OnePlate, false);
    setVisible(control::TwoPlates, false);
    setFlag(control::OnePlate, property::RadioChecked, false);
    setFlag(control::TwoPlates, property::RadioChecked, false);
    setVisible(control::Difference, false);
    setDisabled(control::OnePlate, true);
    setDisabled(control::TwoPlates, true);
    setText(control::Difference, property::LabelCaption, "");
    setDisabled(control::Ups, true);
    setDisabled(control::OrderGrid, true);
    setText(control::Compute, property::ButtonCaption, texts::ComputeRunning);
    setDisabled(control::TrialChoice, true);
    setText(control::Report, property::EditContent, "");
}

void unlockWindow() {
    setDisabled(control::OnePlate, false);
    setText(control::TrialCounter, property::LabelCaption, "");
    setText(control::Compute, property::ButtonCaption, texts::ComputeIdle);
    setDisabled(control::TrialChoice, false);
    setDisabled(control::Ups, false);
    setDisabled(control::OrderGrid, false);
}

void runCalculation() {
    CalcState& s = state();
    clearResultTables();
    // Lets the locked window repaint before the work starts; a stop pressed
    // now is noticed after the search's first trial.
    rt::cmd::delayWithEvents(50);
    s.plateOneList.clear();
    s.plateTwoList.clear();
    s.onePlateReported = false;  // set again by the one-plate section, if this order gets one
    reportOrder();

    const int64_t styles = s.order.styleCount;
    const ReportSections sections = reportSections(styles, s.order.upsPerPlate);
    // The radio boxes show which results the user can open afterwards.
    if (sections.onePlate) setVisible(control::OnePlate, true);
    if (sections.twoPlates) setVisible(control::TwoPlates, true);
    // Each plate takes at most ups styles, so each part of a cut needs more than m.
    s.minStylesBound = minStylesForCut(static_cast<size_t>(styles), s.order.upsPerPlate);

    if (sections.onePlate) reportOnePlate(layoutOnePlate(s.order.quantities, s.order.upsPerPlate));
    s.savedReport = textProperty(control::Report, property::EditContent);

    if (sections.twoPlates) {
        searchTwoPlates();
        showSheetDifference();
        setDisabled(control::TwoPlates, false);
        // The difference shows only beside a one-plate result of this same
        // calculation; without one it stays hidden (and empty).
        if (s.onePlateReported) setVisible(control::Difference, true);
    }
}

}  // namespace

bool calculationActive() { return gActive; }

void onComputeClicked() {
    if (textProperty(control::Compute, property::ButtonCaption) != texts::ComputeIdle) {
        // The stop request: the running search reads the caption after its trial.
        setText(control::Compute, property::ButtonCaption, texts::ComputeIdle);
        return;
    }
    // A press that reaches the idle caption before the stopped calculation
    // has returned (for example one queued behind the stop press).
    if (gActive) return;
    ActiveCalculation active;

    recountOrder();
    state().order.upsPerPlate = intOfTextProperty(control::Ups, property::EditContent);
    if (!checkOrderForCompute()) return;

    lockWindow();
    runCalculation();
    unlockWindow();
}

}  // namespace calc
