// The message loop: Qt's event loop with an idle phase whenever the queue has
// run dry. Each idle pass runs the idle callbacks and the idle hook with a
// pass count; the hook raises window event 7 from the third pass on, and the
// phase goes on while a window's handler asks for more. Input from the window
// system starts a new phase.
#include "runtime/Events.h"

#include "forms/MessageLoop.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPointer>
#include <QThread>

#include <algorithm>
#include <vector>

#include "forms/Units.h"
#include "runtime/Host.h"

namespace forms {
namespace {

constexpr int32_t kIdleEvent = 7;

struct IdleCallback {
    QPointer<QWidget> window;
    IdleRoutine routine;
    void* argument;
};

// Receives the event posted to keep the idle phase going without blocking.
class IdleWaker final : public QObject {
protected:
    bool event(QEvent* e) override { return e->type() == QEvent::User ? true : QObject::event(e); }
};

struct LoopState {
    bool entered = false;
    QEventLoop* running = nullptr;
    int level = 0;  // the thread's loop level inside the running loop
    bool idleEnabled = true;
    bool inIdle = false;
    int idleCount = 0;
    uint32_t idleStart = 0;
    std::vector<rt::WindowId> doneIdling;
    std::vector<IdleCallback> callbacks;  // newest last
    QPointF lastMouse{-1, -1};
    IdleWaker* waker = nullptr;
    bool dispatcherConnected = false;
};

LoopState& loop() {
    static LoopState state;
    return state;
}

void runIdleCallbacks() {
    LoopState& s = loop();
    s.callbacks.erase(std::remove_if(s.callbacks.begin(), s.callbacks.end(),
                                     [](const IdleCallback& c) { return c.window.isNull(); }),
                      s.callbacks.end());
    std::vector<IdleCallback> due = s.callbacks;
    for (auto it = due.rbegin(); it != due.rend(); ++it)
        if (it->window) it->routine(it->argument);
}

// Pass 0 starts the clock and forgets which windows are done; passes 0 and 1
// are the layer's own (nothing to do, but they ask for the next pass); from
// pass 2 on each loaded window not yet done is asked with event 7.
bool idleHook(int count) {
    LoopState& s = loop();
    if (count == 0) {
        s.idleStart = rt::host().tickCount();
        s.doneIdling.clear();
    }
    if (count <= 1) return true;
    bool more = false;
    uint32_t elapsed = rt::host().tickCount() - s.idleStart;
    for (rt::WindowRecord& window : rt::windowTable()) {
        if (!window.loaded()) continue;
        if (std::find(s.doneIdling.begin(), s.doneIdling.end(), window.id) != s.doneIdling.end()) continue;
        rt::EventOutcome outcome = rt::raiseEvent(window.id, 0, kIdleEvent, {elapsed});
        if (outcome.resultPresent && outcome.result != 0) more = true;
        else s.doneIdling.push_back(window.id);
    }
    return more;
}

// The dispatcher is about to wait: the queue is empty. Only the loop of
// RunMessageLoop idles, not a nested one (a message box, a modal window),
// and not while a handler waits for events.
void onAboutToBlock() {
    LoopState& s = loop();
    if (!s.running || s.inIdle || !s.idleEnabled) return;
    if (QThread::currentThread()->loopLevel() != s.level) return;
    if (rt::currentEventSource().window != 0) return;
    s.inIdle = true;
    runIdleCallbacks();
    bool more = idleHook(s.idleCount++);
    s.inIdle = false;
    if (more && s.running) QCoreApplication::postEvent(s.waker, new QEvent(QEvent::User));
    else s.idleEnabled = false;
}

void connectDispatcher() {
    LoopState& s = loop();
    if (s.dispatcherConnected) return;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(QCoreApplication::instance()->thread());
    if (!dispatcher) return;
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, dispatcher, &onAboutToBlock);
    s.waker = new IdleWaker;
    s.dispatcherConnected = true;
}

}  // namespace

bool anyWindowLoaded() {
    for (const rt::WindowRecord& window : rt::windowTable())
        if (window.loaded()) return true;
    return false;
}

bool messageLoopRunning() { return loop().running != nullptr; }

void runMessageLoop() {
    LoopState& s = loop();
    s.entered = true;
    if (!anyWindowLoaded() || !QCoreApplication::instance()) return;
    connectDispatcher();
    QEventLoop eventLoop;
    QEventLoop* outer = s.running;
    int outerLevel = s.level;
    s.running = &eventLoop;
    s.level = QThread::currentThread()->loopLevel() + 1;
    s.idleEnabled = true;
    s.idleCount = 0;
    eventLoop.exec();
    s.running = outer;
    s.level = outerLevel;
    // What the last window left behind is still handled before the program goes on.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void onWindowDestroyed(rt::WindowId) {
    LoopState& s = loop();
    if (s.entered && s.running && !anyWindowLoaded()) s.running->exit(0);
}

void noteDeliveredEvent(QEvent* e) {
    if (!e->spontaneous()) return;
    LoopState& s = loop();
    switch (e->type()) {
        case QEvent::Paint:
        case QEvent::UpdateRequest:
        case QEvent::Timer:
        case QEvent::Expose:
            return;
        case QEvent::MouseMove: {
            // A mouse that reports the same position again is no new input.
            QPointF at = static_cast<QMouseEvent*>(e)->globalPosition();
            if (at == s.lastMouse) return;
            s.lastMouse = at;
            break;
        }
        default: break;
    }
    s.idleCount = 0;
    s.idleEnabled = true;
}

void clearIdleCallbacks() { loop().callbacks.clear(); }

void addIdleCallback(QWidget* window, IdleRoutine routine, void* argument) {
    if (window && routine) loop().callbacks.push_back({window, routine, argument});
}

void removeIdleCallback(QWidget* window, IdleRoutine routine, void* argument) {
    auto& callbacks = loop().callbacks;
    callbacks.erase(std::remove_if(callbacks.begin(), callbacks.end(),
                                   [&](const IdleCallback& c) {
                                       return c.window == window && c.routine == routine && c.argument == argument;
                                   }),
                    callbacks.end());
}

}  // namespace forms
