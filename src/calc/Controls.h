// The main window and its controls by their identifiers, and the property
// numbers the application reads and writes on them.
#pragma once

#include <cstdint>

#include "runtime/WindowTable.h"

namespace calc {

inline constexpr rt::WindowId kMainWindow = 0x52010001;

namespace control {
inline constexpr rt::ControlId Window = 0x06010000;
inline constexpr rt::ControlId TrialCounter = 0x16010756;   // 标签次数
inline constexpr rt::ControlId TrialChoice = 0x16010741;    // 组合框1
inline constexpr rt::ControlId About = 0x160106D9;          // 编辑框1
inline constexpr rt::ControlId Difference = 0x160106BE;     // 标签A1
inline constexpr rt::ControlId OrderCount = 0x160100FF;     // 标签款数量
inline constexpr rt::ControlId GridD1 = 0x160100CD, GridC1 = 0x160100CC, GridB1 = 0x160100CB;
inline constexpr rt::ControlId GridD2 = 0x160100CA, GridC2 = 0x160100C9, GridB2 = 0x160100C8;
inline constexpr rt::ControlId GridA2 = 0x160100C5, GridA1 = 0x160100C3;
inline constexpr rt::ControlId Report = 0x160100C1;         // 编辑框信息
inline constexpr rt::ControlId ReportFrame = 0x160100C0;    // 外形框1
inline constexpr rt::ControlId UpsCaption = 0x160100BB;     // 标签2
inline constexpr rt::ControlId TwoPlates = 0x160100A8;      // 单选框2
inline constexpr rt::ControlId OnePlate = 0x160100A7;       // 单选框1
inline constexpr rt::ControlId Compute = 0x16010093;        // 按钮计算
inline constexpr rt::ControlId Ups = 0x16010080;            // 编辑框模数
inline constexpr rt::ControlId OrderGrid = 0x16010067;      // 高级表格订单
inline constexpr rt::ControlId Banner = 0x16010084;         // 图片框1
inline constexpr rt::ControlId ExitItem = 0x26010350;       // 退出
}  // namespace control

// Own property numbers (common ones are rt::prop).
namespace property {
inline constexpr rt::PropertyIndex LabelCaption = 8, EditContent = 8, ButtonCaption = 10, PictureBoxPicture = 10,
                                   RadioChecked = 18, ComboSelection = 19, GridRowCount = 17;
}

}  // namespace calc
