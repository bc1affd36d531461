// The update check and the banner click.
#include "app/UpdateCheck.h"

#include <utility>

#include "app/AppTexts.h"
#include "app/Globals.h"
#include "calc/Controls.h"
#include "forms/Units.h"
#include "net/Browser.h"
#include "net/HttpRead.h"
#include "net/XmlMethods.h"
#include "net/XmlTree.h"
#include "runtime/Commands.h"
#include "runtime/Heap.h"
#include "runtime/Host.h"
#include "runtime/Properties.h"
#include "runtime/Text.h"

namespace app {
namespace {

constexpr double kTolerance = 1e-7;
constexpr int32_t kYesNo = 4;
constexpr int32_t kAnsweredYes = 5;  // the message command's number for the Yes button

// The documented children of the update document's root, by position.
constexpr char kNewestVersion[] = "@1/@1", kDownloadPage[] = "@1/@2", kPromptText[] = "@1/@3",
               kBannerImage[] = "@1/@4", kBannerLink[] = "@1/@5", kPromptFlag[] = "@1/@6";

// A node's text for one use: a fresh block, freed when the holder goes.
class NodeText {
public:
    NodeText(xml::XmlTree& tree, const char* path) : text_(xml::call::getNodeText(tree, path)) {}
    ~NodeText() { rt::FreeBlock(text_); }
    NodeText(const NodeText&) = delete;
    NodeText& operator=(const NodeText&) = delete;
    const char* get() const { return text_; }
    char* release() { return std::exchange(text_, nullptr); }
    double number() const { return rt::cmd::toNumber(rt::TaggedArg::ofText(text_)); }

private:
    char* text_;
};

// The banner picture goes to the picture box on the main thread, and only
// while the window is still there: the user may have closed it meanwhile.
void showBanner(const void* image) {
    rt::host().runOnMainThread([image] {
        if (!rt::findLiveControl(calc::kMainWindow, calc::control::Banner)) return;
        rt::WriteProperty(calc::kMainWindow, calc::control::Banner, calc::property::PictureBoxPicture, -1,
                          rt::Words::ofPointer(image));
    });
}

}  // namespace

bool servedVersionIsNewer(double served) { return served - kOwnVersion > kTolerance; }

void runUpdateCheck(const char* endpoint) {
    xml::XmlTree tree;
    void* body = net::httpReadUrl(endpoint);
    // A document that did not load answers every path with empty text.
    (void)xml::call::loadXml(tree, body);

    // The link is set once, from empty; a click before this sees no link.
    if (char* old = globals().bannerLinkUrl.exchange(NodeText(tree, kBannerLink).release())) rt::FreeBlock(old);

    void* image = net::httpReadUrl(NodeText(tree, kBannerImage).get());
    // Served bytes are decoded here, so that however long they take it is
    // not the window's time; the picture box finds them decoded.
    forms::preparePicture(rt::byteSetView(image));
    showBanner(image);
    rt::FreeBlock(image);

    if (servedVersionIsNewer(NodeText(tree, kNewestVersion).number()) &&
        NodeText(tree, kPromptFlag).number() > kTolerance) {
        int32_t answer = rt::cmd::showMessage(rt::TaggedArg::ofText(NodeText(tree, kPromptText).get()), kYesNo,
                                              texts::PromptCaption);
        if (answer == kAnsweredYes) net::openUrlInBrowser(NodeText(tree, kDownloadPage).get());
    }

    xml::call::clearXml(tree);
    rt::FreeBlock(body);
}

namespace {
std::string& endpointForTesting() {
    static std::string endpoint;
    return endpoint;
}
}  // namespace

void setUpdateEndpointForTesting(std::string endpoint) { endpointForTesting() = std::move(endpoint); }

void updateThreadMain() {
    const std::string& endpoint = endpointForTesting();
    runUpdateCheck(endpoint.empty() ? kUpdateEndpoint : endpoint.c_str());
}

void onBannerClicked() {
    const char* link = globals().bannerLinkUrl.load();
    if (!rt::textView(link).empty()) net::openUrlInBrowser(link);
}

}  // namespace app
