// Small pictures of every format for the decoder tests: bitmaps, icons and
// PCX files assembled byte by byte, JPEG and GIF files written by their codec
// libraries, PNG files by the picture saver. Each picture shows a known
// pattern so that decoded pixels can be compared.
#pragma once

#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

namespace pictures_test {

// Colours as 0xRRGGBB.
inline const std::vector<uint32_t> kPalette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

// The palette index of a pixel of the indexed test pictures.
inline int indexAt(int x, int y, int colours) { return (x + 2 * y) % colours; }
// The colour of a pixel of the true-colour test pictures.
inline uint32_t trueColourAt(int x, int y) {
    return (uint32_t(40 * x + 10) << 16) | (uint32_t(60 * y + 20) << 8) | uint32_t(255 - 30 * x);
}

// Appends little-endian fields.
struct Bytes {
    std::string data;
    Bytes& u8(uint32_t v) {
        data.push_back(static_cast<char>(v & 0xFF));
        return *this;
    }
    Bytes& u16(uint32_t v) { return u8(v).u8(v >> 8); }
    Bytes& u32(uint32_t v) { return u16(v).u16(v >> 16); }
    Bytes& raw(const std::string& s) {
        data += s;
        return *this;
    }
    Bytes& zeros(size_t n) {
        data.append(n, '\0');
        return *this;
    }
};

// A 40-byte bitmap info header.
std::string infoHeader(int32_t width, int32_t height, int bits, uint32_t compression, uint32_t colours);
// Pixel rows of the indexed pattern (1, 4 or 8 bits) or the true-colour
// pattern (24 bits; 32 bits with `alpha` in the fourth byte), padded to four
// bytes, bottom row first unless top-down.
std::string patternRows(int width, int height, int bits, bool topDown, uint8_t alpha = 0);
// A bitmap file: file header, info header, palette of `colours` entries of
// kPalette, then `pixels`.
std::string bmpFile(int32_t width, int32_t height, int bits, uint32_t compression, int colours,
                    const std::string& pixels, const std::string& masks = {});

// An icon (type 1) or cursor (type 2) file of the given images, each with
// its directory size.
struct IconImage {
    int width, height;
    std::string bytes;
};
std::string iconFile(int type, const std::vector<IconImage>& images);
// An 8-bit bitmap of the indexed pattern for an icon, with a mask that
// clears the pixels (0, 0) and (width-1, height-1).
std::string iconBitmap(int width, int height);

// PCX files of the indexed pattern: 8 bits with the 256-colour palette at the
// end (its first entries kPalette), or 1 bit (index 0 black, 1 white).
std::string pcxFile(int width, int height, int bits);

// A PNG file of one grey value, 8 bits per pixel, its rows compressed as far
// as zlib goes: about a thousandth of the pixel count in bytes.
std::string greyPng(int width, int height, uint8_t grey = 0);
// The file with its last checksum (that of the end chunk of a PNG) broken:
// a decoder finds out only after decoding every pixel.
std::string withBrokenLastChecksum(std::string file);
// An icon file of exactly `fileSize` bytes whose directory has as many
// entries as fit before `image`, all of them pointing at it.
std::string iconOfOneImage(const std::string& image, size_t fileSize);

// Written by the codec libraries. A JPEG file holds its picture in one scan,
// in progressive scans, or in one sequential scan per colour component.
enum class JpegScans { One, Progressive, OnePerComponent };
std::string jpegFile(const QImage& image, bool grey = false, JpegScans scans = JpegScans::One);
std::string gifFile(int width, int height, bool interlaced, int transparent);

}  // namespace pictures_test
