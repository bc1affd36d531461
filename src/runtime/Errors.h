// The run-time error report: one fatal path for every failure the runtime detects.
#pragma once

#include <cstdint>
#include <string>

namespace rt {

// Error codes of RaiseErrorCode, 1-11; 0 means "no code" (the message says it all).
enum class ErrorCode : int32_t {
    None = 0,
    IndexOutOfRange = 1,
    NumberExpected = 2,
    DimensionMismatch = 3,
    IndexBelowOne = 4,
    TypeMismatch = 5,
    DllStackFault = 6,
    SubroutineNoValue = 7,
    OnlyEqualityComparable = 8,
    ChoiceIndexOutOfRange = 9,
    BadRedimension = 10,
    ArgumentTypeMismatch = 11,
    Count
};

// The message of a code, GBK; empty for 0 and unknown codes.
const char* errorCodeMessage(int32_t code);

struct RuntimeErrorInfo {
    const char* message = nullptr;  // GBK, may be null or empty
    int32_t code = 0;
    int32_t related1 = 0;
    int32_t related2 = 0;
};

// The text the report shows, and the detail text (also used by an installed handler).
std::string buildErrorDetail(int32_t related1, int32_t related2);
std::string buildErrorReport(const RuntimeErrorInfo& info);

// Shows the report (no owner, caption "错误", error icon) and ends the program
// with exit code -1 without running the clean-up routines.
[[noreturn]] void ReportRuntimeError(const RuntimeErrorInfo& info);
[[noreturn]] void RaiseErrorCode(int32_t code, int32_t related1, int32_t related2);
// The runtime's own failures: code 0 with a message.
[[noreturn]] void RaiseRuntimeMessage(const char* message, int32_t related1 = 0, int32_t related2 = 0);

// An installed error handler receives the message joined with the detail text
// and the code; a nonzero result suppresses the message box.
using ErrorHandler = int (*)(const char* text, int32_t code);
void setErrorHandler(ErrorHandler handler);

}  // namespace rt
