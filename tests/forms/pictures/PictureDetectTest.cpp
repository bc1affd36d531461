// Format detection on the first bytes, and what loading makes of short data.
#include <gtest/gtest.h>

#include <string>

#include "forms/pictures/Pictures.h"

namespace {

using pictures::PictureFormat;

PictureFormat detect(const std::string& bytes) { return pictures::detectPictureFormat(bytes); }
std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

TEST(PictureDetect, EachFormatByItsFirstBytes) {
    struct Case {
        std::string bytes;
        PictureFormat format;
    } cases[] = {
        {"BM\xFF\xFF\xFF\xFF\xFF\xFF", PictureFormat::Bitmap},  // whatever follows the letters
        {bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10}), PictureFormat::Jpeg},
        {bytes({0x89, 'P', 'N', 'G', 0, 0}), PictureFormat::Png},  // the first four signature bytes suffice
        {bytes({0, 0, 1, 0, 1, 0}), PictureFormat::Icon},
        {bytes({0, 0, 2, 0, 3, 0}), PictureFormat::Cursor},
        {"GIF87a", PictureFormat::Gif},
        {"GIF89a", PictureFormat::Gif},
        {"GIF88a", PictureFormat::Unknown},
        {"GIF89b", PictureFormat::Unknown},
        {bytes({0x0A, 5, 1, 8, 0, 0}), PictureFormat::Pcx8},
        {bytes({0x0A, 0, 1, 8, 0, 0}), PictureFormat::Pcx8},
        {bytes({0x0A, 6, 1, 8, 0, 0}), PictureFormat::Unknown},
        {bytes({0x0A, 3, 1, 1, 0, 0}), PictureFormat::Pcx1},
        {bytes({0x0A, 5, 1, 1, 0, 0}), PictureFormat::Unknown},
        {bytes({0, 0, 1, 0, 0, 0}), PictureFormat::Unknown},  // an icon header that counts no image
        {bytes({0, 0, 2, 0, 0, 0}), PictureFormat::Unknown},
        {bytes({0, 0, 3, 0, 1, 0}), PictureFormat::Unknown},
        {"BM", PictureFormat::Unknown},  // fewer than six bytes
        {"GIF89", PictureFormat::Unknown},
        {"", PictureFormat::Unknown},
    };
    for (const Case& c : cases) EXPECT_EQ(detect(c.bytes), c.format) << testing::PrintToString(c.bytes);
    EXPECT_EQ(pictures::detectPictureFormat(nullptr, 10), PictureFormat::Unknown);
}

TEST(PictureDetect, TheBitmapTestComesBeforeTheOthers) {
    // "BM" then bytes that would also pass as an icon count are a bitmap.
    EXPECT_EQ(detect(bytes({'B', 'M', 1, 0, 1, 0})), PictureFormat::Bitmap);
    // A word pattern 0, 1, n is an icon even when the PCX bytes could follow.
    EXPECT_EQ(detect(bytes({0, 0, 1, 0, 0x0A, 0})), PictureFormat::Icon);
}

TEST(PictureDetect, LoadingNeedsEightBytesAndAKnownFormat) {
    const std::string jpegStart = bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J'});  // a valid 7-byte JPEG prefix
    EXPECT_EQ(detect(jpegStart), PictureFormat::Jpeg);
    EXPECT_TRUE(pictures::loadPicture(jpegStart).isNull());
    EXPECT_TRUE(pictures::loadPicture("").isNull());
    EXPECT_TRUE(pictures::loadPicture("not a picture at all").isNull());
    EXPECT_TRUE(pictures::loadPicture(bytes({0, 0, 1, 0, 0, 0, 0, 0})).isNull());
    EXPECT_EQ(pictures::decodePicture(nullptr, 100).format, PictureFormat::Unknown);
    // Detected but rejected by its decoder: no picture, reported as unknown.
    EXPECT_EQ(pictures::decodePicture(reinterpret_cast<const uint8_t*>("BM\0\0\0\0\0\0\0\0"), 10).format,
              PictureFormat::Unknown);
}

TEST(PictureDetect, SizeLimits) {
    EXPECT_TRUE(pictures::acceptableSize(16384, 4096));
    EXPECT_TRUE(pictures::acceptableSize(1, 16384));
    EXPECT_FALSE(pictures::acceptableSize(16385, 1));
    EXPECT_FALSE(pictures::acceptableSize(1, 16385));
    EXPECT_FALSE(pictures::acceptableSize(16384, 4097));  // more than 64 M pixels
    EXPECT_FALSE(pictures::acceptableSize(0, 5));
    EXPECT_FALSE(pictures::acceptableSize(5, -1));
}

}  // namespace
