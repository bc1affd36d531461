// The compute button: starts a calculation when idle, asks a running one to stop.
#pragma once

namespace calc {

// Click handler of 按钮计算.
void onComputeClicked();
// True while a calculation started by the button has not yet returned.
bool calculationActive();

}  // namespace calc
