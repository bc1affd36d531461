// Each decoder on small pictures of known pixels, their rejection of cut
// short and oversized pictures, and the PNG saver's round trip.
#include <gtest/gtest.h>

#include <QColor>
#include <QPainter>

#include <cstdlib>
#include <string>

#include "PictureTestImages.h"
#include "forms/pictures/Pictures.h"

namespace {

using namespace pictures_test;

QImage load(const std::string& bytes) { return pictures::loadPicture(bytes); }
uint32_t rgbAt(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
uint32_t alphaAt(const QImage& image, int x, int y) { return image.pixel(x, y) >> 24; }

// The picture shows the indexed pattern in the palette.
void expectIndexedPattern(const QImage& image, int width, int height, int colours, const char* what,
                          const std::vector<uint32_t>& palette = kPalette) {
    ASSERT_EQ(image.size(), QSize(width, height)) << what;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int index = indexAt(x, y, colours);
            uint32_t expected = palette[static_cast<size_t>(index)];
            ASSERT_EQ(rgbAt(image, x, y), expected) << what << " at " << x << "," << y;
        }
}

void expectTrueColourPattern(const QImage& image, int width, int height, const char* what) {
    ASSERT_EQ(image.size(), QSize(width, height)) << what;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) ASSERT_EQ(rgbAt(image, x, y), trueColourAt(x, y)) << what << " at " << x << "," << y;
}

// Every proper prefix of the file, down to nothing, gives no picture.
void expectPrefixesRejected(const std::string& file, size_t keep, const char* what) {
    ASSERT_FALSE(load(file).isNull()) << what;
    for (size_t n = 0; n + keep < file.size(); ++n)
        ASSERT_TRUE(load(file.substr(0, n)).isNull()) << what << " cut to " << n << " of " << file.size();
}

TEST(BitmapDecoder, UncompressedDepthsAndRowOrders) {
    expectIndexedPattern(load(bmpFile(5, 3, 1, 0, 2, patternRows(5, 3, 1, false))), 5, 3, 2, "1 bit");
    expectIndexedPattern(load(bmpFile(5, 3, 4, 0, 4, patternRows(5, 3, 4, false))), 5, 3, 4, "4 bits");
    expectIndexedPattern(load(bmpFile(5, 3, 8, 0, 4, patternRows(5, 3, 8, false))), 5, 3, 4, "8 bits");
    expectIndexedPattern(load(bmpFile(5, -3, 8, 0, 4, patternRows(5, 3, 8, true))), 5, 3, 4, "8 bits top-down");
    expectTrueColourPattern(load(bmpFile(5, 3, 24, 0, 0, patternRows(5, 3, 24, false))), 5, 3, "24 bits");
    expectTrueColourPattern(load(bmpFile(5, -3, 24, 0, 0, patternRows(5, 3, 24, true))), 5, 3, "24 bits top-down");
    // 32 bits without masks: the fourth byte is unused, the picture opaque.
    QImage plain = load(bmpFile(5, 3, 32, 0, 0, patternRows(5, 3, 32, false, 0)));
    expectTrueColourPattern(plain, 5, 3, "32 bits");
    EXPECT_EQ(alphaAt(plain, 2, 1), 0xFFu);
}

TEST(BitmapDecoder, ColourMasksIncludingAlpha) {
    Bytes masks;
    masks.u32(0x00FF0000).u32(0x0000FF00).u32(0x000000FF).u32(0xFF000000);
    QImage image = load(bmpFile(5, 3, 32, 6, 0, patternRows(5, 3, 32, false, 0x80), masks.data));
    expectTrueColourPattern(image, 5, 3, "32 bits with alpha mask");
    EXPECT_EQ(alphaAt(image, 4, 2), 0x80u);
    // 16 bits 5-6-5: pure red and pure blue pixels.
    Bytes pixels;
    pixels.u16(0xF800).u16(0x001F);
    Bytes masks565;
    masks565.u32(0xF800).u32(0x07E0).u32(0x001F);
    QImage wide = load(bmpFile(2, 1, 16, 3, 0, pixels.data, masks565.data));
    ASSERT_EQ(wide.size(), QSize(2, 1));
    EXPECT_EQ(rgbAt(wide, 0, 0), 0xFF0000u);
    EXPECT_EQ(rgbAt(wide, 1, 0), 0x0000FFu);
    // Overlapping masks describe no picture.
    Bytes overlapping;
    overlapping.u32(0xFF00).u32(0x0FF0).u32(0x000F);
    EXPECT_TRUE(load(bmpFile(2, 1, 16, 3, 0, pixels.data, overlapping.data)).isNull());
}

