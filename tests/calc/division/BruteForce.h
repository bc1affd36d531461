// Reference answers for the plate division by plain enumeration of every
// division of a small order, and the generated orders they are checked on.
#pragma once

#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace calc::reference {

// The fewest sheets over all divisions of `styles` (every quantity valid, at
// most 20 of them) over `plates` plates: every style on exactly one plate,
// every plate holding between 1 and `ups` styles, each plate's sheets those of
// layoutOnePlate. -1 when no such division exists.
int64_t bruteForceSheets(std::span<const int32_t> styles, int32_t ups, int32_t plates);

// The sheets of the best cut of the stably sorted valid quantities, as the
// window's search tries first; -1 when no cut fits.
int64_t sortedCutSheets(std::span<const int32_t> quantities, int32_t ups);

// Kinds of generated orders.
enum class OrderKind {
    Small,   // 1..20: many ties in the shares
    Wide,    // 1..10^6
    Skewed,  // one to three huge quantities, the rest small
    Equal,   // every style the same quantity
    Huge,    // up to the largest valid quantity
};
const char* kindName(OrderKind kind);

std::vector<int32_t> makeOrder(OrderKind kind, size_t styles, std::mt19937_64& random);

// The slots and the order, for failure messages; an order of more than 200
// styles by its size and first few quantities.
std::string describe(std::span<const int32_t> quantities, int32_t ups);

}  // namespace calc::reference
