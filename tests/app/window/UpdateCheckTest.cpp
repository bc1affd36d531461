// The update check against a server on the loopback address: the banner
// picture and link, the version comparison and the prompt, and what an
// unreachable server leaves behind.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "LoopbackServer.h"
#include "app/Globals.h"
#include "app/UpdateCheck.h"
#include "forms/pictures/Pictures.h"
#include "net/Browser.h"
#include "window/WindowTestSupport.h"

using namespace app_test;
using nettest::LoopbackServer;
namespace control = calc::control;

namespace {

struct Served {
    std::string version, flag;
    bool sixthChild = true;
};

class UpdateCheck : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        net::setBrowserLauncher([this](const QUrl& url) {
            opened.push_back(url.toString().toStdString());
            return true;
        });
        start();
    }
    void TearDown() override {
        net::setBrowserLauncher({});
        MainWindowFixture::TearDown();
    }

    // Serves the update document at the endpoint's path and the banner image beside it.
    void serve(const Served& s) {
        server = std::make_unique<LoopbackServer>([this, s](const LoopbackServer::Connection& c) {
            if (c.request.rfind("GET /banner.png ", 0) == 0) {
                c.send(LoopbackServer::response("200 OK", "", "banner-bytes"));
                return;
            }
            std::string doc = "<?xml version=\"1.0\" encoding=\"gb2312\"?><update><v>" + s.version +
                              "</v><page>http://127.0.0.1/download</page><text>" + gbk("有新版本，是否下载？") +
                              "</text><img>" + server->url("/banner.png") +
                              "</img><link>http://127.0.0.1/shop</link>" +
                              (s.sixthChild ? "<f>" + s.flag + "</f>" : "") + "</update>";
            c.send(LoopbackServer::response("200 OK", "", doc));
        });
    }
    void check() { app::runUpdateCheck(server->url("/qt/yz/pb/1.php").c_str()); }
    static std::string bannerBytes() {
        void* bytes = rt::ReadProperty(calc::kMainWindow, control::Banner, calc::property::PictureBoxPicture, -1)
                          .pointer<void>();
        std::string s(rt::byteSetView(bytes));
        rt::FreeBlock(bytes);
        return s;
    }
    std::string bannerLink() { return std::string(rt::textView(app::globals().bannerLinkUrl.load())); }

    std::unique_ptr<LoopbackServer> server;
    std::vector<std::string> opened;
};

TEST_F(UpdateCheck, ANewerVersionWithItsFlagAsksAndYesOpensTheDownloadPage) {
    serve({"2.12", "1"});
    host.answer = rt::MessageButton::Yes;
    check();
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, gbk("有新版本，是否下载？"));
    EXPECT_EQ(host.boxes[0].caption, gbk("提示"));
    EXPECT_EQ(host.boxes[0].style & 0xF, 4u);  // Yes and No
    EXPECT_EQ(opened, (std::vector<std::string>{"http://127.0.0.1/download"}));
    EXPECT_EQ(bannerBytes(), "banner-bytes");
    EXPECT_EQ(bannerLink(), "http://127.0.0.1/shop");
    EXPECT_EQ(server->requests().at(0).rfind("GET /qt/yz/pb/1.php HTTP/1.0\r\n", 0), 0u);

    // The banner opens its link.
    app::onBannerClicked();
    EXPECT_EQ(opened.back(), "http://127.0.0.1/shop");
}

TEST_F(UpdateCheck, NoAnswerOpensNothing) {
    serve({"2.12", "1"});
    host.answer = rt::MessageButton::No;
    check();
    EXPECT_EQ(host.boxes.size(), 1u);
    EXPECT_TRUE(opened.empty());
}