TEST(BitmapDecoder, RunLengthEncodedRows) {
    // 4 x 2, bottom row first. RLE8: a run of three, a run of one, end of row;
    // a move one to the right, three literal pixels (padded), end of picture.
    Bytes rle8;
    rle8.u8(3).u8(1).u8(1).u8(2).u8(0).u8(0);
    rle8.u8(0).u8(2).u8(1).u8(0).u8(0).u8(3).u8(1).u8(2).u8(3).u8(0).u8(0).u8(1);
    QImage image = load(bmpFile(4, 2, 8, 1, 4, rle8.data));
    ASSERT_EQ(image.size(), QSize(4, 2));
    const uint32_t top[] = {kPalette[0], kPalette[1], kPalette[2], kPalette[3]};  // (0,0) never written: index 0
    const uint32_t bottom[] = {kPalette[1], kPalette[1], kPalette[1], kPalette[2]};
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(rgbAt(image, x, 0), top[x]) << x;
        EXPECT_EQ(rgbAt(image, x, 1), bottom[x]) << x;
    }
    // RLE4: a run of four alternating 1 and 2, end of row; four literal pixels 3 0 2 1.
    Bytes rle4;
    rle4.u8(4).u8(0x12).u8(0).u8(0).u8(0).u8(4).u8(0x30).u8(0x21).u8(0).u8(1);
    QImage four = load(bmpFile(4, 2, 4, 2, 4, rle4.data));
    ASSERT_EQ(four.size(), QSize(4, 2));
    const int fourTop[] = {3, 0, 2, 1}, fourBottom[] = {1, 2, 1, 2};
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(rgbAt(four, x, 0), kPalette[static_cast<size_t>(fourTop[x])]) << x;
        EXPECT_EQ(rgbAt(four, x, 1), kPalette[static_cast<size_t>(fourBottom[x])]) << x;
    }
    // Runs past the right edge are cut, not written into the next row.
    Bytes wide;
    wide.u8(200).u8(3).u8(0).u8(0).u8(2).u8(1).u8(0).u8(1);
    QImage cut = load(bmpFile(4, 2, 8, 1, 4, wide.data));
    ASSERT_FALSE(cut.isNull());
    EXPECT_EQ(rgbAt(cut, 0, 1), kPalette[3]);
    EXPECT_EQ(rgbAt(cut, 0, 0), kPalette[1]);
    EXPECT_EQ(rgbAt(cut, 3, 0), kPalette[0]);
    expectPrefixesRejected(bmpFile(4, 2, 8, 1, 4, rle8.data), 0, "RLE8");
    EXPECT_TRUE(load(bmpFile(4, -2, 8, 1, 4, rle8.data)).isNull());  // compressed rows are never top-down
}

TEST(BitmapDecoder, RejectsBrokenHeadersAndOversizedPictures) {
    std::string good = bmpFile(5, 3, 8, 0, 4, patternRows(5, 3, 8, false));
    expectPrefixesRejected(good, 0, "8-bit bitmap");
    std::string badOffset = good;
    badOffset[10] = static_cast<char>(0xF0);  // pixel rows past the end
    EXPECT_TRUE(load(badOffset).isNull());
    EXPECT_TRUE(load(bmpFile(5, 3, 7, 0, 0, patternRows(5, 3, 8, false))).isNull());  // no such depth
    EXPECT_TRUE(load(bmpFile(5, 0, 24, 0, 0, "")).isNull());
    EXPECT_TRUE(load(bmpFile(0, 3, 24, 0, 0, std::string(60, '\0'))).isNull());
    // Exactly at the side limit it decodes, one past it not, though all rows are there.
    EXPECT_EQ(load(bmpFile(16384, 1, 8, 0, 4, std::string(16384, '\1'))).size(), QSize(16384, 1));
    EXPECT_TRUE(load(bmpFile(16385, 1, 8, 0, 4, std::string(16388, '\1'))).isNull());
    // A height of INT32_MIN has no positive counterpart.
    EXPECT_TRUE(load(bmpFile(1, INT32_MIN, 8, 0, 4, std::string(64, '\0'))).isNull());
}

