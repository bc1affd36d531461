// Assembling and showing the run-time error report, then ending the program.
#include "runtime/Errors.h"

#include <array>
#include <cstdio>

#include "runtime/Host.h"
#include "runtime/Program.h"
#include "runtime/RuntimeTexts.h"
#include "runtime/WindowTable.h"

namespace rt {
namespace {

constexpr std::array<const char*, static_cast<size_t>(ErrorCode::Count)> kCodeMessages = {
    "",
    texts::ErrIndexOutOfRange,
    texts::ErrNumberExpected,
    texts::ErrDimensionMismatch,
    texts::ErrIndexBelowOne,
    texts::ErrTypeMismatch,
    texts::ErrDllStackFault,
    texts::ErrSubroutineNoValue,
    texts::ErrOnlyEqualityComparable,
    texts::ErrChoiceIndexOutOfRange,
    texts::ErrBadRedimension,
    texts::ErrArgumentTypeMismatch,
};
static_assert(kCodeMessages.size() == 12, "one message per error code");

ErrorHandler gHandler = nullptr;
bool gInHandler = false;

void appendQuotedTag(std::string& out, const char* head, const std::string& tagText) {
    out += head;
    out += tagText;
    out += '"';
}

}  // namespace

const char* errorCodeMessage(int32_t code) {
    if (code < 0 || code >= static_cast<int32_t>(kCodeMessages.size())) return "";
    return kCodeMessages[static_cast<size_t>(code)];
}

std::string buildErrorDetail(int32_t related1, int32_t related2) {
    char numbers[512];
    std::snprintf(numbers, sizeof numbers, texts::DetailHead, related1, related2);
    std::string detail = numbers;
    uint32_t windowId = static_cast<uint32_t>(related1);
    if (related1 != 0 && idkind::isWindow(windowId)) {
        if (const WindowRecord* window = findWindow(windowId)) {
            appendQuotedTag(detail, texts::DetailWindowTag, window->units.empty() ? std::string() : window->units.front().tag);
            const UnitRecord* unit = window->findUnit(static_cast<uint32_t>(related2));
            if (unit && !idkind::isMenuItem(unit->id)) appendQuotedTag(detail, texts::DetailUnitTag, unit->tag);
            else detail += texts::DetailUnitMissing;
        } else {
            detail += texts::DetailWindowMissing;
        }
    }
    detail += "\r\n";
    return detail;
}

std::string buildErrorReport(const RuntimeErrorInfo& info) {
    std::string text = texts::ReportHead;
    if (info.code != 0) {
        text += texts::ReportCodeHead;
        text += std::to_string(info.code);
        text += "\r\n";
    }
    if (info.message && *info.message) {
        text += texts::ReportMessageHead;
        text += info.message;
        text += "\r\n";
    }
    text += buildErrorDetail(info.related1, info.related2);
    return text;
}

void setErrorHandler(ErrorHandler handler) { gHandler = handler; }

void ReportRuntimeError(const RuntimeErrorInfo& info) {
    raiseNesting();
    bool suppressed = false;
    if (gHandler && !gInHandler) {
        gInHandler = true;
        std::string joined = (info.message ? info.message : "") + buildErrorDetail(info.related1, info.related2);
        suppressed = gHandler(joined.c_str(), info.code) != 0;
        gInHandler = false;
    }
    if (!suppressed) {
        std::string text = buildErrorReport(info);
        host().showMessageBox(text.c_str(), texts::ReportCaption, mb::IconError, nullptr);
    }
    if (buildMode() == 2) host().breakIntoDebugger();
    discardCleanups();
    EndProgram(-1);
}

void RaiseErrorCode(int32_t code, int32_t related1, int32_t related2) {
    ReportRuntimeError(RuntimeErrorInfo{errorCodeMessage(code), code, related1, related2});
}

void RaiseRuntimeMessage(const char* message, int32_t related1, int32_t related2) {
    ReportRuntimeError(RuntimeErrorInfo{message, 0, related1, related2});
}

}  // namespace rt
