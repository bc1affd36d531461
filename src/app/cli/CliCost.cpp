// The plate count chosen by cost: the amounts, the comparison and the searches
// behind it.
#include "app/cli/CliCost.h"

#include <algorithm>

#include "app/cli/CliSearch.h"

namespace cli {

std::optional<Amount> parseAmount(std::string_view text) {
    Amount whole = 0, fraction = 0;
    int decimals = 0;
    bool point = false;
    size_t digits = 0;
    for (char c : text) {
        if (c == '.') {
            if (point) return std::nullopt;
            point = true;
            continue;
        }
        if (c < '0' || c > '9') return std::nullopt;
        ++digits;
        const int digit = c - '0';
        if (!point) {
            // Checked digit by digit, so that no run of digits can wrap.
            whole = whole * 10 + digit;
            if (whole > kMaxWholeAmount) return std::nullopt;
        } else if (decimals < kAmountDecimals) {
            fraction = fraction * 10 + digit;
            ++decimals;
        } else if (digit != 0) {
            return std::nullopt;  // finer than a ten-thousandth: refused rather than rounded
        }
    }
    if (digits == 0) return std::nullopt;
    for (; decimals < kAmountDecimals; ++decimals) fraction *= 10;
    return whole * kAmountScale + fraction;
}

std::string amountText(CostSum amount) {
    if (amount < 0) amount = 0;  // costs are sums of non-negative amounts
    CostSum whole = amount / kAmountScale;
    Amount fraction = static_cast<Amount>(amount % kAmountScale);
    std::string text;
    do {
        text.insert(text.begin(), static_cast<char>('0' + static_cast<int>(whole % 10)));
        whole /= 10;
    } while (whole > 0);
    if (fraction == 0) return text;
    std::string decimals(kAmountDecimals, '0');
    for (size_t i = decimals.size(); i-- > 0; fraction /= 10) decimals[i] = static_cast<char>('0' + fraction % 10);
    decimals.erase(decimals.find_last_not_of('0') + 1);
    return text + "." + decimals;
}

void chooseCheapest(CostChoice& choice) {
    choice.chosen.reset();
    for (size_t i = 0; i < choice.counts.size(); ++i) {
        PlateCountCost& c = choice.counts[i];
        c.mayBeatChosen = false;
        if (!c.possible()) continue;
        c.cost = CostSum{c.plates} * choice.rates.plate + CostSum{c.sheets} * choice.rates.sheet;
        c.lowerBoundCost = CostSum{c.plates} * choice.rates.plate + CostSum{c.lowerBound} * choice.rates.sheet;
        // Strictly cheaper only: on a tie the count seen first, the fewer plates, stays.
        if (!choice.chosen || c.cost < choice.counts[*choice.chosen].cost) choice.chosen = i;
    }
    if (!choice.chosen) return;
    const PlateCountCost& best = choice.counts[*choice.chosen];
    for (size_t i = 0; i < choice.counts.size(); ++i) {
        PlateCountCost& c = choice.counts[i];
        if (i == *choice.chosen || !c.possible() || c.proven) continue;
        // Its true cost lies between its lower bound's and its own; it takes
        // the choice if that is below the chosen cost, or equal with fewer plates.
        c.mayBeatChosen = c.lowerBoundCost < best.cost || (c.lowerBoundCost == best.cost && c.plates < best.plates);
    }
}

CostRun compareByCost(std::span<const int32_t> quantities, int32_t ups, const calc::PlateLayout& onePlate,
                      CostRates rates, int32_t maxPlates, double timeLimitSeconds) {
    CostRun run;
    CostChoice& choice = run.choice;
    choice.rates = rates;
    choice.maxPlatesAsked = maxPlates;
    // Every plate holds a style, so no count above the styles has a division;
    // an empty order still shows its one plate, refused.
    const size_t styles = quantities.size();
    const auto last = static_cast<int32_t>(std::min<size_t>(static_cast<size_t>(std::max(maxPlates, 1)),
                                                            std::max<size_t>(styles, 1)));
    std::vector<int32_t> searched;
    for (int32_t plates = 1; plates <= last; ++plates) {
        PlateCountCost c;
        c.plates = plates;
        c.refusal = refusalFor(styles, ups, plates);
        if (c.possible() && plates == 1) {
            c.sheets = onePlate.sheets;
            c.proven = true;  // the one-plate layout is exact
            c.lowerBound = c.sheets;
        } else if (c.possible()) {
            searched.push_back(plates);
        }
        choice.counts.push_back(c);
    }

    const std::vector<calc::Division> divisions = runDivisions(quantities, ups, searched, timeLimitSeconds);
    for (size_t i = 0; i < searched.size(); ++i) {
        PlateCountCost& c = choice.counts[static_cast<size_t>(searched[i]) - 1];
        const calc::Division& d = divisions[i];
        if (!d.ok) {
            c.refusal = Refusal::NotFound;
            continue;
        }
        c.sheets = d.sheets;
        c.proven = d.optimal;
        c.lowerBound = d.lowerBound;
    }

    chooseCheapest(choice);
    if (choice.chosen && choice.counts[*choice.chosen].plates >= 2) {
        const int32_t plates = choice.counts[*choice.chosen].plates;
        const auto at = std::find(searched.begin(), searched.end(), plates) - searched.begin();
        run.chosenDivision = shownDivision(divisions[static_cast<size_t>(at)], plates, quantities);
    }
    return run;
}

}  // namespace cli
