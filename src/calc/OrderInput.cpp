// Reading the order grid into the order model, the grid's key and editor
// handlers, and the refusals before a calculation.
#include "calc/WindowText.h"
#include "calc/OrderInput.h"

#include <algorithm>
#include <string>

#include "calc/CalcState.h"
#include "calc/CalcTexts.h"
#include "calc/Controls.h"
#include "calc/PlateLayout.h"
#include "calc/ReportText.h"
#include "grid/GridMethods.h"
#include "runtime/Commands.h"
#include "runtime/Heap.h"
#include "runtime/Numbers.h"
#include "runtime/Properties.h"
#include "runtime/Text.h"
#include "runtime/Value.h"

namespace calc {
namespace {

constexpr int32_t kFirstQuantityColumn = 1, kLastQuantityColumn = 3;
constexpr int32_t kTextColumnType = 1, kNumberColumnType = 2;

constexpr int32_t kDeleteKey = 46, kKeyV = 'V', kKeyX = 'X';
constexpr int32_t kCtrlOnly = 1;  // the key state with Ctrl alone held

// The message box flags of a plain OK box without an icon.
constexpr int32_t kPlainOkBox = 0;

void setQuantityColumnsType(int32_t type) {
    for (int32_t c = kFirstQuantityColumn; c <= kLastQuantityColumn; ++c)
        grid::call::setColumnType(kMainWindow, control::OrderGrid, c, type);
}

int32_t orderRowCount() {
    return rt::ReadProperty(kMainWindow, control::OrderGrid, property::GridRowCount, -1).asInt();
}

// The cell's value as ToInt converts it: the leading number of its text,
// except that a text's digits do not wrap past 32 bits. 4300000000 wrapped
// to 5032704, a valid quantity that was counted; it is out of range and wiped.
int64_t cellInteger(int32_t row, int32_t column) {
    rt::TaggedArg cell = grid::call::getCellData(kMainWindow, control::OrderGrid, row, column);
    int64_t q = cell.tag == rt::tag::Text ? rt::parseIntUnwrapped(rt::textView(cell.pointer<const char>()))
                                          : rt::cmd::toInt(cell);
    if (cell.tag == rt::tag::Text || cell.tag == rt::tag::ByteSet) rt::FreeBlock(cell.pointer<void>());
    return q;
}

void showPrompt(const std::string& message) {
    rt::cmd::showMessage(rt::TaggedArg::ofText(message.c_str()), kPlainOkBox, texts::PromptCaption);
}

}  // namespace

void recountOrder() {
    OrderModel& order = state().order;
    order.quantities.clear();
    int64_t total = 0;

    // As text columns the cells are read and rewritten as they stand, without
    // the number column's own reformatting.
    setQuantityColumnsType(kTextColumnType);

    for (int32_t c = kFirstQuantityColumn; c <= kLastQuantityColumn; ++c) {
        const int32_t rows = orderRowCount();
        for (int32_t r = 1; r < rows; ++r) {
            const int64_t q = cellInteger(r, c);
            if (isValidQuantity(q)) {
                grid::call::setCellText(kMainWindow, control::OrderGrid, r, c, rt::formatInt(q));
                order.quantities.push_back(static_cast<int32_t>(q));
                total += q;
            } else {
                grid::call::setCellText(kMainWindow, control::OrderGrid, r, c, "");
            }
        }
    }

    order.styleCount = static_cast<int32_t>(order.quantities.size());
    order.totalQuantity = total;

    const std::string caption = std::string(texts::CountHead) + rt::formatInt(order.styleCount) +
                                texts::CountStyles + rt::formatInt(order.totalQuantity) + texts::CountTail;
    rt::WriteProperty(kMainWindow, control::OrderCount, property::LabelCaption, -1,
                      rt::Words::ofPointer(caption.c_str()));
}

int32_t orderCellCount() {
    return (kLastQuantityColumn - kFirstQuantityColumn + 1) * std::max(orderRowCount() - 1, 0);
}

std::vector<int32_t> orderCells() {
    std::vector<int32_t> cells;
    const int32_t rows = orderRowCount();
    for (int32_t c = kFirstQuantityColumn; c <= kLastQuantityColumn; ++c) {
        for (int32_t r = 1; r < rows; ++r) {
            const int64_t q = cellInteger(r, c);
            cells.push_back(isValidQuantity(q) ? static_cast<int32_t>(q) : 0);
        }
    }
    return cells;
}

bool orderGridHoldsAnything() {
    const int32_t rows = orderRowCount();
    for (int32_t c = kFirstQuantityColumn; c <= kLastQuantityColumn; ++c)
        for (int32_t r = 1; r < rows; ++r)
            if (!grid::call::getCellText(kMainWindow, control::OrderGrid, r, c).empty()) return true;
    return false;
}

void fillOrderCells(std::span<const int32_t> cells) {
    setQuantityColumnsType(kTextColumnType);
    const int32_t rows = orderRowCount();
    size_t i = 0;
    for (int32_t c = kFirstQuantityColumn; c <= kLastQuantityColumn; ++c) {
        for (int32_t r = 1; r < rows; ++r, ++i) {
            const bool filled = i < cells.size() && isValidQuantity(cells[i]);
            grid::call::setCellText(kMainWindow, control::OrderGrid, r, c, filled ? rt::formatInt(cells[i]) : "");
        }
    }
    recountOrder();
}

void onOrderKeyReleased(int32_t keyCode, int32_t keyState) {
    const bool pasteOrCut = (keyCode == kKeyV || keyCode == kKeyX) && keyState == kCtrlOnly;
    if (keyCode == kDeleteKey || pasteOrCut) recountOrder();
}

void onOrderEditorOpening() { setQuantityColumnsType(kNumberColumnType); }

bool checkOrderForCompute() {
    const OrderModel& order = state().order;
    const std::string refusal = computeRefusalText(order.styleCount, order.upsPerPlate);
    if (refusal.empty()) return true;
    showPrompt(refusal);
    return false;
}

}  // namespace calc
