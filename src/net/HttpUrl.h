// Splitting a URL into the parts an HTTP request is made of, without
// re-encoding its bytes, and the rule for the size of a read chunk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace net {

enum class UrlScheme { Http, Https };

// Room of the splitter's fields, terminator included: a part that does not
// fit makes the split fail.
inline constexpr size_t kHostRoom = 256;
inline constexpr size_t kObjectRoom = 2048;
inline constexpr size_t kUserRoom = 128;
inline constexpr size_t kPasswordRoom = 128;

struct UrlParts {
    UrlScheme scheme = UrlScheme::Http;
    std::string host;      // as written; an IPv6 literal keeps its brackets
    uint16_t port = 80;    // the scheme's default when none is written
    std::string object;    // path with query, always starting with "/"
    std::string user;
    std::string password;
};

// The url up to its first "#".
std::string_view cutFragment(std::string_view url);

// Splits an absolute http or https url (its fragment already cut). Fails for
// other schemes, a missing or malformed host, a bad port, a part too long for
// its room, and for control bytes anywhere, which would let a url inject
// lines into the request.
std::optional<UrlParts> splitUrl(std::string_view url);

// The object as it goes on the request line: bytes unchanged except a blank,
// which would end the request target early, sent as "%20".
std::string requestTarget(std::string_view object);

// "scheme://host:port/" for the transfer library; the object travels apart.
std::string originOf(const UrlParts& parts);

// Read chunk size from the Content-Length header value (none when the server
// sent no such header): 10240 when missing, too long for its 32-byte buffer,
// not a number or not positive; otherwise the number plus 1, at most 102400.
inline constexpr size_t kDefaultChunk = 10240;
inline constexpr size_t kLargestChunk = 102400;
inline constexpr size_t kContentLengthRoom = 32;
size_t readChunkSize(std::optional<std::string_view> contentLength);

// The body length a Content-Length value declares, read by the same rule: none
// when the chunk rule takes the header as not given; larger numbers read as
// kLargestDeclaredLength.
inline constexpr uint64_t kLargestDeclaredLength = uint64_t(1) << 60;
std::optional<uint64_t> declaredLength(std::optional<std::string_view> contentLength);

}  // namespace net
