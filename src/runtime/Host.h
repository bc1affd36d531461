// What the runtime needs of the platform underneath: message boxes, the event
// queue, the clock, the screen, threads and process exit.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace rt {

// Message-box style bits, as the commands pass them on.
namespace mb {
inline constexpr uint32_t Ok = 0x0, OkCancel = 0x1, AbortRetryIgnore = 0x2, YesNoCancel = 0x3, YesNo = 0x4,
                          RetryCancel = 0x5, ButtonMask = 0xF;
inline constexpr uint32_t IconError = 0x10, IconQuestion = 0x20, IconWarning = 0x30, IconInformation = 0x40,
                          IconMask = 0xF0;
inline constexpr uint32_t SystemModal = 0x1000, TaskModal = 0x2000;
}  // namespace mb

// The button that closed a message box.
enum class MessageButton { None = 0, Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct ScreenSize {
    int width = 0;
    int height = 0;
};

using ThreadRoutine = void (*)(void* parameter);

class Host {
public:
    virtual ~Host() = default;

    // Shows a modal message box. Texts are GBK; owner is a native window or null.
    virtual MessageButton showMessageBox(const char* text, const char* caption, uint32_t style, void* owner) = 0;
    // Dispatches the pending events of the calling thread; a quit request stays queued.
    virtual void processPendingEvents() = 0;
    // Milliseconds since an arbitrary fixed start (wraps at 2^32).
    virtual uint32_t tickCount() = 0;
    virtual ScreenSize primaryScreenSize() = 0;
    // Starts a detached system thread; false when it could not be created.
    virtual bool startThread(ThreadRoutine routine, void* parameter) = 0;
    virtual bool isMainThread() = 0;
    // Asks the main thread to end the program with the code; false when it cannot be reached.
    virtual bool requestEndOnMainThread(int exitCode) = 0;
    // Runs the routine on the main thread and waits for it; on the main thread
    // (or where there is no other thread) it runs at once.
    virtual void runOnMainThread(const std::function<void()>& routine) { routine(); }
    virtual void breakIntoDebugger() {}
    // The program file's full path, empty when unknown; and changing the current directory.
    virtual std::string modulePath() { return {}; }
    virtual void changeDirectory(const std::string& directory) { (void)directory; }
    [[noreturn]] virtual void exitProcess(int exitCode) = 0;
};

// The host in use. Until one is installed, a terminal host is used that writes
// message boxes to standard error and answers them with their first button.
Host& host();
// Installs a host (null restores the terminal host); the caller keeps ownership.
void setHost(Host* h);

}  // namespace rt
