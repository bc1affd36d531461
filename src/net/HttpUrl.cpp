// URL splitting for the HTTP reader; bytes pass through as written.
#include "net/HttpUrl.h"

#include <algorithm>
#include <cstdint>

namespace net {
namespace {

bool isAlpha(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool isHex(unsigned char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool isControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

std::optional<UrlScheme> schemeOf(std::string_view name) {
    if (name.empty() || !isAlpha(static_cast<unsigned char>(name[0]))) return std::nullopt;
    if (equalsIgnoringCase(name, "http")) return UrlScheme::Http;
    if (equalsIgnoringCase(name, "https")) return UrlScheme::Https;
    return std::nullopt;
}

bool isRegisteredNameByte(unsigned char c) {
    if (isAlpha(c) || isDigit(c) || c >= 0x80) return true;
    return std::string_view("-._~%!$&'()*+,;=").find(static_cast<char>(c)) != std::string_view::npos;
}

bool isValidHost(std::string_view host) {
    if (host.empty() || host.size() >= kHostRoom) return false;
    if (host.front() == '[') {
        if (host.size() < 4 || host.back() != ']') return false;
        std::string_view inner = host.substr(1, host.size() - 2);
        if (inner.find(':') == std::string_view::npos) return false;
        return std::all_of(inner.begin(), inner.end(), [](char c) {
            auto b = static_cast<unsigned char>(c);
            return isHex(b) || b == ':' || b == '.';
        });
    }
    return std::all_of(host.begin(), host.end(), [](char c) { return isRegisteredNameByte(static_cast<unsigned char>(c)); });
}

// Digits of a port after ":"; empty means the scheme's default.
std::optional<uint16_t> parsePort(std::string_view digits, uint16_t fallback) {
    if (digits.empty()) return fallback;
    if (digits.size() > 5) return std::nullopt;
    uint32_t value = 0;
    for (char c : digits) {
        if (!isDigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + uint32_t(c - '0');
    }
    if (value == 0 || value > 65535) return std::nullopt;
    return static_cast<uint16_t>(value);
}

}  // namespace

std::string_view cutFragment(std::string_view url) { return url.substr(0, url.find('#')); }

std::optional<UrlParts> splitUrl(std::string_view url) {
    if (std::any_of(url.begin(), url.end(), [](char c) { return isControl(static_cast<unsigned char>(c)); }))
        return std::nullopt;
    size_t colon = url.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    std::optional<UrlScheme> scheme = schemeOf(url.substr(0, colon));
    if (!scheme || url.substr(colon + 1, 2) != "//") return std::nullopt;

    UrlParts parts;
    parts.scheme = *scheme;
    std::string_view rest = url.substr(colon + 3);
    size_t authorityEnd = std::min(rest.find('/'), rest.find('?'));
    std::string_view authority = rest.substr(0, authorityEnd);
    std::string_view object = authorityEnd == std::string_view::npos ? std::string_view() : rest.substr(authorityEnd);

    if (size_t at = authority.rfind('@'); at != std::string_view::npos) {
        std::string_view userInfo = authority.substr(0, at);
        size_t split = userInfo.find(':');
        parts.user = std::string(userInfo.substr(0, split));
        if (split != std::string_view::npos) parts.password = std::string(userInfo.substr(split + 1));
        if (parts.user.size() >= kUserRoom || parts.password.size() >= kPasswordRoom) return std::nullopt;
        authority = authority.substr(at + 1);
    }

    if (authority.empty()) return std::nullopt;
    std::string_view host = authority;
    std::string_view portDigits;
    bool bracketed = authority.front() == '[';
    size_t portColon = bracketed ? authority.find("]:") : authority.find(':');
    if (portColon != std::string_view::npos) {
        if (bracketed) ++portColon;
        host = authority.substr(0, portColon);
        portDigits = authority.substr(portColon + 1);
        if (portDigits.empty()) return std::nullopt;
    }
    if (!isValidHost(host)) return std::nullopt;
    std::optional<uint16_t> port = parsePort(portDigits, parts.scheme == UrlScheme::Https ? 443 : 80);
    if (!port) return std::nullopt;
    parts.host = std::string(host);
    parts.port = *port;

    parts.object = object.empty() || object.front() != '/' ? "/" + std::string(object) : std::string(object);
    if (parts.object.size() >= kObjectRoom) return std::nullopt;
    return parts;
}

std::string requestTarget(std::string_view object) {
    std::string target;
    target.reserve(object.size());
    for (char c : object) {
        if (c == ' ') target += "%20";
        else target += c;
    }
    return target;
}

std::string originOf(const UrlParts& parts) {
    return std::string(parts.scheme == UrlScheme::Https ? "https://" : "http://") + parts.host + ":" +
           std::to_string(parts.port) + "/";
}

std::optional<uint64_t> declaredLength(std::optional<std::string_view> contentLength) {
    if (!contentLength || contentLength->size() >= kContentLengthRoom) return std::nullopt;
    // Read as a decimal number: leading blanks, an optional sign, then digits;
    // whatever follows the digits is ignored.
    std::string_view text = *contentLength;
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    uint64_t value = 0;
    for (; i < text.size() && isDigit(static_cast<unsigned char>(text[i])); ++i) {
        value = std::min<uint64_t>(value * 10 + uint64_t(text[i] - '0'), kLargestDeclaredLength);
    }
    if (negative || value == 0) return std::nullopt;
    return value;
}

size_t readChunkSize(std::optional<std::string_view> contentLength) {
    std::optional<uint64_t> length = declaredLength(contentLength);
    if (!length) return kDefaultChunk;
    return size_t(std::min<uint64_t>(*length + 1, kLargestChunk));
}

}  // namespace net
