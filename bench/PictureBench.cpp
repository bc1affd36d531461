// Decoding work on hostile pictures, each next to its reference in the same
// run: an icon of 65,536 bytes whose directory entries (as many as fit) all
// point at one large PNG that fails only at its last checksum, measured
// against that PNG decoded once on its own and against a good icon of the
// same file size; and the same attack at 1.1 MB with 65,535 entries and a PNG
// at the size limit, against that PNG alone.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "forms/pictures/DecodeBudget.h"
#include "forms/pictures/Pictures.h"
#include "PictureTestImages.h"

namespace {

using pictures_test::Bytes;

// A black 8-bit grey PNG, compressed as far as zlib goes, whose last
// checksum is broken: every pixel is decoded before the file fails.
std::string brokenGreyPng(int width, int height) {
    return pictures_test::withBrokenLastChecksum(pictures_test::greyPng(width, height));
}

// A good icon of 32-bit images with alpha, of the given sides.
std::string goodIcon(std::initializer_list<int> sides) {
    Bytes directory, images;
    directory.u16(0).u16(1).u16(static_cast<uint32_t>(sides.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(sides.size());
    for (int side : sides) {
        Bytes dib;
        dib.u32(40).u32(side).u32(2 * side).u16(1).u16(32).zeros(24);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) dib.u32((uint32_t((x + y) * 4 & 0xFF) << 24) | uint32_t(x * 977 + y * 131));
        dib.zeros(static_cast<size_t>((side + 31) / 32 * 4 * side));  // the mask
        directory.u8(side).u8(side).u8(0).u8(0).u16(1).u16(32).u32(static_cast<uint32_t>(dib.data.size())).u32(offset);
        offset += static_cast<uint32_t>(dib.data.size());
        images.raw(dib.data);
    }
    return directory.data + images.data;
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
    static const std::string icon = pictures_test::iconOfOneImage(png4096(), 65536);
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
    static const std::string icon = pictures_test::iconOfOneImage(png8192(), 65535 * 16 + 6 + png8192().size());
    decodeEach(state, icon);
    state.counters["entries"] = static_cast<double>(entryCount(icon));
}
BENCHMARK(BM_PictureHostileIcon1M)->Unit(benchmark::kMillisecond)->Iterations(3);

// Reference: the PNG at the size limit decoded once on its own.
void BM_PictureHostileIcon1M_PngAlone(benchmark::State& state) { decodeEach(state, png8192()); }
BENCHMARK(BM_PictureHostileIcon1M_PngAlone)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
