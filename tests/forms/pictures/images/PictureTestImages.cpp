// The test pictures (see the header).
#include "PictureTestImages.h"

#include <cstdio>

#include <gif_lib.h>
#include <jpeglib.h>
#include <zlib.h>

#include <algorithm>
#include <stdexcept>

namespace pictures_test {

std::string infoHeader(int32_t width, int32_t height, int bits, uint32_t compression, uint32_t colours) {
    Bytes b;
    b.u32(40).u32(static_cast<uint32_t>(width)).u32(static_cast<uint32_t>(height)).u16(1).u16(bits).u32(compression);
    b.u32(0).u32(2835).u32(2835).u32(colours).u32(0);
    return b.data;
}

std::string patternRows(int width, int height, int bits, bool topDown, uint8_t alpha) {
    const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    std::string rows;
    for (int row = 0; row < height; ++row) {
        int y = topDown ? row : height - 1 - row;
        std::string line(stride, '\0');
        for (int x = 0; x < width; ++x) {
            if (bits <= 8) {
                int index = indexAt(x, y, bits == 1 ? 2 : 4);
                int shift = 8 - bits - (x * bits) % 8;
                line[static_cast<size_t>(x * bits / 8)] |= static_cast<char>(index << shift);
            } else {
                uint32_t c = trueColourAt(x, y);
                size_t at = static_cast<size_t>(x) * (bits / 8);
                line[at] = static_cast<char>(c & 0xFF);
                line[at + 1] = static_cast<char>((c >> 8) & 0xFF);
                line[at + 2] = static_cast<char>(c >> 16);
                if (bits == 32) line[at + 3] = static_cast<char>(alpha);
            }
        }
        rows += line;
    }
    return rows;
}

std::string bmpFile(int32_t width, int32_t height, int bits, uint32_t compression, int colours,
                    const std::string& pixels, const std::string& masks) {
    Bytes palette;
    for (int i = 0; i < colours; ++i) palette.u32(kPalette[static_cast<size_t>(i) % kPalette.size()]);
    const uint32_t offset = 14 + 40 + static_cast<uint32_t>(masks.size() + palette.data.size());
    Bytes file;
    file.raw("BM").u32(offset + static_cast<uint32_t>(pixels.size())).u32(0).u32(offset);
    file.raw(infoHeader(width, height, bits, compression, static_cast<uint32_t>(colours)));
    file.raw(masks).raw(palette.data).raw(pixels);
    return file.data;
}

std::string iconFile(int type, const std::vector<IconImage>& images) {
    Bytes file;
    file.u16(0).u16(type).u16(static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (const IconImage& image : images) {
        file.u8(image.width & 0xFF).u8(image.height & 0xFF).u8(0).u8(0);
        file.u16(type == 1 ? 1 : 0).u16(type == 1 ? 8 : 0);
        file.u32(static_cast<uint32_t>(image.bytes.size())).u32(offset);
        offset += static_cast<uint32_t>(image.bytes.size());
    }
    for (const IconImage& image : images) file.raw(image.bytes);
    return file.data;
}

std::string iconBitmap(int width, int height) {
    Bytes b;
    b.raw(infoHeader(width, height * 2, 8, 0, 4));
    for (uint32_t c : kPalette) b.u32(c);
    b.raw(patternRows(width, height, 8, false));
    const size_t stride = ((static_cast<size_t>(width) + 31) / 32) * 4;
    for (int row = 0; row < height; ++row) {  // bottom row first
        int y = height - 1 - row;
        std::string line(stride, '\0');
        if (y == 0) line[0] = static_cast<char>(0x80);
        if (y == height - 1) line[static_cast<size_t>((width - 1) / 8)] |= static_cast<char>(0x80 >> ((width - 1) % 8));
        b.raw(line);
    }
    return b.data;
}

namespace {

// Runs of equal bytes within one scan line.
std::string pcxRuns(const std::string& line) {
    std::string out;
    for (size_t i = 0; i < line.size();) {
        size_t n = 1;
        while (i + n < line.size() && n < 63 && line[i + n] == line[i]) ++n;
        uint8_t b = static_cast<uint8_t>(line[i]);
        if (n > 1 || (b & 0xC0) == 0xC0) out.push_back(static_cast<char>(0xC0 | n));
        out.push_back(static_cast<char>(b));
        i += n;
    }
    return out;
}

}  // namespace

std::string pcxFile(int width, int height, int bits) {
    const size_t lineBytes = ((bits == 1 ? (width + 7) / 8 : width) + 1) & ~1;
    Bytes header;
    header.u8(0x0A).u8(bits == 1 ? 3 : 5).u8(1).u8(bits);
    header.u16(0).u16(0).u16(width - 1).u16(height - 1).u16(72).u16(72).zeros(48).u8(0).u8(1);
    header.u16(static_cast<uint32_t>(lineBytes)).u16(1).zeros(58);
    std::string body;
    for (int y = 0; y < height; ++y) {
        std::string line(lineBytes, '\0');
        for (int x = 0; x < width; ++x) {
            if (bits == 1)
                line[static_cast<size_t>(x / 8)] |= static_cast<char>(indexAt(x, y, 2) << (7 - x % 8));
            else
                line[static_cast<size_t>(x)] = static_cast<char>(indexAt(x, y, 4));
        }
        body += pcxRuns(line);
    }
    std::string file = header.data + body;
    if (bits == 8) {
        Bytes palette;
        palette.u8(12);
        for (int i = 0; i < 256; ++i) {
            uint32_t c = i < 4 ? kPalette[static_cast<size_t>(i)] : 0x808080;
            palette.u8(c >> 16).u8(c >> 8).u8(c);
        }
        file += palette.data;
    }
    return file;
}

namespace {

std::string bigEndian32(uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

std::string pngChunk(const char* type, const std::string& data) {
    std::string body = std::string(type, 4) + data;
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
    return bigEndian32(static_cast<uint32_t>(data.size())) + body + bigEndian32(static_cast<uint32_t>(crc));
}

}  // namespace

std::string greyPng(int width, int height, uint8_t grey) {
    std::string header = bigEndian32(static_cast<uint32_t>(width)) + bigEndian32(static_cast<uint32_t>(height));
    header += std::string{8, 0, 0, 0, 0};  // 8 bits, grey, deflate, standard filters, not interlaced
    std::string row(static_cast<size_t>(width) + 1, static_cast<char>(grey));
    row[0] = 0;  // no filter
    z_stream z{};
    if (deflateInit(&z, Z_BEST_COMPRESSION) != Z_OK) throw std::runtime_error("deflateInit");
    std::string compressed;
    char buffer[1 << 16];
    for (int y = 0; y <= height; ++y) {
        bool last = y == height;
        z.next_in = reinterpret_cast<Bytef*>(last ? nullptr : row.data());
        z.avail_in = last ? 0 : static_cast<uInt>(row.size());
        do {
            z.next_out = reinterpret_cast<Bytef*>(buffer);
            z.avail_out = sizeof buffer;
            deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
            compressed.append(buffer, sizeof buffer - z.avail_out);
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    return "\x89PNG\r\n\x1A\n" + pngChunk("IHDR", header) + pngChunk("IDAT", compressed) + pngChunk("IEND", "");
}

std::string withBrokenLastChecksum(std::string file) {
    file.back() = static_cast<char>(file.back() ^ 0x5A);
    return file;
}

std::string iconOfOneImage(const std::string& image, size_t fileSize) {
    const size_t entries = std::min<size_t>((fileSize - 6 - image.size()) / 16, 65535);
    const uint32_t offset = static_cast<uint32_t>(fileSize - image.size());
    Bytes file;
    file.u16(0).u16(1).u16(static_cast<uint32_t>(entries));
    for (size_t i = 0; i < entries; ++i)
        file.u8(0).u8(0).u8(0).u8(0).u16(1).u16(32).u32(static_cast<uint32_t>(image.size())).u32(offset);
    file.zeros(offset - file.data.size()).raw(image);
    return file.data;
}

std::string jpegFile(const QImage& source, bool grey, JpegScans scans) {
    QImage image = source.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(image.width());
    cinfo.image_height = static_cast<JDIMENSION>(image.height());
    cinfo.input_components = grey ? 1 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_scan_info perComponent[3] = {};
    if (scans == JpegScans::Progressive) jpeg_simple_progression(&cinfo);
    if (scans == JpegScans::OnePerComponent) {
        for (int c = 0; c < cinfo.num_components; ++c)
            perComponent[c] = {1, {c, 0, 0, 0}, 0, DCTSIZE2 - 1, 0, 0};
        cinfo.scan_info = perComponent;
        cinfo.num_scans = cinfo.num_components;
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::string greyRow(static_cast<size_t>(image.width()), '\0');
    while (cinfo.next_scanline < cinfo.image_height) {
        uint8_t* line = image.scanLine(static_cast<int>(cinfo.next_scanline));
        if (grey) {
            for (int x = 0; x < image.width(); ++x) greyRow[static_cast<size_t>(x)] = static_cast<char>(line[3 * x + 1]);
            line = reinterpret_cast<uint8_t*>(greyRow.data());
        }
        JSAMPROW row = line;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string file(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&cinfo);
    free(buffer);
    return file;
}

namespace {

int appendToString(GifFileType* gif, const GifByteType* data, int count) {
    static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), static_cast<size_t>(count));
    return count;
}

}  // namespace

std::string gifFile(int width, int height, bool interlaced, int transparent) {
    std::string file;
    int error = 0;
    GifFileType* gif = EGifOpen(&file, &appendToString, &error);
    if (!gif) throw std::runtime_error("EGifOpen");
    GifColorType colours[4];
    for (int i = 0; i < 4; ++i) {
        uint32_t c = kPalette[static_cast<size_t>(i)];
        colours[i] = {static_cast<GifByteType>(c >> 16), static_cast<GifByteType>(c >> 8), static_cast<GifByteType>(c)};
    }
    ColorMapObject* map = GifMakeMapObject(4, colours);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, width, height, 8, 0, map);
    if (transparent >= 0) {
        GifByteType control[4] = {1, 0, 0, static_cast<GifByteType>(transparent)};
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
    }
    EGifPutImageDesc(gif, 0, 0, width, height, interlaced, nullptr);
    std::vector<int> order;
    if (interlaced) {
        for (int y = 0; y < height; y += 8) order.push_back(y);
        for (int y = 4; y < height; y += 8) order.push_back(y);
        for (int y = 2; y < height; y += 4) order.push_back(y);
        for (int y = 1; y < height; y += 2) order.push_back(y);
    } else {
        for (int y = 0; y < height; ++y) order.push_back(y);
    }
    std::vector<GifPixelType> line(static_cast<size_t>(width));
    for (int y : order) {
        for (int x = 0; x < width; ++x) line[static_cast<size_t>(x)] = static_cast<GifPixelType>(indexAt(x, y, 4));
        EGifPutLine(gif, line.data(), width);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return file;
}

}  // namespace pictures_test
