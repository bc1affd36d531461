// The HTTP reader on libcurl: one GET per call on its own connection, with the
// fixed request headers, the body collected whole or up to a failed read.
#include "net/HttpRead.h"

#include <curl/curl.h>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdlib>
#include <optional>

#include "net/HttpUrl.h"
#include "runtime/Dispatch.h"
#include "runtime/Text.h"

namespace net {

// The root handle: a share handle holding the DNS cache and TLS sessions that
// every request of the process reuses, and the stop signal for close().
struct InternetContext::Root {
    CURLSH* share = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> locks;
    std::atomic<bool> closing{false};
    std::mutex activeMutex;
    std::condition_variable idle;
    int active = 0;

    ~Root() {
        if (share) curl_share_cleanup(share);
    }
};

namespace {

using Root = InternetContext::Root;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

void initialiseLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

void lockShared(CURL*, curl_lock_data data, curl_lock_access, void* user) {
    static_cast<Root*>(user)->locks[static_cast<size_t>(data)].lock();
}
void unlockShared(CURL*, curl_lock_data data, void* user) {
    static_cast<Root*>(user)->locks[static_cast<size_t>(data)].unlock();
}

std::shared_ptr<Root> openRoot() {
    initialiseLibraryOnce();
    auto root = std::make_shared<Root>();
    root->share = curl_share_init();
    if (!root->share) return nullptr;
    curl_share_setopt(root->share, CURLSHOPT_LOCKFUNC, lockShared);
    curl_share_setopt(root->share, CURLSHOPT_UNLOCKFUNC, unlockShared);
    curl_share_setopt(root->share, CURLSHOPT_USERDATA, root.get());
    curl_share_setopt(root->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    curl_share_setopt(root->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    return root;
}

// Counts a request as running on a root so that close() can wait for it.
class ActiveRequest {
public:
    explicit ActiveRequest(Root& root) : root_(root) {
        std::lock_guard lock(root_.activeMutex);
        ++root_.active;
    }
    ~ActiveRequest() {
        std::lock_guard lock(root_.activeMutex);
        if (--root_.active == 0) root_.idle.notify_all();
    }

private:
    Root& root_;
};

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n')) s.remove_suffix(1);
    return s;
}

bool startsWithIgnoringCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char a = s[i], b = prefix[i];
        if (a >= 'A' && a <= 'Z') a = char(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = char(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

bool containsIgnoringCase(std::string_view s, std::string_view part) {
    for (size_t i = 0; i + part.size() <= s.size(); ++i)
        if (startsWithIgnoringCase(s.substr(i), part)) return true;
    return false;
}

// What one response delivers: its body up to the cap and the headers the
// reader looks at. The transfer library is told to ignore Content-Length
// (it refuses a response whose value is negative or not a number), so the
// reader applies the header itself: a positive length ends the body once
// that many bytes have come; any other value is as if none was sent, and the
// body runs until the server closes.
struct Collector {
    Root* root = nullptr;
    std::string body;
    bool capped = false;
    bool inBody = false;    // the current response's headers have ended
    bool chunked = false;   // its body comes in chunks, which end it themselves
    size_t chunkSize = 0;
    std::optional<uint64_t> expected;  // the declared length that ends the body
    bool reachedExpected = false;
    std::optional<std::string> contentLength;
    std::optional<std::string> location;

    void startResponse() {
        body.clear();
        capped = false;
        inBody = false;
        chunked = false;
        chunkSize = 0;
        expected.reset();
        reachedExpected = false;
        contentLength.reset();
        location.reset();
    }

    void endHeaders() {
        inBody = true;
        chunkSize = readChunkSize(contentLength);
        body.reserve(chunkSize);  // the read chunk for this body, reserved up front
        if (!chunked) expected = declaredLength(contentLength);
    }
};

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto& c = *static_cast<Collector*>(user);
    std::string_view line(data, size * count);
    if (startsWithIgnoringCase(line, "HTTP/")) {
        c.startResponse();
    } else if (c.inBody) {
        // Trailers after a chunked body: not headers of the response.
    } else if (startsWithIgnoringCase(line, "content-length:")) {
        c.contentLength = std::string(trimmed(line.substr(15)));
    } else if (startsWithIgnoringCase(line, "location:")) {
        c.location = std::string(trimmed(line.substr(9)));
    } else if (startsWithIgnoringCase(line, "transfer-encoding:")) {
        c.chunked = containsIgnoringCase(line.substr(18), "chunked");
    } else if (trimmed(line).empty()) {
        c.endHeaders();
    }
    return size * count;
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto& c = *static_cast<Collector*>(user);
    size_t n = size * count;
    size_t take = c.expected ? size_t(std::min<uint64_t>(n, *c.expected - c.body.size())) : n;
    size_t room = kBodyCap - c.body.size();
    if (take > room) {
        c.body.append(data, room);
        c.capped = true;
        return 0;  // stops the transfer
    }
    c.body.append(data, take);
    if (c.expected && c.body.size() == *c.expected) {
        // The declared body is whole; a server that keeps the connection open
        // must not make the read wait for more.
        c.reachedExpected = true;
        return 0;  // stops the transfer
    }
    return n;
}

// Statuses whose responses never have a body, whatever Content-Length says.
bool isBodyless(long status) { return (status >= 100 && status < 200) || status == 204 || status == 304; }

// The transfer's result as the reader counts it: a transfer stopped at the
// end of the declared body is complete, and one whose connection closed
// before it is cut short, as the transfer library reports that on its own.
CURLcode settled(CURLcode code, const Collector& c, long status) {
    if (c.reachedExpected && code == CURLE_WRITE_ERROR) return CURLE_OK;
    if (code == CURLE_OK && c.expected && c.body.size() < *c.expected && !isBodyless(status))
        return CURLE_PARTIAL_FILE;
    return code;
}

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Collector*>(user)->root->closing.load() ? 1 : 0;
}

struct ProxySettings {
    std::string proxy;
    std::string user;
    std::string password;
};

// One GET of `parts` on a connection of its own, within the time-outs of `options`.
CURLcode performGet(Root& root, const UrlParts& parts, const ProxySettings& proxy, const HttpOptions& options,
                    Collector& collector, long& status) {
    CURL* easy = curl_easy_init();
    if (!easy) return CURLE_FAILED_INIT;
    curl_slist* headers = nullptr;
    for (const char* h : {"Accept: */*", "Pragma: no-cache", "Cache-Control: no-cache"})
        headers = curl_slist_append(headers, h);

    std::string origin = originOf(parts);
    std::string target = requestTarget(parts.object);
    curl_easy_setopt(easy, CURLOPT_URL, origin.c_str());
    curl_easy_setopt(easy, CURLOPT_REQUEST_TARGET, target.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(easy, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(easy, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    curl_easy_setopt(easy, CURLOPT_SHARE, root.share);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, long(options.connectTimeout.count()));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, long(options.transferTimeout.count()));
    // An empty proxy means direct access, whatever the environment says.
    curl_easy_setopt(easy, CURLOPT_PROXY, proxy.proxy.c_str());
    if (!proxy.proxy.empty()) {
        curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, proxy.user.c_str());
        curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, proxy.password.c_str());
    }
    if (!parts.user.empty() || !parts.password.empty()) {
        // Credentials from the url answer a challenge; the first request goes without them.
        curl_easy_setopt(easy, CURLOPT_USERNAME, parts.user.c_str());
        curl_easy_setopt(easy, CURLOPT_PASSWORD, parts.password.c_str());
        curl_easy_setopt(easy, CURLOPT_HTTPAUTH, long(CURLAUTH_ANY));
    }
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &collector);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &collector);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &collector);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);

    CURLcode code = curl_easy_perform(easy);
    status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(easy);
    curl_slist_free_all(headers);
    return settled(code, collector, status);
}

