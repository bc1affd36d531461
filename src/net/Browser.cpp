// The browser launch through the desktop services, behind a filter on the scheme.
#include "net/Browser.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMetaObject>
#include <QString>
#include <QThread>

#include <algorithm>
#include <mutex>
#include <string>

#include "platform/Gbk.h"
#include "runtime/Dispatch.h"
#include "runtime/Text.h"

namespace net {
namespace {

bool openOnDesktop(const QUrl& url) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return false;
    if (QThread::currentThread() == app->thread()) return QDesktopServices::openUrl(url);
    // The desktop services belong to the application's thread.
    return QMetaObject::invokeMethod(app, [url] { QDesktopServices::openUrl(url); }, Qt::QueuedConnection);
}

std::mutex launcherMutex;
BrowserLauncher& launcherSlot() {
    static BrowserLauncher launcher;
    return launcher;
}

BrowserLauncher currentLauncher() {
    std::lock_guard lock(launcherMutex);
    return launcherSlot() ? launcherSlot() : BrowserLauncher(openOnDesktop);
}

}  // namespace

std::optional<QUrl> browsableUrl(std::string_view gbkUrl) {
    if (gbkUrl.empty()) return std::nullopt;
    // Control bytes have no place in an address; a tolerant parser would drop them silently.
    if (std::any_of(gbkUrl.begin(), gbkUrl.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
        return std::nullopt;
    QString text = QString::fromStdString(platform::gbkToUtf8(gbkUrl)).trimmed();
    QUrl url(text, QUrl::TolerantMode);
    if (!url.isValid() || url.isRelative()) return std::nullopt;
    QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) return std::nullopt;
    if (url.host().isEmpty()) return std::nullopt;
    return url;
}

void setBrowserLauncher(BrowserLauncher launcher) {
    std::lock_guard lock(launcherMutex);
    launcherSlot() = std::move(launcher);
}

void openUrlInBrowser(std::optional<std::string_view> gbkUrl) {
    std::optional<QUrl> url = browsableUrl(gbkUrl ? *gbkUrl : std::string_view(kDefaultBrowserAddress));
    if (url) currentLauncher()(*url);
}

namespace command {
void OpenUrlInBrowser(rt::TaggedArg*, int32_t count, rt::TaggedArg* args) {
    rt::TaggedArg url = rt::argumentAt(count, args, 0);
    if (url.omitted()) {
        openUrlInBrowser(std::nullopt);
        return;
    }
    const char* text = url.tag == rt::tag::Text ? url.pointer<char>() : nullptr;
    openUrlInBrowser(text);
}
}  // namespace command

}  // namespace net