TEST(IconDecoder, BitmapWithMaskAndTheLargestImage) {
    std::string icon = iconFile(1, {{5, 3, iconBitmap(5, 3)}});
    QImage image = load(icon);
    ASSERT_EQ(image.size(), QSize(5, 3));
    EXPECT_EQ(alphaAt(image, 0, 0), 0u);
    EXPECT_EQ(alphaAt(image, 4, 2), 0u);
    EXPECT_EQ(alphaAt(image, 1, 0), 0xFFu);
    EXPECT_EQ(rgbAt(image, 1, 0), kPalette[1]);
    EXPECT_EQ(rgbAt(image, 3, 2), kPalette[static_cast<size_t>(indexAt(3, 2, 4))]);
    expectPrefixesRejected(icon, 0, "icon");

    // The larger second image, stored as PNG, is chosen over the first.
    QImage big(6, 6, QImage::Format_ARGB32);
    big.fill(QColor(10, 20, 30, 128));
    std::string two = iconFile(1, {{5, 3, iconBitmap(5, 3)}, {6, 6, pictures::savePicturePng(big)}});
    QImage chosen = load(two);
    ASSERT_EQ(chosen.size(), QSize(6, 6));
    EXPECT_EQ(chosen.pixel(2, 2), qRgba(10, 20, 30, 128));
    // When the chosen image is unreadable the next one serves.
    std::string broken = two;
    broken[broken.size() - 20] ^= 0x55;
    EXPECT_EQ(load(broken).size(), QSize(5, 3));
}

TEST(IconDecoder, ThirtyTwoBitImagesUseTheirAlphaUnlessItIsEmpty) {
    auto icon32 = [](uint8_t alpha) {
        Bytes b;
        b.raw(infoHeader(2, 4, 32, 0, 0)).raw(patternRows(2, 2, 32, false, alpha));
        b.u32(0).u32(0x40);  // mask rows, bottom first: only (1, 0) is cleared
        return iconFile(1, {{2, 2, b.data}});
    };
    QImage translucent = load(icon32(0x40));
    ASSERT_EQ(translucent.size(), QSize(2, 2));
    EXPECT_EQ(translucent.pixel(1, 1), (0x40u << 24) | trueColourAt(1, 1));
    EXPECT_EQ(alphaAt(translucent, 1, 0), 0x40u);  // the mask does not count
    QImage masked = load(icon32(0));
    ASSERT_EQ(masked.size(), QSize(2, 2));
    EXPECT_EQ(masked.pixel(0, 0), 0xFF000000u | trueColourAt(0, 0));
    EXPECT_EQ(alphaAt(masked, 1, 0), 0u);
}

