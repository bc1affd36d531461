// Decoding work on hostile pictures, each next to its reference in the same
// run: an icon of 65,536 bytes whose directory entries (as many as fit) all
// point at one large PNG that fails only at its last checksum, measured
// against that PNG decoded once on its own and against a good icon of the
// same file size; and the same attack at 1.1 MB with 65,535 entries and a PNG
// at the size limit, against that PNG alone.
#include <benchmark/benchmark.h>

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "forms/pictures/DecodeBudget.h"
#include "forms/pictures/Pictures.h"

namespace {

void put16(std::string& s, uint32_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void put32(std::string& s, uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

std::string bigEndian32(uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

std::string pngChunk(const char* type, const std::string& data) {
    std::string body = std::string(type, 4) + data;
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
    return bigEndian32(static_cast<uint32_t>(data.size())) + body + bigEndian32(static_cast<uint32_t>(crc));
}

// A black 8-bit grey PNG, compressed as far as zlib goes, whose end chunk's
// checksum is broken: every pixel is decoded before the file fails.
std::string brokenGreyPng(int width, int height) {
    std::string header = bigEndian32(static_cast<uint32_t>(width)) + bigEndian32(static_cast<uint32_t>(height));
    header += std::string{8, 0, 0, 0, 0};
    const std::string row(static_cast<size_t>(width) + 1, '\0');  // filter byte, then the pixels
    z_stream z{};
    if (deflateInit(&z, Z_BEST_COMPRESSION) != Z_OK) throw std::runtime_error("deflateInit");
    std::string compressed;
    char buffer[1 << 16];
    for (int y = 0; y <= height; ++y) {
        bool last = y == height;
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(last ? nullptr : row.data()));
        z.avail_in = last ? 0 : static_cast<uInt>(row.size());
        do {
            z.next_out = reinterpret_cast<Bytef*>(buffer);
            z.avail_out = sizeof buffer;
            deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
            compressed.append(buffer, sizeof buffer - z.avail_out);
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    std::string png = "\x89PNG\r\n\x1A\n" + pngChunk("IHDR", header) + pngChunk("IDAT", compressed);
    png += pngChunk("IEND", "");
    png.back() = static_cast<char>(png.back() ^ 0x5A);
    return png;
}

// An icon of `fileSize` bytes: as many directory entries as fit (at most
// 65,535), all pointing at `image` at the end of the file.
std::string iconOfOneImage(const std::string& image, size_t fileSize) {
    const size_t entries = std::min<size_t>((fileSize - 6 - image.size()) / 16, 65535);
    const uint32_t offset = static_cast<uint32_t>(fileSize - image.size());
    std::string file;
    put16(file, 0), put16(file, 1), put16(file, static_cast<uint32_t>(entries));
    for (size_t i = 0; i < entries; ++i) {
        file += std::string{0, 0, 0, 0};
        put16(file, 1), put16(file, 32), put32(file, static_cast<uint32_t>(image.size())), put32(file, offset);
    }
    file.resize(offset, '\0');
    return file + image;
}

// A good icon of 32-bit images with alpha, of the given sides.
std::string goodIcon(std::initializer_list<int> sides) {
    std::string directory, images;
    put16(directory, 0), put16(directory, 1), put16(directory, static_cast<uint32_t>(sides.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(sides.size());
    for (int side : sides) {
        std::string dib;
        put32(dib, 40), put32(dib, side), put32(dib, 2 * side), put16(dib, 1), put16(dib, 32);
        for (int i = 0; i < 6; ++i) put32(dib, 0);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                put32(dib, (uint32_t((x + y) * 4 & 0xFF) << 24) | uint32_t(x * 977 + y * 131));
        dib.append(static_cast<size_t>((side + 31) / 32 * 4 * side), '\0');  // the mask
        directory += std::string{static_cast<char>(side), static_cast<char>(side), 0, 0};
        put16(directory, 1), put16(directory, 32);
        put32(directory, static_cast<uint32_t>(dib.size())), put32(directory, offset);
        offset += static_cast<uint32_t>(dib.size());
        images += dib;
    }
    return directory + images;
}

void decodeEach(benchmark::State& state, const std::string& bytes) {
    int64_t pixels = 0;
    for (auto _ : state) {
        pictures::DecodeBudget budget;
        pictures::Picture picture =
            pictures::decodePicture(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), budget);
        benchmark::DoNotOptimize(picture.image);
        pixels = budget.pixelsTaken();
    }
    state.counters["file_bytes"] = static_cast<double>(bytes.size());
    state.counters["pixels_decoded"] = static_cast<double>(pixels);
}

size_t entryCount(const std::string& icon) {
    return static_cast<uint8_t>(icon[4]) | (static_cast<uint8_t>(icon[5]) << 8);
}

const std::string& png4096() {
    static const std::string png = brokenGreyPng(4096, 4096);
    return png;
}
const std::string& png8192() {
    static const std::string png = brokenGreyPng(8192, 8192);
    return png;
}

void BM_PictureHostileIcon65K(benchmark::State& state) {
    static const std::string icon = iconOfOneImage(png4096(), 65536);
    decodeEach(state, icon);
    state.counters["entries"] = static_cast<double>(entryCount(icon));
}
BENCHMARK(BM_PictureHostileIcon65K)->Unit(benchmark::kMillisecond);

// Reference: the icon's PNG decoded once on its own.
void BM_PictureHostileIcon65K_PngAlone(benchmark::State& state) { decodeEach(state, png4096()); }
BENCHMARK(BM_PictureHostileIcon65K_PngAlone)->Unit(benchmark::kMillisecond);

// Reference: a good icon of about the same file size.
void BM_PictureHostileIcon65K_GoodIcon(benchmark::State& state) {
    static const std::string icon = goodIcon({16, 24, 32, 48, 64, 86});
    decodeEach(state, icon);
    state.counters["entries"] = static_cast<double>(entryCount(icon));
}
BENCHMARK(BM_PictureHostileIcon65K_GoodIcon)->Unit(benchmark::kMillisecond);

void BM_PictureHostileIcon1M(benchmark::State& state) {
    static const std::string icon = iconOfOneImage(png8192(), 65535 * 16 + 6 + png8192().size());
    decodeEach(state, icon);
    state.counters["entries"] = static_cast<double>(entryCount(icon));
}
BENCHMARK(BM_PictureHostileIcon1M)->Unit(benchmark::kMillisecond)->Iterations(3);

// Reference: the PNG at the size limit decoded once on its own.
void BM_PictureHostileIcon1M_PngAlone(benchmark::State& state) { decodeEach(state, png8192()); }
BENCHMARK(BM_PictureHostileIcon1M_PngAlone)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
