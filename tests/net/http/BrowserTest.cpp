// The browser launch hands on web addresses only.
#include "net/Browser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Gbk.h"
#include "runtime/Dispatch.h"

namespace {

class BrowserLaunch : public ::testing::Test {
protected:
    void SetUp() override {
        net::setBrowserLauncher([this](const QUrl& url) {
            opened.push_back(url.toString().toStdString());
            return true;
        });
    }
    void TearDown() override { net::setBrowserLauncher({}); }

    std::vector<std::string> opened;
};

TEST_F(BrowserLaunch, OpensOnlyWebAddresses) {
    const char* accepted[] = {"http://example.org/", "HTTPS://example.org/dl?v=2.12", " https://h.example/x "};
    for (const char* url : accepted) {
        SCOPED_TRACE(url);
        EXPECT_TRUE(net::browsableUrl(url));
    }
    const char* refused[] = {
        "", "   ", "file:///etc/passwd", "javascript:alert(1)", "mailto:a@b.c", "ftp://example.org/",
        "/usr/bin/xterm", "example.org", "http://", "http:///path", "data:text/html,hi",
        "http://exa\nmple.org/", "http://example.org/\r\n",
    };
    for (const char* url : refused) {
        SCOPED_TRACE(url);
        EXPECT_FALSE(net::browsableUrl(url));
    }
}

TEST_F(BrowserLaunch, LaunchesFilteredUrlsOnly) {
    net::openUrlInBrowser("http://example.org/page");
    net::openUrlInBrowser("file:///etc/passwd");
    net::openUrlInBrowser(static_cast<const char*>(nullptr));
    net::openUrlInBrowser("");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "http://example.org/page");
}

TEST_F(BrowserLaunch, GbkTextBecomesAUnicodeUrl) {
    std::string gbk = platform::utf8ToGbk("http://example.org/下载");
    net::openUrlInBrowser(gbk.c_str());
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(QUrl(QString::fromStdString(opened[0])).path().toStdString(), "/下载");
}

TEST_F(BrowserLaunch, CommandWithoutUrlOpensTheDefaultAddress) {
    rt::CallMethod(&net::command::OpenUrlInBrowser, 0, nullptr);
    rt::TaggedArg empty[] = {rt::TaggedArg::ofText(nullptr)};
    rt::CallMethod(&net::command::OpenUrlInBrowser, 1, empty);
    rt::TaggedArg link[] = {rt::TaggedArg::ofText("https://example.org/banner")};
    rt::CallMethod(&net::command::OpenUrlInBrowser, 1, link);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], net::kDefaultBrowserAddress);
    EXPECT_EQ(opened[1], "https://example.org/banner");
}

}  // namespace
