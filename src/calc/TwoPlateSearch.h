// Dividing the order over two plates: the best cut of a sequence of styles,
// tried for the sorted order and then for random orderings, with the report
// updated whenever a division with fewer sheets turns up.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "calc/CutSearch.h"

namespace calc {

// A random ordering of the order's quantities, re-seeding before every draw.
std::vector<int32_t> makeTrialSequence(std::span<const int32_t> quantities);

// Trials for the trial-choice selection (0-based); none outside the table.
int32_t trialCountForSelection(int32_t selection);

// The whole search on the order model: the sorted sequence, then as many
// random trials as 组合框1 asks for, showing the trial number, processing
// events between trials and stopping when the compute button reads 开始计算.
void searchTwoPlates();

}  // namespace calc