// Mask rows (bottom row first) that clear the pixels where `cleared` is true.
template <typename Cleared>
std::string maskRows(int width, int height, Cleared cleared) {
    const size_t stride = ((static_cast<size_t>(width) + 31) / 32) * 4;
    std::string rows;
    for (int row = 0; row < height; ++row) {
        int y = height - 1 - row;
        std::string line(stride, '\0');
        for (int x = 0; x < width; ++x)
            if (cleared(x, y)) line[static_cast<size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
        rows += line;
    }
    return rows;
}

TEST(IconDecoder, ImagesWithoutAlphaAreCutOutByTheirMask) {
    // 24-bit entries came out opaque: their mask was ignored.
    auto cleared = [](int x, int y) { return (x + y) % 3 == 0; };
    auto expectCutOut = [&](const std::string& entry, int width, int height, auto colourAt, const char* what) {
        for (int type : {1, 2}) {
            QImage image = load(iconFile(type, {{width, height, entry}}));
            ASSERT_EQ(image.size(), QSize(width, height)) << what;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    if (cleared(x, y)) {
                        ASSERT_EQ(alphaAt(image, x, y), 0u) << what << " at " << x << "," << y;
                    } else {
                        ASSERT_EQ(image.pixel(x, y), 0xFF000000u | colourAt(x, y)) << what << " at " << x << "," << y;
                    }
                }
        }
    };
    Bytes rgb;
    rgb.raw(infoHeader(5, 6, 24, 0, 0)).raw(patternRows(5, 3, 24, false)).raw(maskRows(5, 3, cleared));
    expectCutOut(rgb.data, 5, 3, trueColourAt, "24 bits");

    // 16 bits, 5 bits a channel: pure colours in turn.
    const uint16_t samples[] = {0x7C00, 0x03E0, 0x001F, 0x7FFF};
    const uint32_t colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    Bytes high;
    high.raw(infoHeader(3, 4, 16, 0, 0));
    for (int row = 0; row < 2; ++row) {
        int y = 1 - row;
        for (int x = 0; x < 3; ++x) high.u16(samples[(x + y) % 4]);
        high.u16(0);  // row padding
    }
    high.raw(maskRows(3, 2, cleared));
    expectCutOut(high.data, 3, 2, [&](int x, int y) { return colours[(x + y) % 4]; }, "16 bits");

    Bytes indexed;
    indexed.raw(infoHeader(5, 6, 4, 0, 4));
    for (uint32_t c : kPalette) indexed.u32(c);
    indexed.raw(patternRows(5, 3, 4, false)).raw(maskRows(5, 3, cleared));
    expectCutOut(indexed.data, 5, 3, [](int x, int y) { return kPalette[static_cast<size_t>(indexAt(x, y, 4))]; },
                 "4 bits");
}

TEST(IconDecoder, CursorsAndTheBitmapOnWhite) {
    std::string cursor = iconFile(2, {{5, 3, iconBitmap(5, 3)}});
    EXPECT_EQ(pictures::decodePicture(reinterpret_cast<const uint8_t*>(cursor.data()), cursor.size()).format,
              pictures::PictureFormat::Cursor);
    QImage bitmap = pictures::pictureToBitmap(cursor);
    ASSERT_EQ(bitmap.size(), QSize(5, 3));
    EXPECT_FALSE(bitmap.hasAlphaChannel());
    EXPECT_EQ(rgbAt(bitmap, 0, 0), 0xFFFFFFu);  // the cleared pixel shows the white ground
    EXPECT_EQ(rgbAt(bitmap, 1, 0), kPalette[1]);
    // Other formats come back as decoded.
    std::string bmp = bmpFile(5, 3, 24, 0, 0, patternRows(5, 3, 24, false));
    expectTrueColourPattern(pictures::pictureToBitmap(bmp), 5, 3, "bitmap");
    EXPECT_TRUE(pictures::pictureToBitmap("nothing!").isNull());
    // A directory that claims more images than the file holds.
    std::string claims = iconFile(1, {{5, 3, iconBitmap(5, 3)}});
    claims[4] = 100;
    EXPECT_TRUE(load(claims).isNull());
}

TEST(PcxDecoder, EightBitWithPaletteAndOneBit) {
    std::string eight = pcxFile(5, 3, 8);
    EXPECT_EQ(pictures::detectPictureFormat(eight), pictures::PictureFormat::Pcx8);
    expectIndexedPattern(load(eight), 5, 3, 4, "8-bit PCX");
    expectPrefixesRejected(eight, 0, "8-bit PCX");
    std::string one = pcxFile(13, 4, 1);
    EXPECT_EQ(pictures::detectPictureFormat(one), pictures::PictureFormat::Pcx1);
    expectIndexedPattern(load(one), 13, 4, 2, "1-bit PCX", {0x000000, 0xFFFFFF});
    expectPrefixesRejected(one, 0, "1-bit PCX");
    std::string inverted = eight;
    inverted[8] = 0;  // right edge left of the left edge
    inverted[9] = 0;
    inverted[4] = 5;
    EXPECT_TRUE(load(inverted).isNull());
}

