// Splitting urls for the request, and the read chunk rule.
#include "net/HttpUrl.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(HttpUrl, CutsAtTheFirstHash) {
    EXPECT_EQ(net::cutFragment("http://h/a?b#c#d"), "http://h/a?b");
    EXPECT_EQ(net::cutFragment("#only"), "");
    EXPECT_EQ(net::cutFragment("http://h/"), "http://h/");
}

TEST(HttpUrl, SplitsIntoRequestParts) {
    struct Case {
        const char* url;
        net::UrlScheme scheme;
        const char* host;
        uint16_t port;
        const char* object;
        const char* user;
        const char* password;
    } cases[] = {
        {"http://example.org/qt/yz/pb/1.php", net::UrlScheme::Http, "example.org", 80, "/qt/yz/pb/1.php", "", ""},
        {"HTTPS://Example.org", net::UrlScheme::Https, "Example.org", 443, "/", "", ""},
        {"http://h:8080?q=1", net::UrlScheme::Http, "h", 8080, "/?q=1", "", ""},
        {"http://u:p:w@h:81/x@y", net::UrlScheme::Http, "h", 81, "/x@y", "u", "p:w"},
        {"http://a@b@h/", net::UrlScheme::Http, "h", 80, "/", "a@b", ""},
        {"http://[::1]:9/v", net::UrlScheme::Http, "[::1]", 9, "/v", "", ""},
        {"https://[fe80::1]/", net::UrlScheme::Https, "[fe80::1]", 443, "/", "", ""},
        // Bytes of the object pass as written: no decoding, no encoding.
        {"http://h/%7e/\xc4\xe3?a=%20", net::UrlScheme::Http, "h", 80, "/%7e/\xc4\xe3?a=%20", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        auto parts = net::splitUrl(c.url);
        ASSERT_TRUE(parts);
        EXPECT_EQ(parts->scheme, c.scheme);
        EXPECT_EQ(parts->host, c.host);
        EXPECT_EQ(parts->port, c.port);
        EXPECT_EQ(parts->object, c.object);
        EXPECT_EQ(parts->user, c.user);
        EXPECT_EQ(parts->password, c.password);
    }
}

TEST(HttpUrl, RefusesWhatCannotBeRequested) {
    const char* refused[] = {
        "", "example.org/x", "ftp://h/", "file:///etc/passwd", "javascript:alert(1)", "http:/h/", "http://",
        "http:///x", "http://h:/", "http://h:0/", "http://h:65536/", "http://h:8o/", "http://h h/", "http://[::1/",
        "http://[zz]/", "http://u@/",
        // Control bytes would let a url write lines of its own into the request.
        "http://h/a\r\nX-Injected: 1", "http://h/\n", "http://h/\x7f", "http://h\t/",
    };
    for (const char* url : refused) {
        SCOPED_TRACE(url);
        EXPECT_FALSE(net::splitUrl(url));
    }
}

TEST(HttpUrl, PartsMustFitTheirRoom) {
    std::string host(net::kHostRoom - 1, 'h');
    EXPECT_TRUE(net::splitUrl("http://" + host + "/"));
    EXPECT_FALSE(net::splitUrl("http://" + host + "h/"));
    std::string object = "/" + std::string(net::kObjectRoom - 2, 'o');
    EXPECT_TRUE(net::splitUrl("http://h" + object));
    EXPECT_FALSE(net::splitUrl("http://h" + object + "o"));
    std::string user(net::kUserRoom - 1, 'u');
    EXPECT_TRUE(net::splitUrl("http://" + user + ":" + user + "@h/"));
    EXPECT_FALSE(net::splitUrl("http://" + user + "u@h/"));
    EXPECT_FALSE(net::splitUrl("http://u:" + user + "p@h/"));
}

TEST(HttpUrl, RequestTargetEncodesOnlyBlanks) {
    EXPECT_EQ(net::requestTarget("/a b?c=d e%20"), "/a%20b?c=d%20e%20");
    EXPECT_EQ(net::requestTarget("/\xc4\xe3"), "/\xc4\xe3");
}

TEST(HttpUrl, ChunkSizeAndDeclaredLengthFromContentLength) {
    using Length = std::optional<uint64_t>;
    struct Case {
        std::optional<std::string_view> header;
        size_t chunk;
        Length declared;
    } cases[] = {
        {std::nullopt, 10240, Length()},
        {"0", 10240, Length()},
        {"-5", 10240, Length()},
        {"-1", 10240, Length()},
        {"abc", 10240, Length()},
        {"", 10240, Length()},
        {"1", 2, 1},
        {"500", 501, 500},
        {" 77 bytes", 78, 77},
        {"102399", 102400, 102399},
        {"102400", 102400, 102400},
        {"16777217", 102400, 16777217},
        {"99999999999999999999", 102400, net::kLargestDeclaredLength},
        // A value that does not fit the 32-byte buffer counts as not given.
        {std::string_view("0000000000000000000000000000000100"), 10240, Length()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header ? std::string(*c.header) : "none");
        EXPECT_EQ(net::readChunkSize(c.header), c.chunk);
        EXPECT_EQ(net::declaredLength(c.header), c.declared);
    }
}

}  // namespace
