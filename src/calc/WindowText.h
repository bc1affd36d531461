// Texts of the main window's controls as the calculation reads them: a text
// property as GBK bytes, its ToInt value, and a double as ToText renders it.
// Each runtime text block is freed right after its one use.
#pragma once

#include <cstdint>
#include <string>

#include "calc/Controls.h"
#include "runtime/Commands.h"
#include "runtime/Heap.h"
#include "runtime/Properties.h"
#include "runtime/Text.h"

namespace calc {

inline std::string textProperty(rt::ControlId control, rt::PropertyIndex index) {
    char* text = rt::ReadProperty(kMainWindow, control, index, -1).pointer<char>();
    std::string result(rt::textView(text));
    rt::FreeBlock(text);
    return result;
}

// ToInt of a text property: its leading number, 0 for empty or non-numeric text.
inline int32_t intOfTextProperty(rt::ControlId control, rt::PropertyIndex index) {
    char* text = rt::ReadProperty(kMainWindow, control, index, -1).pointer<char>();
    int32_t value = rt::cmd::toInt(rt::TaggedArg::ofText(text));
    rt::FreeBlock(text);
    return value;
}

// A double as ToText renders it (13 significant digits, no trailing zeros).
inline std::string doubleText(double x) {
    char* t = rt::cmd::toText(rt::TaggedArg::ofDouble(x));
    std::string s(rt::textView(t));
    rt::FreeBlock(t);
    return s;
}

}  // namespace calc
