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

#include <cstdio>
#include <string>
#include <cstdlib>
#include <ctime>
#include <thread>

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

}  // namespace

uint32_t monotonicMilliseconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint32_t>(uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u);
}

QtHost::QtHost() = default;

rt::MessageButton QtHost::showMessageBox(const char* text, const char* caption, uint32_t style, void* owner) {
    // A box asked for on another thread is shown by the main thread; this one waits for the answer.
    if (!isMainThread()) {
        rt::MessageButton answer = rt::MessageButton::None;
        std::string textCopy = text ? text : "", captionCopy = caption ? caption : "";
        runOnMainThread([&] { answer = showMessageBox(textCopy.c_str(), captionCopy.c_str(), style, owner); });
        return answer;
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fprintf(stderr, "%s\n%s\n", gbkToUtf8(caption ? caption : "").c_str(), gbkToUtf8(text ? text : "").c_str());
        return buttonsOf(style).front().result;
    }
    QMessageBox box(iconOf(style), fromGbk(caption), fromGbk(text), QMessageBox::NoButton, static_cast<QWidget*>(owner));
    auto choices = buttonsOf(style);
    for (const auto& c : choices) box.addButton(c.qt);
    box.setWindowModality((style & rt::mb::SystemModal) ? Qt::ApplicationModal : Qt::WindowModal);
    if (!owner) box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (const auto& c : choices)
        if (clicked && box.standardButton(clicked) == c.qt) return c.result;
    // Closed without a button: the escape button's answer (Cancel or No where present).
    for (const auto& c : choices)
        if (c.result == rt::MessageButton::Cancel) return c.result;
    return choices.size() == 1 ? choices.front().result : rt::MessageButton::None;
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
