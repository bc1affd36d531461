// Opening a URL in the user's browser: only web addresses are handed on.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include <QUrl>

#include "runtime/Value.h"

namespace net {

// Used when the command is called without a url.
inline constexpr char kDefaultBrowserAddress[] = "https://www.example.com/";

// The url a GBK text names when it may be opened in the browser: an absolute
// http or https address with a host. Anything else (empty, file:, javascript:,
// mailto:, relative paths, a program's path) gives none, so a served document
// cannot make the desktop run or open local things.
std::optional<QUrl> browsableUrl(std::string_view gbkUrl);

// Opens a url; answers whether it was handed on.
using BrowserLauncher = std::function<bool(const QUrl&)>;
// Replaces the desktop launcher (tests); an empty function restores it.
void setBrowserLauncher(BrowserLauncher launcher);

// Opens the url in the browser when browsableUrl accepts it; otherwise nothing
// happens. No url given: the default address. Callable from any thread: the
// desktop launcher runs on the application's thread. Nothing is reported.
void openUrlInBrowser(std::optional<std::string_view> gbkUrl);
inline void openUrlInBrowser(const char* gbkUrl) {
    openUrlInBrowser(std::optional<std::string_view>(gbkUrl ? std::string_view(gbkUrl) : std::string_view()));
}

namespace command {
// text url (optional) -> none.
void OpenUrlInBrowser(rt::TaggedArg* result, int32_t count, rt::TaggedArg* args);
}  // namespace command

}  // namespace net
