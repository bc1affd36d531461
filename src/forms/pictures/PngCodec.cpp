// PNG pictures through the codec library: reading from memory into ARGB32
// and writing an image back. Errors come back by longjmp to the routine that
// set the jump point; the frames between hold only trivially destructible
// locals, and everything with a destructor lives in the caller.
#include <png.h>

#include <csetjmp>
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

void readFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (count > reader->length - reader->position) png_error(png, "truncated");
    std::memcpy(out, reader->data + reader->position, count);
    reader->position += count;
}

void ignoreWarning(png_structp, png_const_charp) {}
void failOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

struct ReadState {
    QImage image;
};

// Reads the whole stream up to its end chunk into state.image; false on any
// error, or when the budget runs out.
bool readPng(png_structp png, png_infop info, ReadState& state, DecodeBudget& budget) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_set_chunk_malloc_max(png, 64 * 1024 * 1024);
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colour = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colour, &interlace, nullptr, nullptr);
    if (!acceptableSize(width, height)) return false;

    if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (depth == 16) png_set_strip_16(png);
    if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);  // B G R A in memory: QImage's 32-bit layout on little-endian machines
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4) return false;

    if (!budget.takePixels(int64_t{width} * height)) return false;
    state.image = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32);
    if (state.image.isNull()) return false;
    // Row by row rather than the whole image at once, to keep to the deadline;
    // an interlaced picture fills each row a little in every pass.
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y) {
            if (budget.expired()) return false;
            png_read_row(png, state.image.scanLine(static_cast<int>(y)), nullptr);
        }
    png_read_end(png, nullptr);
    return true;
}

void writeToString(png_structp png, png_bytep data, png_size_t count) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), count);
}
void flushNothing(png_structp) {}

struct WriteState {
    QImage image;  // ARGB32
    std::vector<png_bytep> rows;
    std::string bytes;
};

bool writePng(png_structp png, png_infop info, WriteState& state) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, &state.bytes, &writeToString, &flushNothing);
    bool alpha = state.image.hasAlphaChannel();
    png_set_IHDR(png, info, static_cast<png_uint_32>(state.image.width()), static_cast<png_uint_32>(state.image.height()),
                 8, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    if (!alpha) png_set_filler(png, 0, PNG_FILLER_AFTER);  // drops the unused fourth byte
    png_write_image(png, state.rows.data());
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

QImage decodePng(const uint8_t* bytes, size_t length, DecodeBudget& budget) {
    if (!bytes || length < 8 || png_sig_cmp(bytes, 0, 8) != 0) return QImage();
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, &failOnError, &ignoreWarning);
    if (!png) return QImage();
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return QImage();
    }
    MemoryReader reader{bytes, length, 0};
    png_set_read_fn(png, &reader, &readFromMemory);
    ReadState state;
    bool ok = readPng(png, info, state, budget);
    png_destroy_read_struct(&png, &info, nullptr);
    return ok ? state.image : QImage();
}

QImage decodePng(const uint8_t* bytes, size_t length) {
    DecodeBudget budget;
    return decodePng(bytes, length, budget);
}

std::string savePicturePng(const QImage& picture) {
    if (picture.isNull()) return {};
    WriteState state;
    state.image = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    state.rows.resize(static_cast<size_t>(state.image.height()));
    for (int y = 0; y < state.image.height(); ++y) state.rows[static_cast<size_t>(y)] = state.image.scanLine(y);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, &failOnError, &ignoreWarning);
    if (!png) return {};
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return {};
    }
    bool ok = writePng(png, info, state);
    png_destroy_write_struct(&png, &info);
    return ok ? std::move(state.bytes) : std::string();
}

}  // namespace pictures
