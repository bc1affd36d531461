// The picture decoder behind the units' picture properties, and pictures
// prepared on another thread so that the window's thread need not decode them.
#include <deque>
#include <mutex>
#include <string>

#include "forms/Units.h"

namespace forms {
namespace {

PictureDecoder gDecoder = nullptr;

struct PreparedPicture {
    std::string bytes;
    QImage image;
};

// A few at most: a picture is prepared just before it is handed to a unit,
// so an entry lives only until that unit takes it (or its window is gone).
constexpr size_t kMostPrepared = 4;

std::mutex gPreparedMutex;
std::deque<PreparedPicture> gPrepared;

QImage decodeNow(std::string_view bytes) { return gDecoder && !bytes.empty() ? gDecoder(bytes) : QImage(); }

}  // namespace

void setPictureDecoder(PictureDecoder decoder) { gDecoder = decoder; }

void preparePicture(std::string_view bytes) {
    if (bytes.empty()) return;
    QImage image = decodeNow(bytes);
    std::lock_guard lock(gPreparedMutex);
    if (gPrepared.size() == kMostPrepared) gPrepared.pop_front();
    gPrepared.push_back({std::string(bytes), std::move(image)});
}

QImage decodePicture(std::string_view bytes) {
    if (bytes.empty()) return QImage();
    {
        std::lock_guard lock(gPreparedMutex);
        for (auto it = gPrepared.begin(); it != gPrepared.end(); ++it) {
            if (it->bytes != bytes) continue;
            QImage image = std::move(it->image);
            gPrepared.erase(it);
            return image;
        }
    }
    return decodeNow(bytes);
}

}  // namespace forms
