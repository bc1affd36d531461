// The runtime's host on the Qt window system: message boxes, the event queue,
// the screen and the main thread.
#pragma once

#include "runtime/Host.h"

namespace platform {

// Needs a QApplication to exist before any call that touches windows.
class QtHost final : public rt::Host {
public:
    QtHost();
    rt::MessageButton showMessageBox(const char* text, const char* caption, uint32_t style, void* owner) override;
    void processPendingEvents() override;
    uint32_t tickCount() override;
    rt::ScreenSize primaryScreenSize() override;
    bool startThread(rt::ThreadRoutine routine, void* parameter) override;
    bool isMainThread() override;
    bool requestEndOnMainThread(int exitCode) override;
    // Queued to the application object's thread; the caller waits until it has run.
    void runOnMainThread(const std::function<void()>& routine) override;
    std::string modulePath() override;
    void changeDirectory(const std::string& directory) override;
    [[noreturn]] void exitProcess(int exitCode) override;

private:
    rt::MessageButton showFromOtherThread(const char* text, const char* caption, uint32_t style, void* owner);
};

// Milliseconds of the monotonic clock (time since boot), wrapping at 2^32.
uint32_t monotonicMilliseconds();

}  // namespace platform
