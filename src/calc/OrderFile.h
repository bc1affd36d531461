// Order files: the order grid's quantities by cell and the ups per plate as
// UTF-8 text a spreadsheet opens with the quantities in one column, and the
// reading of such files and of quantity lists exported by spreadsheets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calc/ReportText.h"

namespace calc {

// The ups box takes at most three digits.
inline constexpr int32_t kMaxUpsPerPlate = 999;
// How many entries of each kind a reading names by line; the rest are counted.
inline constexpr size_t kNamedEntries = 5;

// A quantity and the cell it goes to: positions count the order grid's
// quantity cells in style order (column 1 rows 1 to 50, then column 2, then 3).
struct PlacedQuantity {
    int64_t position = 0;
    int32_t quantity = 0;
    friend bool operator==(const PlacedQuantity&, const PlacedQuantity&) = default;
};

// An entry that was not loaded: the 1-based line its row starts on and its
// text (UTF-8, blanks around it removed).
struct OrderFileEntry {
    int64_t line = 0;
    std::string text;
};

// Entries of one kind: how many there are and the first kNamedEntries of
// them in cell order (an ups entry first).
struct OrderFileEntries {
    int64_t count = 0;
    std::vector<OrderFileEntry> named;
};

struct [[nodiscard]] OrderFile {
    // False for bytes that are no text (a NUL or another control character
    // than tab, line feed, form feed and carriage return); nothing else is set then.
    bool text = true;
    // The valid quantities below the cell limit, by position, ascending.
    std::vector<PlacedQuantity> quantities;
    // From the 模数 row, when it gives a whole number from 1 to kMaxUpsPerPlate.
    std::optional<int32_t> ups;
    // Entries that are not quantities (text, 0, negative, fractions, beyond
    // 99,999,999) and a 模数 row that gives no ups; their cells stay empty.
    OrderFileEntries rejected;
    // Valid quantities whose position lies at or past the cell limit.
    OrderFileEntries beyond;
    // The file names its parts: it has a 模数 row or an 订单数量 header.
    bool headed = false;
    // The file says no more than formatOrderFile would write for it: a 模数
    // row, one 订单数量 column in the first column, nothing else on any row,
    // nothing rejected or beyond. Writing it back loses nothing.
    bool plain = false;
};

// The order file of the quantity cells (positions 0, 1, ...; a value outside
// 1..99,999,999 is an empty cell) and the ups: a UTF-8 byte order mark, the
// row "模数,<ups>", the header row "订单数量", then one row per cell up to the
// last quantity, an empty row for an empty cell. Rows end with CR LF.
std::string formatOrderFile(std::span<const int32_t> cells, int32_t ups);

// Reads an order file, a plain list of quantities, or comma-, semicolon- or
// tab-separated text from a spreadsheet, in UTF-8 (with or without a byte
// order mark), UTF-16 with a byte order mark, or GBK (the bytes are read as
// GBK when they are not valid UTF-8).
//
// Rows end at CR LF, LF or CR. The separator is that of the first line that
// holds a tab, semicolon or comma outside quotes (a line that is as a whole a
// number with thousands separators, such as 1,000, aside): a tab if it holds
// one, else a semicolon if it holds one, else the comma. Without such a line
// every row is one field. A field in double quotes may hold separators and
// line ends ("" is a quote); blanks around a field do not count. With the
// comma as separator a row that is as a whole such a grouped number is one field.
//
// A row whose first field is 模数 (or 单版模数) gives the ups from its second
// field (the first such row; later ones are rejected) and takes no cell.
// Of the other rows, the first that holds a field 订单数量 is the header: each
// of its columns headed 订单数量 is a quantity column, and the rows after it
// are the data rows. Without such a row before the first row holding a whole
// number, the data rows start at that row and the quantity column is its
// leftmost field that is a whole number; the rows above it are titles. The
// quantity columns are read left to right, each top to bottom through the
// data rows up to the last one with an entry in any quantity column, and each
// data row is one cell: a row without an entry leaves its cell empty.
//
// A whole number is an optional sign, digits (plain, or grouped by threes
// with commas), and optionally a point followed by zeros only ("1000.00").
// An entry is a quantity when it is a whole number from 1 to 99,999,999.
// Quantities at positions from `cellLimit` on are counted in `beyond`.
OrderFile parseOrderFile(std::string_view bytes, int64_t cellLimit = kMaxOrderStyles);

}  // namespace calc
