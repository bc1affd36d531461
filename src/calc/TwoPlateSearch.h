// Dividing the order over two plates: the best cut of a sequence of styles,
// tried for the sorted order and then for random orderings, with the report
// updated whenever a division with fewer sheets turns up.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "calc/CutSearch.h"
#include "calc/CutTrials.h"

namespace calc {

// A random ordering of the order's quantities, re-seeding before every draw.
std::vector<int32_t> makeTrialSequence(std::span<const int32_t> quantities);

// Trials for the trial-choice selection (0-based); none outside the table.
int32_t trialCountForSelection(int32_t selection);

// The whole search on the order model (CutTrials): the sorted sequence, then
// as many random trials as 组合框1 asks for, showing the trial number before
// each, processing events after each and stopping when the compute button
// reads 开始计算. The orderings are makeTrialSequence's. The seventh choice,
// 最优分版, runs the exact division after the sorted cut instead of trials.
void searchTwoPlates();

// Makes each search take its orderings from a new source of `makeOrderings`
// instead of makeTrialSequence, so that a test can repeat them (such as
// seededOrderings, as the command line draws them); empty restores
// makeTrialSequence.
void setTrialOrderingsForTesting(std::function<TrialOrderings()> makeOrderings);

// Makes the window's trials cut with the straightforward reference (true) or
// the quick cut (false, the default), so that a benchmark can compare them.
void setReferenceCutForTesting(bool reference);

}  // namespace calc