TEST_F(UpdateCheck, NoPromptUnlessNewerAndAskedFor) {
    for (const Served& s : {Served{"2.11", "1"}, Served{"2.1", "1"}, Served{"abc", "1"}, Served{"2.12", "0"},
                            Served{"2.12", ""}, Served{"2.12", "", false}}) {
        SCOPED_TRACE(s.version + "/" + s.flag);
        app::freeGlobals();
        serve(s);
        check();
        EXPECT_TRUE(host.boxes.empty());
        // The banner and its link come from the document all the same.
        EXPECT_EQ(bannerBytes(), "banner-bytes");
        EXPECT_EQ(bannerLink(), "http://127.0.0.1/shop");
    }
    EXPECT_TRUE(opened.empty());
}

TEST_F(UpdateCheck, AnUnreachableServerLeavesEverythingEmpty) {
    uint16_t closedPort;
    {
        LoopbackServer gone([](const LoopbackServer::Connection&) {});
        closedPort = gone.port();
    }
    app::runUpdateCheck(("http://127.0.0.1:" + std::to_string(closedPort) + "/qt/yz/pb/1.php").c_str());
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(bannerBytes(), "");
    EXPECT_EQ(app::globals().bannerLinkUrl.load(), nullptr);
    app::onBannerClicked();  // no link: nothing opens
    EXPECT_TRUE(opened.empty());
}

// Served banner bytes used to be decoded in the picture box's paint, on the
// window's thread: a hostile picture froze the window. The decoder here waits,
// before it decodes, until the window's thread has handled an event posted to
// it; on the window's own thread that could never happen.
struct DecodeWatch {
    static inline std::atomic<int> offMainThread{0}, onMainThread{0}, windowAnswered{0};
    static QImage decode(std::string_view bytes) {
        if (rt::host().isMainThread()) {
            ++onMainThread;
        } else {
            ++offMainThread;
            std::atomic<bool> handled{false};
            QMetaObject::invokeMethod(qApp, [&handled] { handled = true; }, Qt::QueuedConnection);
            for (int i = 0; i < 1000 && !handled; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
            if (handled) ++windowAnswered;
        }
        return pictures::pictureToBitmap(bytes);
    }
};

TEST_F(UpdateCheck, TheBannerIsDecodedOnTheUpdateThreadWhileTheWindowGoesOn) {
    QImage red(12, 3, QImage::Format_RGB32);
    red.fill(Qt::red);
    const std::string png = pictures::savePicturePng(red);
    server = std::make_unique<LoopbackServer>([this, png](const LoopbackServer::Connection& c) {
        if (c.request.rfind("GET /banner.png ", 0) == 0) return (void)c.send(LoopbackServer::response("200 OK", "", png));
        c.send(LoopbackServer::response("200 OK", "", "<u><v>2.11</v><a/><b/><i>" + server->url("/banner.png") + "</i></u>"));
    });
    forms::setPictureDecoder(&DecodeWatch::decode);
    std::atomic<bool> done{false};
    std::thread update([&] {
        check();
        done = true;
    });
    while (!done) QApplication::processEvents(QEventLoop::AllEvents, 10);
    update.join();
    settle();
    EXPECT_EQ(DecodeWatch::offMainThread.load(), 1);
    EXPECT_EQ(DecodeWatch::windowAnswered.load(), 1);
    EXPECT_EQ(DecodeWatch::onMainThread.load(), 0);  // the picture box found it decoded
    EXPECT_EQ(bannerBytes(), png);
    QImage shown = widget(control::Banner)->grab().toImage();
    EXPECT_EQ(shown.pixelColor(1, 1), QColor(Qt::red));
    forms::setPictureDecoder(&pictures::pictureToBitmap);
}

TEST(UpdateVersion, NewerOnlyBeyondTheTolerance) {
    EXPECT_TRUE(app::servedVersionIsNewer(2.12));
    EXPECT_FALSE(app::servedVersionIsNewer(2.11));
    EXPECT_FALSE(app::servedVersionIsNewer(2.11 + 1e-8));
    EXPECT_FALSE(app::servedVersionIsNewer(0));
}

}  // namespace
