// Bitmap files (a file header before the bitmap) and icon or cursor files (a
// directory of images, each a bitmap with a mask or a whole PNG file).
#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "forms/pictures/DecodeBudget.h"
#include "forms/pictures/DibReader.h"
#include "forms/pictures/Pictures.h"

namespace pictures {

QImage decodeBmp(const uint8_t* bytes, size_t length, DecodeBudget& budget) {
    constexpr size_t kFileHeader = 14;
    if (!bytes || length < kFileHeader + 12 || bytes[0] != 'B' || bytes[1] != 'M') return QImage();
    size_t pixelOffset = le32(bytes + 10);
    if (pixelOffset < kFileHeader + 12 || pixelOffset > length) return QImage();
    return decodeDib(bytes + kFileHeader, length - kFileHeader, pixelOffset - kFileHeader, false, budget);
}

QImage decodeBmp(const uint8_t* bytes, size_t length) {
    DecodeBudget budget;
    return decodeBmp(bytes, length, budget);
}

namespace {

struct IconEntry {
    int64_t area;
    int bits;
    size_t offset, size;
};

// The readable entries of the directory, the largest image first, the
// deepest of equal size, else in directory order.
std::vector<IconEntry> iconEntries(const uint8_t* bytes, size_t length, uint16_t type, uint16_t count) {
    constexpr size_t kHeader = 6, kEntry = 16;
    std::vector<IconEntry> entries;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = bytes + kHeader + i * kEntry;
        int width = e[0] ? e[0] : 256, height = e[1] ? e[1] : 256;
        // Cursors keep their hot spot where icons keep planes and bit count.
        int bits = type == 1 ? le16(e + 6) : 0;
        size_t size = le32(e + 8), offset = le32(e + 12);
        if (offset > length || size > length - offset || size == 0) continue;
        entries.push_back({int64_t{width} * height, bits, offset, size});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const IconEntry& a, const IconEntry& b) {
        return a.area != b.area ? a.area > b.area : a.bits > b.bits;
    });
    return entries;
}

// Entries that start at the same offset share their image data: only the
// first of them in the order of preference stays, with the longest size any
// of them gives (the decoders ignore bytes past the image's end), so that no
// image is decoded twice however many entries point at it.
std::vector<IconEntry> distinctImages(const std::vector<IconEntry>& entries) {
    std::map<size_t, size_t> longest;
    for (const IconEntry& entry : entries) {
        size_t& size = longest[entry.offset];
        size = std::max(size, entry.size);
    }
    std::vector<IconEntry> distinct;
    std::set<size_t> seen;
    for (IconEntry entry : entries) {
        if (!seen.insert(entry.offset).second) continue;
        entry.size = longest[entry.offset];
        distinct.push_back(entry);
    }
    return distinct;
}

}  // namespace

QImage decodeIcon(const uint8_t* bytes, size_t length, DecodeBudget& budget) {
    constexpr size_t kHeader = 6, kEntry = 16;
    if (!bytes || length < kHeader || le16(bytes) != 0) return QImage();
    uint16_t type = le16(bytes + 2), count = le16(bytes + 4);
    if ((type != 1 && type != 2) || count == 0 || (length - kHeader) / kEntry < count) return QImage();

    for (const IconEntry& entry : distinctImages(iconEntries(bytes, length, type, count))) {
        if (budget.expired()) break;
        const uint8_t* image = bytes + entry.offset;
        bool png = entry.size >= 8 && image[0] == 0x89 && image[1] == 'P' && image[2] == 'N' && image[3] == 'G';
        QImage picture = png ? decodePng(image, entry.size, budget)
                             : decodeDib(image, entry.size, std::nullopt, true, budget);
        if (!picture.isNull()) return picture.convertToFormat(QImage::Format_ARGB32);
    }
    return QImage();
}

QImage decodeIcon(const uint8_t* bytes, size_t length) {
    DecodeBudget budget;
    return decodeIcon(bytes, length, budget);
}

}  // namespace pictures
