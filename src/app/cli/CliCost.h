// Choosing the plate count by cost: each plate made against each sheet
// printed. Amounts are kept as whole ten-thousandths, so that sums and
// comparisons are exact and the printed figures carry no binary noise.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/CliReport.h"
#include "calc/PlateLayout.h"

namespace cli {

// An amount of money in ten-thousandths: 350 is 3'500'000, 0.12 is 1'200.
using Amount = int64_t;
// A cost: plates x plate cost + sheets x sheet cost. 128 bits, since the
// sheets of a large order times a large sheet cost pass 2^63.
using CostSum = __int128;

inline constexpr int kAmountDecimals = 4;
inline constexpr Amount kAmountScale = 10'000;
inline constexpr Amount kMaxWholeAmount = 999'999'999;

// A non-negative decimal amount such as "350", "0.12" or ".5": digits with at
// most one point, no decimal beyond the fourth other than 0, at most
// 999999999.9999. Signs, exponents and blanks are refused.
std::optional<Amount> parseAmount(std::string_view text);

// A non-negative amount in plain decimals, trailing zeros trimmed: "350",
// "0.12", "1100.4". Also a valid JSON number.
std::string amountText(CostSum amount);

struct CostRates {
    Amount plate = 0;  // making one plate
    Amount sheet = 0;  // paper and press time for one sheet
};

// One plate count as compared.
struct PlateCountCost {
    int32_t plates = 1;
    Refusal refusal = Refusal::None;  // None: the count has a division
    int64_t sheets = 0;               // of the best division found
    bool proven = false;              // no division over this count has fewer sheets
    int64_t lowerBound = 0;           // no division has fewer sheets; equals sheets when proven
    CostSum cost = 0;                 // plates x plate cost + sheets x sheet cost
    CostSum lowerBoundCost = 0;       // the same at the lower bound
    // Not proven, and at its lower bound it would be chosen instead.
    bool mayBeatChosen = false;

    bool possible() const { return refusal == Refusal::None; }
};

struct CostChoice {
    CostRates rates;
    int32_t maxPlatesAsked = 0;
    std::vector<PlateCountCost> counts;  // 1, 2, ... plates, in that order
    std::optional<size_t> chosen;        // index in counts of the cheapest; none when no count has a division
};

// The comparison and the chosen count's division (absent when one plate is
// chosen or none can be; the one-plate layout is the caller's already).
struct CostRun {
    CostChoice choice;
    std::optional<ShownDivision> chosenDivision;
};

// Fills the costs of the counts with a division, chooses the cheapest (ties
// go to fewer plates) and marks the unproven counts whose lower bound could
// take the choice from it.
void chooseCheapest(CostChoice& choice);

// Lays the order out over 1, 2, ... `maxPlates` plates of `ups` slots, no
// more plates than it has styles: one plate is `onePlate`, each count from 2
// up one exact search within `timeLimitSeconds`. Then chooses the cheapest.
CostRun compareByCost(std::span<const int32_t> quantities, int32_t ups, const calc::PlateLayout& onePlate,
                      CostRates rates, int32_t maxPlates, double timeLimitSeconds);

}  // namespace cli
