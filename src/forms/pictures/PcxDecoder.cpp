// PCX pictures: a 128-byte header, run-length encoded scan lines (one plane
// after the other within a line), and for 8-bit pictures a 256-colour palette
// at the end of the file, marked by the byte 12. Read are 1-bit black and
// white, 8-bit with a palette (grey for the older versions without one) and 8-bit in three planes.
#include <vector>

#include "forms/pictures/DecodeBudget.h"
#include "forms/pictures/DibReader.h"
#include "forms/pictures/Pictures.h"

namespace pictures {
namespace {

constexpr size_t kHeader = 128, kPalette = 769;

// Expands runs until `out` is full; false when the data ends first. A byte
// with both top bits set repeats the next byte (its low six bits) times.
bool expandRuns(const uint8_t* p, size_t length, std::vector<uint8_t>& out) {
    size_t i = 0, n = 0;
    while (n < out.size()) {
        if (i >= length) return false;
        uint8_t b = p[i++];
        size_t count = 1;
        if ((b & 0xC0) == 0xC0) {
            if (i >= length) return false;
            count = b & 0x3F;
            b = p[i++];
        }
        for (; count > 0 && n < out.size(); --count) out[n++] = b;
    }
    return true;
}

}  // namespace

QImage decodePcx(const uint8_t* bytes, size_t length, DecodeBudget& budget) {
    if (!bytes || length < kHeader || bytes[0] != 0x0A || bytes[2] != 1) return QImage();
    const int bits = bytes[3], planes = bytes[65];
    const int64_t width = int64_t{le16(bytes + 8)} - le16(bytes + 4) + 1;
    const int64_t height = int64_t{le16(bytes + 10)} - le16(bytes + 6) + 1;
    const size_t lineBytes = le16(bytes + 66);
    if (!acceptableSize(width, height)) return QImage();
    const bool mono = bits == 1 && planes == 1, indexed = bits == 8 && planes == 1, rgb = bits == 8 && planes == 3;
    if (!mono && !indexed && !rgb) return QImage();
    const size_t needed = mono ? (static_cast<size_t>(width) + 7) / 8 : static_cast<size_t>(width);
    // Lines are padded to an even length, by some writers a little more; a
    // line far longer than its pixels is no picture.
    if (lineBytes < needed || lineBytes > needed + 16) return QImage();
    const uint64_t total = uint64_t{lineBytes} * planes * static_cast<uint64_t>(height);
    // Every byte of a run encodes at most 63 bytes: less data cannot be the whole picture.
    if (total / 63 > length) return QImage();

    std::vector<uint32_t> palette(256);
    for (int i = 0; i < 256; ++i) palette[i] = 0xFF000000u | (0x010101u * i);
    if (mono) palette[1] = 0xFFFFFFFFu;
    size_t dataEnd = length;
    if (indexed && length >= kHeader + kPalette && bytes[length - kPalette] == 12) {
        const uint8_t* p = bytes + length - kPalette + 1;
        for (int i = 0; i < 256; ++i, p += 3) palette[i] = 0xFF000000u | (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
        dataEnd = length - kPalette;
    } else if (indexed && bytes[1] == 5) {
        return QImage();  // version 5 pictures carry their palette: this one was cut short
    }
    if (!budget.takePixels(width * height)) return QImage();
    std::vector<uint8_t> lines(static_cast<size_t>(total));
    if (!expandRuns(bytes + kHeader, dataEnd - kHeader, lines)) return QImage();

    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (image.isNull()) return QImage();
    for (int y = 0; y < image.height(); ++y) {
        if (budget.expired()) return QImage();
        const uint8_t* line = lines.data() + static_cast<size_t>(y) * lineBytes * planes;
        auto* out = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (mono)
                out[x] = palette[(line[x / 8] >> (7 - x % 8)) & 1];
            else if (indexed)
                out[x] = palette[line[x]];
            else
                out[x] = 0xFF000000u | (uint32_t{line[x]} << 16) | (uint32_t{line[lineBytes + x]} << 8) |
                         line[2 * lineBytes + x];
        }
    }
    return image;
}

QImage decodePcx(const uint8_t* bytes, size_t length) {
    DecodeBudget budget;
    return decodePcx(bytes, length, budget);
}

}  // namespace pictures
