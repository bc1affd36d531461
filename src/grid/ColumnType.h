// Column types of the grid and the record a typed column carries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace grid {

// Stored type codes; the application passes the code less 100 (1 to 8).
namespace coltype {
inline constexpr int32_t Text = 101, Number = 102, Date = 103, ComboBox = 104, CheckBox = 105, Picture = 106,
                         Currency = 107, DropList = 108;
inline constexpr int32_t FirstPassed = 1, LastPassed = 8, Offset = 100;

constexpr bool isNumeric(int32_t type) { return type == Number || type == Currency; }
// Types whose record carries a copy of the grid's choice list.
constexpr bool hasList(int32_t type) { return type == Text || type == ComboBox || type == DropList; }
}  // namespace coltype

// How a picture column draws its pictures.
namespace picturemode {
inline constexpr int32_t TopLeft = 201, Stretched = 202, Tiled = 203, Centred = 204, Fitted = 205;
// What the mode of a column that is not a picture column reads as.
inline constexpr int32_t OfOtherColumns = Tiled;
}  // namespace picturemode

// The date format of date columns (strftime form).
inline constexpr char kDateFormat[] = "%Y-%m-%d";

// Digits after the point that the numeric rendering takes.
inline constexpr int32_t kMaxDecimals = 9;

struct ColumnTypeRecord {
    int32_t column = 0;
    int32_t type = coltype::Text;
    std::vector<std::string> list;  // ComboBox and DropList choices (Text records carry a copy too)
    std::string prefix;             // Currency: the currency sign, GBK
    std::string dateFormat;         // Date: kDateFormat
    int32_t pictureMode = picturemode::OfOtherColumns;
    int32_t decimals = 0;           // Number and Currency
};

}  // namespace grid
