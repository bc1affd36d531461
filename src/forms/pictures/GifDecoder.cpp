// GIF pictures through the codec library: the first frame on the logical
// screen, with the transparent colour of its graphic control block. Only
// the records up to the first frame are read.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "forms/pictures/DecodeBudget.h"
#include "forms/pictures/Pictures.h"

namespace pictures {
namespace {

struct MemoryReader {
    const uint8_t* data;
    size_t length;
    size_t position;
};

int readFromMemory(GifFileType* gif, GifByteType* out, int count) {
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    if (count <= 0) return 0;
    size_t n = std::min(static_cast<size_t>(count), reader->length - reader->position);
    std::memcpy(out, reader->data + reader->position, n);
    reader->position += n;
    return static_cast<int>(n);
}

struct GifCloser {
    GifFileType* gif;
    ~GifCloser() {
        int error = 0;
        if (gif) DGifCloseFile(gif, &error);
    }
};

// The rows of an interlaced frame in the order they are stored: every 8th
// from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
std::vector<int> rowOrder(int height, bool interlaced) {
    std::vector<int> order;
    order.reserve(static_cast<size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y) order.push_back(y);
        return order;
    }
    static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass]) order.push_back(y);
    return order;
}

// Draws the frame described by gif->Image onto the canvas; false when its
// pixels cannot all be read.
bool drawFrame(GifFileType* gif, QImage& canvas, int transparent, DecodeBudget& budget) {
    const GifImageDesc& desc = gif->Image;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (!map || !map->Colors || map->ColorCount <= 0) return false;
    int width = desc.Width, height = desc.Height;
    std::vector<GifPixelType> line(static_cast<size_t>(width));
    for (int y : rowOrder(height, desc.Interlace)) {
        if (budget.expired()) return false;
        if (DGifGetLine(gif, line.data(), width) != GIF_OK) return false;
        int cy = desc.Top + y;
        if (cy < 0 || cy >= canvas.height()) continue;
        auto* out = reinterpret_cast<uint32_t*>(canvas.scanLine(cy));
        for (int x = 0; x < width; ++x) {
            int cx = desc.Left + x, index = line[static_cast<size_t>(x)];
            if (cx >= canvas.width() || index == transparent) continue;
            uint32_t pixel = 0xFF000000u;  // an index past the colour map is black
            if (index < map->ColorCount) {
                const GifColorType& c = map->Colors[index];
                pixel |= (uint32_t{c.Red} << 16) | (uint32_t{c.Green} << 8) | c.Blue;
            }
            out[cx] = pixel;
        }
    }
    return true;
}

}  // namespace

QImage decodeGif(const uint8_t* bytes, size_t length, DecodeBudget& budget) {
    if (!bytes || length < 13) return QImage();
    MemoryReader reader{bytes, length, 0};
    int error = 0;
    GifCloser closer{DGifOpen(&reader, &readFromMemory, &error)};
    GifFileType* gif = closer.gif;
    if (!gif) return QImage();
    int transparent = -1;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) != GIF_OK) return QImage();
        if (record == TERMINATE_RECORD_TYPE) return QImage();  // no frame at all
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) != GIF_OK) return QImage();
            bool control = code == GRAPHICS_EXT_FUNC_CODE;
            while (block) {
                // A graphic control block: length 4, flags, delay (2), transparent index.
                if (control && block[0] >= 4 && (block[1] & 1)) transparent = block[4];
                control = false;
                if (DGifGetExtensionNext(gif, &block) != GIF_OK) return QImage();
            }
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE) return QImage();
        if (DGifGetImageDesc(gif) != GIF_OK) return QImage();
        const GifImageDesc& desc = gif->Image;
        if (!acceptableSize(desc.Width, desc.Height) || desc.Left < 0 || desc.Top < 0) return QImage();
        // A logical screen of no size is taken as the frame's extent.
        int64_t width = gif->SWidth > 0 ? gif->SWidth : int64_t{desc.Left} + desc.Width;
        int64_t height = gif->SHeight > 0 ? gif->SHeight : int64_t{desc.Top} + desc.Height;
        if (!acceptableSize(width, height)) return QImage();
        // The frame's pixels are decoded even where they fall off the canvas.
        if (!budget.takePixels(width * height + int64_t{desc.Width} * desc.Height)) return QImage();
        QImage canvas(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32);
        if (canvas.isNull()) return QImage();
        canvas.fill(0);
        if (!drawFrame(gif, canvas, transparent, budget)) return QImage();
        return canvas;
    }
}

QImage decodeGif(const uint8_t* bytes, size_t length) {
    DecodeBudget budget;
    return decodeGif(bytes, length, budget);
}

}  // namespace pictures