// The end of a read's time, shared by all of its hops, connects included. A
// transfer time-out of zero or less sets no end.
class Deadline {
public:
    explicit Deadline(milliseconds budget) : limited_(budget.count() > 0), end_(Clock::now() + budget) {}

    // The time-outs of the next hop: the transfer may take what is left, and
    // so may connecting when its own time-out is longer. None when nothing is left.
    std::optional<HttpOptions> nextHop(const HttpOptions& options) const {
        if (!limited_) return options;
        auto left = std::chrono::duration_cast<milliseconds>(end_ - Clock::now());
        if (left.count() <= 0) return std::nullopt;
        HttpOptions hop = options;
        hop.transferTimeout = left;
        if (hop.connectTimeout.count() <= 0 || hop.connectTimeout > left) hop.connectTimeout = left;
        return hop;
    }

private:
    bool limited_;
    Clock::time_point end_;
};

// The parts of a redirect's target: an absolute http(s) location, or one
// relative to the url just requested.
std::optional<UrlParts> redirectTarget(const UrlParts& from, const std::string& location) {
    if (auto absolute = splitUrl(cutFragment(location))) return absolute;
    CURLU* u = curl_url();
    if (!u) return std::nullopt;
    std::string base = originOf(from);
    base.pop_back();
    base += from.object;
    std::optional<UrlParts> parts;
    char* resolved = nullptr;
    if (curl_url_set(u, CURLUPART_URL, base.c_str(), CURLU_ALLOW_SPACE) == CURLUE_OK &&
        curl_url_set(u, CURLUPART_URL, location.c_str(), CURLU_ALLOW_SPACE) == CURLUE_OK &&
        curl_url_get(u, CURLUPART_URL, &resolved, 0) == CURLUE_OK) {
        parts = splitUrl(cutFragment(resolved));
    }
    curl_free(resolved);
    curl_url_cleanup(u);
    return parts;
}