TEST(PngCodec, SaverRoundTripAndLimits) {
    QImage opaque(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) opaque.setPixel(x, y, 0xFF000000u | trueColourAt(x, y));
    std::string png = pictures::savePicturePng(opaque);
    ASSERT_EQ(png.substr(0, 4), "\x89PNG");
    QImage back = load(png);
    expectTrueColourPattern(back, 7, 5, "opaque PNG");
    EXPECT_EQ(alphaAt(back, 3, 3), 0xFFu);

    QImage translucent(3, 2, QImage::Format_ARGB32);
    translucent.fill(qRgba(200, 100, 50, 77));
    translucent.setPixel(0, 0, qRgba(0, 0, 0, 0));
    QImage again = load(pictures::savePicturePng(translucent));
    ASSERT_EQ(again.size(), QSize(3, 2));
    EXPECT_EQ(again.pixel(2, 1), qRgba(200, 100, 50, 77));
    EXPECT_EQ(alphaAt(again, 0, 0), 0u);
    // Other pixel formats are converted before writing.
    QImage grey(4, 4, QImage::Format_Grayscale8);
    grey.fill(QColor(90, 90, 90));
    EXPECT_EQ(rgbAt(load(pictures::savePicturePng(grey)), 1, 1), 0x5A5A5Au);

    EXPECT_TRUE(pictures::savePicturePng(QImage()).empty());
    expectPrefixesRejected(png, 0, "PNG");
    std::string corrupt = png;
    corrupt[20] ^= 0x01;  // inside the header chunk: its checksum no longer matches
    EXPECT_TRUE(load(corrupt).isNull());
    QImage tooWide(16385, 1, QImage::Format_RGB32);
    tooWide.fill(Qt::black);
    std::string wide = pictures::savePicturePng(tooWide);
    ASSERT_FALSE(wide.empty());
    EXPECT_TRUE(load(wide).isNull());
}

TEST(JpegDecoder, ColourAndGreyPictures) {
    QImage source(16, 16, QImage::Format_RGB32);
    source.fill(QColor(255, 0, 0));
    QPainter(&source).fillRect(8, 0, 8, 16, QColor(0, 0, 255));
    std::string jpeg = jpegFile(source);
    QImage image = load(jpeg);
    ASSERT_EQ(image.size(), QSize(16, 16));
    auto near = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) < 24 && std::abs(a.green() - b.green()) < 24 && std::abs(a.blue() - b.blue()) < 24;
    };
    EXPECT_TRUE(near(image.pixelColor(2, 2), QColor(255, 0, 0))) << image.pixelColor(2, 2).name().toStdString();
    EXPECT_TRUE(near(image.pixelColor(13, 13), QColor(0, 0, 255))) << image.pixelColor(13, 13).name().toStdString();
    // The library would pad a cut picture with grey; a cut picture is none.
    expectPrefixesRejected(jpeg, 0, "JPEG");

    QImage greySource(9, 5, QImage::Format_RGB32);
    greySource.fill(QColor(0, 128, 0));
    QImage grey = load(jpegFile(greySource, true));
    ASSERT_EQ(grey.size(), QSize(9, 5));
    EXPECT_TRUE(near(grey.pixelColor(4, 2), QColor(128, 128, 128)));
}

// A picture of many colours, so that its compressed data spans many bytes.
QImage busyPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 37 + y * 11) % 256, (x * y * 5) % 256, (255 - 9 * y + x * x) % 256));
    return image;
}

