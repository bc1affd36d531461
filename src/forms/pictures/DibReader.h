// The device-independent bitmap shared by bitmap files and icons: an info
// header, colour masks, a palette and the pixel rows.
#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <optional>

namespace pictures {

class DecodeBudget;

// Little-endian fields of data whose length has been checked by the caller.
inline uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t le32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

// Decodes the bitmap whose info header starts at dib[0]; `length` bytes are
// readable. The pixel rows start at pixelOffset (from dib) when given, else
// right after the palette. An icon's bitmap is twice its picture's height:
// the colour rows, then a 1-bit mask whose set bits are transparent where
// the colour rows carry no alpha.
QImage decodeDib(const uint8_t* dib, size_t length, std::optional<size_t> pixelOffset, bool icon,
                 DecodeBudget& budget);

}  // namespace pictures
