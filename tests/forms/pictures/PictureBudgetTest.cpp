// The bounded work of decoding one picture: icon entries that share their
// image, the pixel count over every image tried, the deadline in every
// decoder, and pictures at the size limit that must still decode.
#include <gtest/gtest.h>

#include <QColor>

#include <chrono>
#include <string>

#include "PictureTestImages.h"
#include "forms/pictures/DecodeBudget.h"
#include "forms/pictures/Pictures.h"

namespace {

using namespace pictures_test;
using pictures::DecodeBudget;

QImage decode(const std::string& bytes, DecodeBudget& budget) {
    return pictures::decodePicture(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), budget).image;
}

DecodeBudget plentyOfTime(int64_t pixels) { return DecodeBudget(pixels, std::chrono::hours(1)); }

size_t entryCount(const std::string& icon) {
    return static_cast<uint8_t>(icon[4]) | (static_cast<uint8_t>(icon[5]) << 8);
}

TEST(DecodeBudget, IconEntriesThatShareTheirImageDecodeItOnce) {
    // Every entry decoded the shared PNG again: a 65 KB icon took seconds, a 1 MB one a day.
    const std::string broken = withBrokenLastChecksum(greyPng(300, 200));
    const std::string hostile = iconOfOneImage(broken, 16 * 1024);
    ASSERT_GT(entryCount(hostile), 900u);
    DecodeBudget budget;
    EXPECT_TRUE(decode(hostile, budget).isNull());
    EXPECT_EQ(budget.pixelsTaken(), 300 * 200);

    // Entries at one offset but of other sizes are the same image: the
    // longest size serves for all of them, so a short one does not cut it.
    std::string sizes = iconOfOneImage(greyPng(300, 200, 0x40), 16 * 1024);
    for (size_t i = 0; i < entryCount(sizes); ++i) sizes[6 + 16 * i + 8] = static_cast<char>(i);  // size, low byte
    DecodeBudget again;
    QImage image = decode(sizes, again);
    ASSERT_EQ(image.size(), QSize(300, 200));
    EXPECT_EQ(image.pixel(299, 199), qRgb(0x40, 0x40, 0x40));
    EXPECT_EQ(again.pixelsTaken(), 300 * 200);
}

TEST(DecodeBudget, PixelsAreCountedOverEveryImageTried) {
    // The larger PNG entry is tried first and fails at its end; the bitmap after it serves.
    const std::string icon = iconFile(1, {{64, 64, withBrokenLastChecksum(greyPng(64, 64))}, {5, 3, iconBitmap(5, 3)}});
    EXPECT_EQ(pictures::loadPicture(icon).size(), QSize(5, 3));
    DecodeBudget enough = plentyOfTime(64 * 64 + 5 * 3);
    EXPECT_EQ(decode(icon, enough).size(), QSize(5, 3));
    DecodeBudget short1 = plentyOfTime(64 * 64 + 5 * 3 - 1);
    EXPECT_TRUE(decode(icon, short1).isNull());
    // What does not fit is not taken: a smaller image still may be.
    DecodeBudget small = plentyOfTime(20);
    EXPECT_EQ(decode(icon, small).size(), QSize(5, 3));
    EXPECT_EQ(small.pixelsTaken(), 15);
}

TEST(DecodeBudget, EveryDecoderStopsAtTheDeadline) {
    QImage colours(9, 5, QImage::Format_RGB32);
    colours.fill(QColor(10, 200, 30));
    const std::string files[] = {
        pictures::savePicturePng(colours),
        jpegFile(colours),
        jpegFile(colours, false, JpegScans::Progressive),
        gifFile(5, 3, false, -1),
        bmpFile(5, 3, 24, 0, 0, patternRows(5, 3, 24, false)),
        bmpFile(4, 2, 8, 1, 4, std::string("\x03\x01\x00\x00\x04\x02\x00\x01", 8)),
        iconFile(1, {{5, 3, iconBitmap(5, 3)}}),
        iconFile(1, {{9, 5, pictures::savePicturePng(colours)}}),
        pcxFile(5, 3, 8),
        pcxFile(13, 4, 1),
    };
    for (const std::string& file : files) {
        DecodeBudget inTime;
        ASSERT_FALSE(decode(file, inTime).isNull()) << testing::PrintToString(file.substr(0, 4));
        DecodeBudget late(DecodeBudget::kDefaultPixels, std::chrono::seconds(0));
        EXPECT_TRUE(decode(file, late).isNull()) << testing::PrintToString(file.substr(0, 4));
    }
}

TEST(DecodeBudget, PicturesAtTheSizeLimitStillDecode) {
    const std::string largest = greyPng(8192, 8192, 0x22);
    QImage image = pictures::loadPicture(largest);
    ASSERT_EQ(image.size(), QSize(8192, 8192));
    EXPECT_EQ(image.pixel(8191, 8191), qRgb(0x22, 0x22, 0x22));
    image = QImage();
    // An icon whose first choice at the limit is broken falls back to a second one as large.
    const std::string icon = iconFile(1, {{0, 0, withBrokenLastChecksum(largest)}, {0, 0, largest}});
    EXPECT_EQ(pictures::loadPicture(icon).size(), QSize(8192, 8192));
}

}  // namespace
