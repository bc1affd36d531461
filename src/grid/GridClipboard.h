// The grid's clipboard texts: cutting a pasted text into lines and fields.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace grid {

// Lines at each line feed (a carriage return right before it is dropped),
// fields at every tab or comma. An empty field between two separators is a
// field; a separator at the very end of a line adds none, and a line feed at
// the very end of the text adds no line. Bytes are kept as they are (GBK).
//
// A tabular text (one holding a tab or a line feed, as spreadsheets copy)
// keeps its formatted whole numbers together: a field between tabs (or the
// line's ends) that is a grouped whole number is one field, without its commas
// ("1,000\n2,500" gives 1000 and 2500). Text on a single line without tabs is
// cut at every comma.
std::vector<std::vector<std::string>> splitPasteText(std::string_view gbk);

// A whole number written with comma groups of three digits, as a formatted
// spreadsheet cell copies it: an optional sign, one to three digits without a
// leading zero, then one or more groups of a comma and three digits; blanks
// (spaces) may stand around it. "1,000", "-12,345,678", " 1,000 " are; "1,00",
// "1,0000", ",000", "01,000", "1,000.5" and "1000" are not.
bool isGroupedWholeNumber(std::string_view field);

}  // namespace grid
