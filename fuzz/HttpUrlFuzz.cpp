// Splits arbitrary bytes as a url and checks what the splitter promises: parts
// that fit their room, no control bytes, an object that is a request target,
// and an origin plus object that split back to the same parts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "net/HttpUrl.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

bool hasControlByte(std::string_view s) {
    for (unsigned char c : s)
        if (c < 0x20 || c == 0x7F) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    size_t chunk = net::readChunkSize(input);
    check(chunk >= 2 && chunk <= net::kLargestChunk);

    std::string_view url = net::cutFragment(input);
    check(url.find('#') == std::string_view::npos);
    auto parts = net::splitUrl(url);
    if (!parts) return 0;
    check(!parts->host.empty() && parts->host.size() < net::kHostRoom);
    check(parts->object.size() < net::kObjectRoom && parts->object.front() == '/');
    check(parts->user.size() < net::kUserRoom && parts->password.size() < net::kPasswordRoom);
    check(parts->port != 0);
    for (const std::string* s : {&parts->host, &parts->object, &parts->user, &parts->password})
        check(!hasControlByte(*s));
    std::string target = net::requestTarget(parts->object);
    check(target.find(' ') == std::string::npos && !hasControlByte(target));

    std::string origin = net::originOf(*parts);
    origin.pop_back();
    auto again = net::splitUrl(origin + parts->object);
    check(again && again->scheme == parts->scheme && again->host == parts->host && again->port == parts->port &&
          again->object == parts->object && again->user.empty());
    return 0;
}