// Every cut of the file closed with an end marker gives no picture, or the
// whole picture when all that was cut is padding.
void expectCutsWithEndMarkerRejected(const std::string& jpeg, const char* what) {
    const QImage whole = load(jpeg);
    ASSERT_FALSE(whole.isNull()) << what;
    int decoded = 0;
    for (size_t n = 2; n + 2 < jpeg.size(); ++n) {
        QImage cut = load(jpeg.substr(0, n) + "\xFF\xD9");
        if (cut.isNull()) continue;
        ++decoded;
        ASSERT_EQ(cut, whole) << what << " cut to " << n << " of " << jpeg.size();
    }
    EXPECT_LE(decoded, 2) << what;
}

// Cut before each scan but the first and closed with an end marker: no
// picture. Gives the number of scans.
int expectCutsBetweenScansRejected(const std::string& jpeg, const char* what) {
    int scans = 0;
    for (size_t at = jpeg.find("\xFF\xDA"); at != std::string::npos; at = jpeg.find("\xFF\xDA", at + 2)) {
        if (++scans > 1) {
            EXPECT_TRUE(load(jpeg.substr(0, at) + "\xFF\xD9").isNull()) << what << " before scan " << scans;
        }
    }
    return scans;
}

TEST(JpegDecoder, CutDataClosedByAnEndMarkerIsNoPicture) {
    // The library padded such a picture with grey and reported it decoded.
    expectCutsWithEndMarkerRejected(jpegFile(busyPicture(40, 24)), "baseline");
    expectCutsWithEndMarkerRejected(jpegFile(busyPicture(40, 24), true), "grey");
    // A progressive file cut between two scans is whole scans, but not the
    // whole picture: blocky, blurred or without colour. It is no picture either.
    const std::string progressive = jpegFile(busyPicture(40, 24), false, JpegScans::Progressive);
    expectCutsWithEndMarkerRejected(progressive, "progressive");
    EXPECT_GT(expectCutsBetweenScansRejected(progressive, "progressive"), 5);
    // So is a sequential file of one scan per component, cut before the last.
    const std::string perComponent = jpegFile(busyPicture(40, 24), false, JpegScans::OnePerComponent);
    expectCutsWithEndMarkerRejected(perComponent, "one scan per component");
    EXPECT_EQ(expectCutsBetweenScansRejected(perComponent, "one scan per component"), 3);
}

TEST(JpegDecoder, ExtraneousBytesBeforeAMarkerAreTolerated) {
    const std::string jpeg = jpegFile(busyPicture(40, 24));
    const QImage whole = load(jpeg);
    ASSERT_FALSE(whole.isNull());
    const std::string junk("\x12\x34\x56", 3);
    EXPECT_EQ(load(jpeg.substr(0, jpeg.size() - 2) + junk + "\xFF\xD9"), whole);
    const size_t scan = jpeg.find("\xFF\xDA");
    ASSERT_NE(scan, std::string::npos);
    EXPECT_EQ(load(jpeg.substr(0, scan) + junk + jpeg.substr(scan)), whole);
    const std::string progressive = jpegFile(busyPicture(40, 24), false, JpegScans::Progressive);
    EXPECT_EQ(load(progressive.substr(0, progressive.size() - 2) + junk + "\xFF\xD9"), load(progressive));
}

TEST(GifDecoder, FirstFrameTransparencyAndInterlacing) {
    std::string gif = gifFile(5, 3, false, -1);
    EXPECT_EQ(gif.substr(0, 6), "GIF89a");
    expectIndexedPattern(load(gif), 5, 3, 4, "GIF");
    // Everything but the closing trailer byte is needed.
    expectPrefixesRejected(gif, 1, "GIF");

    expectIndexedPattern(load(gifFile(3, 11, true, -1)), 3, 11, 4, "interlaced GIF");
    QImage clear = load(gifFile(5, 3, false, 2));
    ASSERT_EQ(clear.size(), QSize(5, 3));
    EXPECT_EQ(alphaAt(clear, 2, 0), 0u);  // index 2 is the transparent colour
    EXPECT_EQ(alphaAt(clear, 0, 0), 0xFFu);
    EXPECT_EQ(rgbAt(clear, 0, 0), kPalette[0]);
    EXPECT_TRUE(load(gifFile(16385, 1, false, -1)).isNull());
}

}  // namespace
