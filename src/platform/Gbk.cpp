// GBK <-> UTF-8 with the C library's converter, one character at a time on errors.
#include "platform/Gbk.h"

#include <iconv.h>

#include <cerrno>

namespace platform {
namespace {

// Converts as much as possible; on an invalid or unconvertible sequence skips
// `skip` input bytes (or one character) and writes the replacement.
std::string convert(const char* to, const char* from, std::string_view in, std::string_view replacement, bool utf8Input) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
    std::string out;
    out.reserve(in.size() * 2);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[256];
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, dst - buffer);
        if (rc != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // Invalid or incomplete input: replace one character and go on.
        size_t skip = 1;
        if (utf8Input) {
            auto c = static_cast<unsigned char>(*src);
            skip = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
            if (skip > srcLeft) skip = srcLeft;
            for (size_t i = 1; i < skip; ++i)
                if ((static_cast<unsigned char>(src[i]) & 0xC0) != 0x80) { skip = i; break; }
        } else if ((static_cast<unsigned char>(*src) & 0x80) && srcLeft >= 2) {
            auto trail = static_cast<unsigned char>(src[1]);
            if (trail >= 0x40 && trail != 0x7F && trail != 0xFF) skip = 2;  // an unmapped two-byte character
        }
        out += replacement;
        src += skip;
        srcLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string gbkToUtf8(std::string_view gbk) { return convert("UTF-8", "GBK", gbk, "\xEF\xBF\xBD", false); }

std::string utf8ToGbk(std::string_view utf8) { return convert("GBK", "UTF-8", utf8, "?", true); }

}  // namespace platform
