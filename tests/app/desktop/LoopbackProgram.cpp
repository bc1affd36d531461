// impostra with its update check pointed at a test server: the program as it
// ships, but the address comes from IMPOSTRA_TEST_UPDATE_ENDPOINT. Built for
// the desktop tests only.
#include <cstdlib>

#include "app/DesktopProgram.h"
#include "app/UpdateCheck.h"

int main(int argc, char** argv) {
    if (const char* endpoint = std::getenv("IMPOSTRA_TEST_UPDATE_ENDPOINT")) app::setUpdateEndpointForTesting(endpoint);
    app::runDesktopProgram(argc, argv);
}