HttpOutcome outcomeOf(CURLcode code, const Collector& c) {
    if (c.capped) return HttpOutcome::Capped;
    if (code == CURLE_OK) return HttpOutcome::Complete;
    return c.body.empty() ? HttpOutcome::Failed : HttpOutcome::Partial;
}

}  // namespace

InternetContext& InternetContext::process() {
    static InternetContext* context = [] {
        auto* c = new InternetContext;
        std::atexit(closeInternet);
        return c;
    }();
    return *context;
}

InternetContext::InternetContext() = default;
InternetContext::~InternetContext() { close(); }

std::shared_ptr<Root> InternetContext::acquireRoot() {
    std::lock_guard lock(mutex_);
    if (!root_) {
        root_ = openRoot();
        if (root_) ++openCount_;
    }
    return root_;
}

void InternetContext::close(std::chrono::milliseconds grace) {
    std::shared_ptr<Root> root;
    {
        std::lock_guard lock(mutex_);
        root = std::move(root_);
    }
    if (!root) return;
    root->closing = true;
    std::unique_lock lock(root->activeMutex);
    root->idle.wait_for(lock, grace, [&] { return root->active == 0; });
}

bool InternetContext::isOpen() const {
    std::lock_guard lock(mutex_);
    return root_ != nullptr;
}

int InternetContext::openCount() const {
    std::lock_guard lock(mutex_);
    return openCount_;
}

void InternetContext::setProxy(std::string proxy, std::string user, std::string password) {
    std::lock_guard lock(mutex_);
    proxy_ = std::move(proxy);
    proxyUser_ = std::move(user);
    proxyPassword_ = std::move(password);
}

HttpReadResult InternetContext::read(std::string_view url, const HttpOptions& options) {
    HttpReadResult result;
    if (url.empty()) {
        result.outcome = HttpOutcome::EmptyUrl;
        return result;
    }
    std::optional<UrlParts> parts = splitUrl(cutFragment(url));
    if (!parts) {
        result.outcome = HttpOutcome::BadUrl;
        return result;
    }
    std::shared_ptr<Root> root = acquireRoot();
    if (!root) {
        result.outcome = HttpOutcome::NoRootHandle;
        return result;
    }
    ProxySettings proxy;
    {
        std::lock_guard lock(mutex_);
        proxy = {proxy_, proxyUser_, proxyPassword_};
    }
    ActiveRequest active(*root);
    Deadline deadline(options.transferTimeout);
    Collector collector;
    collector.root = root.get();
    for (int hop = 0;; ++hop) {
        long status = 0;
        std::optional<HttpOptions> hopOptions = deadline.nextHop(options);
        // With no time left for this hop, it ends as a transfer that timed out before its first byte.
        CURLcode code = hopOptions ? performGet(*root, *parts, proxy, *hopOptions, collector, status)
                                   : CURLE_OPERATION_TIMEDOUT;
        result.transferCode = code;
        bool redirected = code == CURLE_OK && status >= 300 && status < 400 && collector.location && hop < kMaxRedirects;
        std::optional<UrlParts> next = redirected ? redirectTarget(*parts, *collector.location) : std::nullopt;
        if (!next || root->closing) {
            result.outcome = outcomeOf(code, collector);
            result.chunkSize = collector.chunkSize;
            result.body = std::move(collector.body);
            return result;
        }
        parts = std::move(next);
        collector.startResponse();
    }
}

HttpReadResult readUrl(std::string_view url, const HttpOptions& options) {
    return InternetContext::process().read(url, options);
}

void* httpReadUrl(const char* url) {
    HttpReadResult result = readUrl(rt::textView(url));
    return rt::makeByteSet(result.body);
}

void closeInternet() { InternetContext::process().close(); }

namespace command {
void HttpReadUrl(rt::TaggedArg* result, int32_t count, rt::TaggedArg* args) {
    rt::TaggedArg url = rt::argumentAt(count, args, 0);
    const char* text = url.tag == rt::tag::Text ? url.pointer<char>() : nullptr;
    *result = rt::TaggedArg::ofByteSet(httpReadUrl(text));
}
}  // namespace command

}  // namespace net
