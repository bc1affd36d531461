// The work that decoding one picture may take, shared by every image tried
// for it (an icon's entries one after another): pixels in all, and a
// wall-clock deadline that the decoders check as they decode rows. Hostile
// data can describe images that are cheap to send and dear to decode; the
// size limits bound one image, the budget bounds their sum.
#pragma once

#include <QImage>

#include <chrono>
#include <cstddef>
#include <cstdint>

#include "forms/pictures/Pictures.h"

namespace pictures {

class DecodeBudget {
public:
    using Clock = std::chrono::steady_clock;
    // One picture at the size limit, and as much again for images tried
    // before it that failed.
    static constexpr int64_t kDefaultPixels = 2 * kMaxPixels;
    // Far beyond what the largest legitimate picture takes; only a safety net
    // for work that the pixel count does not measure.
    static constexpr std::chrono::milliseconds kDefaultTime{10000};

    DecodeBudget() : DecodeBudget(kDefaultPixels, kDefaultTime) {}
    DecodeBudget(int64_t pixels, Clock::duration time) : pixelsLeft_(pixels), deadline_(Clock::now() + time) {}

    // Takes the pixels of an image about to be decoded; false, taking
    // nothing, when fewer are left.
    bool takePixels(int64_t count) {
        if (count < 0 || count > pixelsLeft_) return false;
        pixelsLeft_ -= count;
        pixelsTaken_ += count;
        return true;
    }
    int64_t pixelsTaken() const { return pixelsTaken_; }

    // True once the deadline has passed, and from then on without reading
    // the clock again. Decoders ask between rows and give up.
    bool expired() {
        if (!expired_ && Clock::now() >= deadline_) expired_ = true;
        return expired_;
    }

private:
    int64_t pixelsLeft_;
    int64_t pixelsTaken_ = 0;
    Clock::time_point deadline_;
    bool expired_ = false;
};

// decodePicture and the decoders, drawing on a budget shared with the caller.
Picture decodePicture(const uint8_t* bytes, size_t length, DecodeBudget& budget);
QImage decodeJpeg(const uint8_t* bytes, size_t length, DecodeBudget& budget);
QImage decodePng(const uint8_t* bytes, size_t length, DecodeBudget& budget);
QImage decodeGif(const uint8_t* bytes, size_t length, DecodeBudget& budget);
QImage decodeBmp(const uint8_t* bytes, size_t length, DecodeBudget& budget);
QImage decodeIcon(const uint8_t* bytes, size_t length, DecodeBudget& budget);
QImage decodePcx(const uint8_t* bytes, size_t length, DecodeBudget& budget);

}  // namespace pictures
