// Message boxes, event processing and the end of the program on Qt.
#include "platform/QtHost.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QWidget>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/Gbk.h"
#include "runtime/Program.h"

namespace platform {
namespace {

QString fromGbk(const char* gbk) { return QString::fromStdString(gbkToUtf8(gbk ? gbk : "")); }

struct ButtonChoice {
    QMessageBox::StandardButton qt;
    rt::MessageButton result;
};

// The buttons of each button-style value, in the order a message box shows them.
std::vector<ButtonChoice> buttonsOf(uint32_t style) {
    using B = QMessageBox;
    using R = rt::MessageButton;
    switch (style & rt::mb::ButtonMask) {
        case rt::mb::OkCancel: return {{B::Ok, R::Ok}, {B::Cancel, R::Cancel}};
        case rt::mb::AbortRetryIgnore: return {{B::Abort, R::Abort}, {B::Retry, R::Retry}, {B::Ignore, R::Ignore}};
        case rt::mb::YesNoCancel: return {{B::Yes, R::Yes}, {B::No, R::No}, {B::Cancel, R::Cancel}};
        case rt::mb::YesNo: return {{B::Yes, R::Yes}, {B::No, R::No}};
        case rt::mb::RetryCancel: return {{B::Retry, R::Retry}, {B::Cancel, R::Cancel}};
        default: return {{B::Ok, R::Ok}};
    }
}

QMessageBox::Icon iconOf(uint32_t style) {
    switch (style & rt::mb::IconMask) {
        case rt::mb::IconError: return QMessageBox::Critical;
        case rt::mb::IconQuestion: return QMessageBox::Question;
        case rt::mb::IconWarning: return QMessageBox::Warning;
        case rt::mb::IconInformation: return QMessageBox::Information;
        default: return QMessageBox::NoIcon;
    }
}

// Fills a box with its icon, plain texts and buttons; returns the buttons' answers.
// Texts are shown as they are: markup in a served text stays characters, so
// no box can carry a link or formatting.
std::vector<ButtonChoice> prepareBox(QMessageBox& box, const char* text, const char* caption, uint32_t style) {
    box.setIcon(iconOf(style));
    box.setWindowTitle(fromGbk(caption));
    box.setTextFormat(Qt::PlainText);
    box.setText(fromGbk(text));
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto choices = buttonsOf(style);
    for (const auto& c : choices) box.addButton(c.qt);
    // Closing the box without a button answers Cancel or No where present, or
    // the only button; a box without such a button cannot be closed that way.
    QMessageBox::StandardButton escape = QMessageBox::NoButton;
    for (const auto& c : choices)
        if (c.result == rt::MessageButton::Cancel || (c.result == rt::MessageButton::No && escape == QMessageBox::NoButton))
            escape = c.qt;
    if (choices.size() == 1) escape = choices.front().qt;
    if (escape != QMessageBox::NoButton) box.setEscapeButton(escape);
    return choices;
}

rt::MessageButton answerOf(QMessageBox& box, const std::vector<ButtonChoice>& choices) {
    QAbstractButton* clicked = box.clickedButton() ? box.clickedButton() : box.escapeButton();
    for (const auto& c : choices)
        if (clicked && box.standardButton(clicked) == c.qt) return c.result;
    return rt::MessageButton::None;
}

// The answer of a box shown for another thread, handed over once.
class PendingAnswer {
public:
    void give(rt::MessageButton answer) {
        std::lock_guard lock(mutex_);
        if (given_) return;
        answer_ = answer;
        given_ = true;
        ready_.notify_all();
    }
    rt::MessageButton wait() {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return given_; });
        return answer_;
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    bool given_ = false;
    rt::MessageButton answer_ = rt::MessageButton::None;
};

}  // namespace

uint32_t monotonicMilliseconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint32_t>(uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u);
}

QtHost::QtHost() = default;

rt::MessageButton QtHost::showMessageBox(const char* text, const char* caption, uint32_t style, void* owner) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fprintf(stderr, "%s\n%s\n", gbkToUtf8(caption ? caption : "").c_str(), gbkToUtf8(text ? text : "").c_str());
        return buttonsOf(style).front().result;
    }
    if (!isMainThread()) return showFromOtherThread(text, caption, style, owner);
    QMessageBox box(static_cast<QWidget*>(owner));
    auto choices = prepareBox(box, text, caption, style);
    box.setWindowModality((style & rt::mb::SystemModal) || !owner ? Qt::ApplicationModal : Qt::WindowModal);
    box.exec();
    return answerOf(box, choices);
}

// A box asked for on another thread is shown by the main thread, which owns
// every window, while this thread waits for the answer. That thread has no
// windows of its own, so a task-modal box disables nothing: the user goes on
// working in the program's windows while it is up. Only a system-modal box
// blocks them. When the program ends first, the answer never comes; the
// process exits around the waiting thread.
rt::MessageButton QtHost::showFromOtherThread(const char* text, const char* caption, uint32_t style, void* owner) {
    auto pending = std::make_shared<PendingAnswer>();
    std::string textCopy = text ? text : "", captionCopy = caption ? caption : "";
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [pending, textCopy, captionCopy, style, owner] {
            if (rt::programEnding()) return pending->give(rt::MessageButton::None);
            // The owner was named on another thread: it is used only if it still exists.
            auto* ownerWidget = static_cast<QWidget*>(owner);
            if (ownerWidget && !QApplication::allWidgets().contains(ownerWidget)) ownerWidget = nullptr;
            auto* box = new QMessageBox(ownerWidget);
            box->setAttribute(Qt::WA_DeleteOnClose);
            auto choices = prepareBox(*box, textCopy.c_str(), captionCopy.c_str(), style);
            box->setWindowModality((style & rt::mb::SystemModal) ? Qt::ApplicationModal : Qt::NonModal);
            QObject::connect(box, &QMessageBox::finished, box,
                             [box, choices, pending] { pending->give(answerOf(*box, choices)); });
            box->show();
        },
        Qt::QueuedConnection);
    return pending->wait();
}

void QtHost::processPendingEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

uint32_t QtHost::tickCount() { return monotonicMilliseconds(); }

rt::ScreenSize QtHost::primaryScreenSize() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    QSize size = screen->geometry().size();
    return {size.width(), size.height()};
}

bool QtHost::startThread(rt::ThreadRoutine routine, void* parameter) {
    try {
        std::thread(routine, parameter).detach();
        return true;
    } catch (...) {
        return false;
    }
}

bool QtHost::isMainThread() {
    QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

void QtHost::runOnMainThread(const std::function<void()>& routine) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || isMainThread()) {
        routine();
        return;
    }
    QMetaObject::invokeMethod(app, [&routine] { routine(); }, Qt::BlockingQueuedConnection);
}

std::string QtHost::modulePath() {
    if (!QCoreApplication::instance()) return {};
    return QCoreApplication::applicationFilePath().toStdString();
}

void QtHost::changeDirectory(const std::string& directory) { QDir::setCurrent(QString::fromStdString(directory)); }

bool QtHost::requestEndOnMainThread(int exitCode) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return false;
    return QMetaObject::invokeMethod(app, [exitCode] { rt::EndProgram(exitCode); }, Qt::QueuedConnection);
}

void QtHost::exitProcess(int exitCode) {
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

}  // namespace platform
