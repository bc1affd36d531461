// Reading the body of a URL with an HTTP GET: the process's internet context,
// the typed reader, and the runtime command that returns a byte-set.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "runtime/Value.h"

namespace net {

inline constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
// A body longer than this is cut here: the first bytes are kept as a partial
// read, so a runaway server cannot exhaust memory.
inline constexpr size_t kBodyCap = size_t(16) << 20;
// Redirects are followed as a browser would, up to this many hops.
inline constexpr int kMaxRedirects = 10;

struct HttpOptions {
    // Each connect, and never longer than what is left of the transfer time-out.
    std::chrono::milliseconds connectTimeout{30000};
    // The whole read, every redirect hop and connect included, ends within
    // this from its start; when it runs out, the read ends with what it has.
    // Zero or less: no limit.
    std::chrono::milliseconds transferTimeout{120000};
};

enum class HttpOutcome {
    Complete,      // the body was read to its end
    Partial,       // a read failed or timed out after some bytes; they are kept
    Capped,        // the body passed kBodyCap; its first kBodyCap bytes are kept
    EmptyUrl,      // nothing to fetch; no network activity
    BadUrl,        // the url could not be split, or is neither http nor https
    NoRootHandle,  // the context could not be opened
    Failed,        // no connection, request or send failure, or a failed read before any byte
};

struct [[nodiscard]] HttpReadResult {
    std::string body;
    HttpOutcome outcome = HttpOutcome::Failed;
    int transferCode = 0;  // the transfer library's result code of the last request
    size_t chunkSize = 0;  // read chunk chosen for the last response, 0 when none came
};

// One per process: the root handle, opened on first use and reused by every
// later request, and the proxy settings (empty: direct access). Requests may
// run on a background thread while another thread closes the context; a
// request in progress is then aborted and its handle freed when it returns.
class InternetContext {
public:
    // The process's context. It is never destroyed, so a detached thread can
    // still reach it during exit; its root handle is closed at exit.
    static InternetContext& process();

    InternetContext();
    ~InternetContext();
    InternetContext(const InternetContext&) = delete;
    InternetContext& operator=(const InternetContext&) = delete;

    HttpReadResult read(std::string_view url, const HttpOptions& options = {});

    // Closes the root handle. Requests in progress are told to stop; the call
    // waits for them at most `grace` (a request checks about once a second).
    // A later read opens a new root handle.
    void close(std::chrono::milliseconds grace = std::chrono::milliseconds(2000));

    bool isOpen() const;
    int openCount() const;  // how many times a root handle was opened
    void setProxy(std::string proxy, std::string user, std::string password);

    struct Root;

private:
    std::shared_ptr<Root> acquireRoot();

    mutable std::mutex mutex_;
    std::shared_ptr<Root> root_;
    int openCount_ = 0;
    std::string proxy_;
    std::string proxyUser_;
    std::string proxyPassword_;
};

// Reads through the process's context.
HttpReadResult readUrl(std::string_view url, const HttpOptions& options = {});

// The body as a new byte-set block owned by the caller, null when nothing was
// received. A GBK text url; null is the empty url. Never reports an error.
void* httpReadUrl(const char* url);

// Program end: closes the process's root handle.
void closeInternet();

namespace command {
// text url -> byte-set.
void HttpReadUrl(rt::TaggedArg* result, int32_t count, rt::TaggedArg* args);
}  // namespace command

}  // namespace net
