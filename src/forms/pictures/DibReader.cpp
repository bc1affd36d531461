// Bitmap rows of 1, 4, 8, 16, 24 and 32 bits, uncompressed, with colour
// masks, or run-length encoded (8 and 4 bits), to 32-bit images.
#include "forms/pictures/DibReader.h"

#include <algorithm>
#include <bit>
#include <vector>

#include "forms/pictures/DecodeBudget.h"
#include "forms/pictures/Pictures.h"

namespace pictures {
namespace {

enum Compression : uint32_t { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };

struct Header {
    int64_t width = 0, height = 0;  // height > 0 whatever the row order
    bool topDown = false;
    int bits = 0;
    uint32_t compression = Rgb;
    uint32_t masks[4] = {};  // red, green, blue, alpha
    size_t paletteStart = 0;
    size_t paletteEntry = 4;  // bytes per palette entry
    uint32_t colours = 0;     // palette entries
};

bool readHeader(const uint8_t* dib, size_t length, Header& h) {
    if (length < 12) return false;
    uint32_t size = le32(dib);
    if (size == 12) {  // the old core header: 16-bit sizes, 3-byte palette entries
        h.width = le16(dib + 4);
        h.height = le16(dib + 6);
        h.bits = le16(dib + 10);
        h.paletteEntry = 3;
    } else {
        if (size < 40 || size > length) return false;
        h.width = static_cast<int32_t>(le32(dib + 4));
        int32_t height = static_cast<int32_t>(le32(dib + 8));
        h.topDown = height < 0;
        h.height = -int64_t{height} > 0 ? -int64_t{height} : height;
        h.bits = le16(dib + 14);
        h.compression = le32(dib + 16);
        h.colours = le32(dib + 32);
        if (size >= 52) h.masks[0] = le32(dib + 40), h.masks[1] = le32(dib + 44), h.masks[2] = le32(dib + 48);
        if (size >= 56) h.masks[3] = le32(dib + 52);
    }
    h.paletteStart = size;
    // With the plain info header the masks follow it.
    if (size == 40 && (h.compression == BitFields || h.compression == AlphaBitFields)) {
        size_t count = h.compression == BitFields ? 3 : 4;
        if (length < 40 + 4 * count) return false;
        for (size_t i = 0; i < count; ++i) h.masks[i] = le32(dib + 40 + 4 * i);
        h.paletteStart += 4 * count;
    }
    if (h.bits <= 8) {
        uint32_t full = 1u << h.bits;
        h.colours = h.colours == 0 || h.colours > full ? full : h.colours;
    } else {
        h.colours = 0;  // a palette of a true-colour picture is only a hint
    }
    return true;
}

bool validLayout(const Header& h) {
    switch (h.compression) {
        case Rgb: return h.bits == 1 || h.bits == 4 || h.bits == 8 || h.bits == 16 || h.bits == 24 || h.bits == 32;
        case Rle8: return h.bits == 8 && !h.topDown;
        case Rle4: return h.bits == 4 && !h.topDown;
        case BitFields:
        case AlphaBitFields: return h.bits == 16 || h.bits == 32;
        default: return false;
    }
}

// One channel of a masked pixel scaled to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;
    explicit Channel(uint32_t m) : mask(m) {
        if (!m) return;
        shift = std::countr_zero(m);
        max = m >> shift;
    }
    uint32_t of(uint32_t pixel, uint32_t absent) const {
        if (!mask) return absent;
        return static_cast<uint32_t>((uint64_t{(pixel & mask) >> shift} * 255 + max / 2) / max);
    }
};

// Run-length encoded rows to one palette index per pixel (bottom-up).
bool expandRle(const uint8_t* p, size_t length, const Header& h, std::vector<uint8_t>& indices, DecodeBudget& budget) {
    const int64_t width = h.width, height = h.height;
    indices.assign(static_cast<size_t>(width * height), 0);
    int64_t x = 0, y = 0;  // y counts rows from the bottom
    auto put = [&](uint8_t index) {
        if (x < width && y < height) indices[static_cast<size_t>((height - 1 - y) * width + x)] = index;
        x = std::min(x + 1, width);
    };
    const bool four = h.compression == Rle4;
    size_t i = 0;
    while (y < height) {
        if (length - i < 2) return false;
        uint8_t count = p[i], value = p[i + 1];
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count; ++k) put(four ? ((k & 1) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        if (value == 0) {  // end of row
            if (budget.expired()) return false;
            x = 0;
            ++y;
        } else if (value == 1) {  // end of picture
            return true;
        } else if (value == 2) {  // move right and up
            if (length - i < 2) return false;
            x = std::min(x + p[i], width);
            y += p[i + 1];
            i += 2;
        } else {  // `value` literal pixels, padded to a 16-bit boundary
            size_t bytes = four ? (value + 1u) / 2 : value;
            size_t padded = (bytes + 1) & ~size_t{1};
            if (length - i < padded) return false;
            for (int k = 0; k < value; ++k) put(four ? ((k & 1) ? p[i + k / 2] & 0x0F : p[i + k / 2] >> 4) : p[i + k]);
            i += padded;
        }
    }
    return true;
}

}  // namespace

QImage decodeDib(const uint8_t* dib, size_t length, std::optional<size_t> pixelOffset, bool icon,
                 DecodeBudget& budget) {
    Header h;
    if (!dib || !readHeader(dib, length, h) || !validLayout(h)) return QImage();
    if (icon) {
        if (h.topDown || h.height % 2 != 0 || h.compression == Rle8 || h.compression == Rle4) return QImage();
        h.height /= 2;
    }
    if (!acceptableSize(h.width, h.height)) return QImage();

    size_t paletteBytes = size_t{h.colours} * h.paletteEntry;
    if (h.paletteStart > length || length - h.paletteStart < paletteBytes) return QImage();
    std::vector<uint32_t> palette(256, 0xFF000000u);  // indices past the palette are black
    for (uint32_t i = 0; i < h.colours; ++i) {
        const uint8_t* e = dib + h.paletteStart + i * h.paletteEntry;
        palette[i] = 0xFF000000u | (uint32_t{e[2]} << 16) | (uint32_t{e[1]} << 8) | e[0];
    }
    size_t offset = pixelOffset.value_or(h.paletteStart + paletteBytes);
    if (offset > length) return QImage();
    const uint8_t* pixels = dib + offset;
    size_t available = length - offset;

    const int width = static_cast<int>(h.width), height = static_cast<int>(h.height);
    const size_t stride = ((static_cast<size_t>(width) * h.bits + 31) / 32) * 4;
    const bool rle = h.compression == Rle8 || h.compression == Rle4;
    if (!rle && available / stride < static_cast<size_t>(height)) return QImage();

    // The fourth byte of a 32-bit icon is its alpha; other depths have none,
    // and their mask alone makes pixels transparent.
    uint32_t red = 0xFF0000, green = 0xFF00, blue = 0xFF, alpha = icon && h.bits == 32 ? 0xFF000000u : 0;
    if (h.bits == 16) red = 0x7C00, green = 0x03E0, blue = 0x001F, alpha = 0;
    if (h.compression == BitFields || h.compression == AlphaBitFields) {
        red = h.masks[0], green = h.masks[1], blue = h.masks[2];
        alpha = h.masks[3] ? h.masks[3] : alpha;
    } else if (h.bits == 32 && h.masks[3] && !icon) {
        alpha = h.masks[3];  // a newer header that names an alpha channel
    }
    if (h.bits > 8 && (red & green || red & blue || green & blue || alpha & (red | green | blue))) return QImage();
    const Channel r(red), g(green), b(blue), a(h.bits > 8 ? alpha : 0);

    if (!budget.takePixels(int64_t{width} * height)) return QImage();
    QImage image(width, height, a.mask ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull()) return QImage();
    std::vector<uint8_t> indices;
    if (rle && !expandRle(pixels, available, h, indices, budget)) return QImage();

    for (int row = 0; row < height; ++row) {
        if (budget.expired()) return QImage();
        int y = h.topDown ? row : height - 1 - row;  // `row` in storage order
        auto* out = reinterpret_cast<uint32_t*>(image.scanLine(y));
        if (rle) {
            const uint8_t* in = indices.data() + static_cast<size_t>(y) * width;
            for (int x = 0; x < width; ++x) out[x] = palette[in[x]];
            continue;
        }
        const uint8_t* in = pixels + static_cast<size_t>(row) * stride;
        for (int x = 0; x < width; ++x) {
            switch (h.bits) {
                case 1: out[x] = palette[(in[x / 8] >> (7 - x % 8)) & 1]; break;
                case 4: out[x] = palette[(in[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F]; break;
                case 8: out[x] = palette[in[x]]; break;
                case 24: out[x] = 0xFF000000u | (uint32_t{in[3 * x + 2]} << 16) | (uint32_t{in[3 * x + 1]} << 8) | in[3 * x]; break;
                default: {
                    uint32_t v = h.bits == 16 ? le16(in + 2 * x) : le32(in + 4 * x);
                    out[x] = (a.of(v, 255) << 24) | (r.of(v, 0) << 16) | (g.of(v, 0) << 8) | b.of(v, 0);
                }
            }
        }
    }
    if (!icon) return image;

    // An icon without any alpha in its colour rows is cut out by its mask.
    bool anyAlpha = false;
    if (image.hasAlphaChannel())
        for (int y = 0; y < height && !anyAlpha; ++y) {
            const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
            for (int x = 0; x < width && !anyAlpha; ++x) anyAlpha = (line[x] >> 24) != 0;
        }
    if (anyAlpha) return image;
    const size_t maskStride = ((static_cast<size_t>(width) + 31) / 32) * 4;
    const size_t maskOffset = stride * static_cast<size_t>(height);
    const bool hasMask = (available - maskOffset) / maskStride >= static_cast<size_t>(height);
    if (!hasMask && h.bits != 32) return QImage();  // the mask of a palette icon is part of it
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int row = 0; row < height; ++row) {
        auto* out = reinterpret_cast<uint32_t*>(image.scanLine(height - 1 - row));
        const uint8_t* mask = hasMask ? pixels + maskOffset + static_cast<size_t>(row) * maskStride : nullptr;
        for (int x = 0; x < width; ++x) {
            bool clear = mask && ((mask[x / 8] >> (7 - x % 8)) & 1);
            out[x] = clear ? 0 : (out[x] | 0xFF000000u);
        }
    }
    return image;
}

}  // namespace pictures
