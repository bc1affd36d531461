// The built-in terminal host, used when no window system has been installed.
#include "runtime/Host.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace rt {
namespace {

class TerminalHost final : public Host {
public:
    TerminalHost() : mainThread_(std::this_thread::get_id()) {}

    MessageButton showMessageBox(const char* text, const char* caption, uint32_t style, void*) override {
        std::fprintf(stderr, "%s\n%s\n", caption ? caption : "", text ? text : "");
        switch (style & mb::ButtonMask) {
            case mb::AbortRetryIgnore: return MessageButton::Abort;
            case mb::YesNoCancel: case mb::YesNo: return MessageButton::Yes;
            case mb::RetryCancel: return MessageButton::Retry;
            default: return MessageButton::Ok;
        }
    }
    void processPendingEvents() override {}
    uint32_t tickCount() override {
        using namespace std::chrono;
        return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    ScreenSize primaryScreenSize() override { return {}; }
    bool startThread(ThreadRoutine routine, void* parameter) override {
        try {
            std::thread(routine, parameter).detach();
            return true;
        } catch (...) {
            return false;
        }
    }
    bool isMainThread() override { return std::this_thread::get_id() == mainThread_; }
    bool requestEndOnMainThread(int) override { return false; }
    [[noreturn]] void exitProcess(int exitCode) override {
        std::fflush(nullptr);
        std::_Exit(exitCode);
    }

private:
    std::thread::id mainThread_;
};

TerminalHost& terminalHost() {
    static TerminalHost h;
    return h;
}

Host* gHost = nullptr;

}  // namespace

Host& host() { return gHost ? *gHost : terminalHost(); }
void setHost(Host* h) { gHost = h; }

}  // namespace rt
