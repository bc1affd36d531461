// The update check: once per run, on its own thread, the update document is
// fetched; it gives the banner picture and link, the newest version and an
// optional prompt to open the download page.
#pragma once

#include <string>

namespace app {

// The update endpoint: plain http on the default port, no query.
inline constexpr char kUpdateEndpoint[] = "http://update.impostra.example/qt/yz/pb/1.php";
inline constexpr double kOwnVersion = 2.11;

// The thread entry started at the end of onWindowCreated: runUpdateCheck on the endpoint.
void updateThreadMain();
// Points updateThreadMain at another address (a test server); empty restores
// the endpoint. The program itself never calls this. Set before the window loads.
void setUpdateEndpointForTesting(std::string endpoint);
// The whole check against the document at `endpoint`. Nothing is reported on
// failure: an unreachable host or an unreadable document leaves the banner
// empty, the link empty and shows no prompt.
void runUpdateCheck(const char* endpoint);
// Whether a served version is newer than this program's.
bool servedVersionIsNewer(double served);

// The banner's left-button handler: opens the banner link, when there is one.
void onBannerClicked();

}  // namespace app
