// The logical-font record that font properties carry (60 bytes), with the
// default GUI font and the point-size conversion.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/RuntimeTexts.h"

namespace rt {

struct LogicalFont {
    int32_t height = 0;  // negative: character height in pixels; positive: cell height
    int32_t width = 0;
    int32_t escapement = 0;  // tenths of a degree
    int32_t orientation = 0;
    int32_t weight = 0;  // 400 normal, 700 bold
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    char faceName[32] = {};  // GBK, zero-terminated
};

static_assert(sizeof(LogicalFont) == 60, "a logical-font record is 60 bytes");

inline constexpr int32_t kBoldWeight = 700;
inline constexpr uint8_t kGb2312CharSet = 134;
inline constexpr size_t kMaxFaceNameLength = sizeof(LogicalFont::faceName) - 1;

// Sets the face name; a name of 1 to 31 bytes is used, anything else becomes the default face.
inline void setFontFaceName(LogicalFont& font, std::string_view name) {
    if (name.empty() || name.size() > kMaxFaceNameLength) name = texts::DefaultFontFace;
    std::memset(font.faceName, 0, sizeof font.faceName);
    std::memcpy(font.faceName, name.data(), name.size());
}

inline std::string_view fontFaceName(const LogicalFont& font) {
    const void* end = std::memchr(font.faceName, 0, sizeof font.faceName);
    size_t length = end ? static_cast<size_t>(static_cast<const char*>(end) - font.faceName) : sizeof font.faceName;
    return std::string_view(font.faceName, length);
}

// The system's default GUI font: the default face, 12 pixels high, normal weight, GB2312.
inline LogicalFont defaultGuiFont() {
    LogicalFont font;
    font.height = -12;
    font.weight = 400;
    font.charSet = kGb2312CharSet;
    setFontFaceName(font, texts::DefaultFontFace);
    return font;
}

// A stored record: exactly 60 bytes, otherwise the default GUI font stands in.
inline LogicalFont fontFromRecord(std::string_view bytes) {
    if (bytes.size() != sizeof(LogicalFont)) return defaultGuiFont();
    LogicalFont font;
    std::memcpy(&font, bytes.data(), sizeof font);
    return font;
}

inline std::string fontRecord(const LogicalFont& font) {
    return std::string(reinterpret_cast<const char*>(&font), sizeof font);
}

// Point sizes are converted at a fixed 96 pixels per inch, the resolution the
// window templates were laid out for: size = round(|height| * 72 / 96) and
// height = -round(size * 96 / 72). A positive (cell) height is read by its
// magnitude as well, which keeps the reading a plausible positive size.
inline int32_t fontPointSize(int32_t height) {
    return static_cast<int32_t>(std::lround(std::abs(static_cast<double>(height)) * 72.0 / 96.0));
}

inline int32_t fontHeightForPointSize(int32_t size) {
    return -static_cast<int32_t>(std::lround(static_cast<double>(size) * 96.0 / 72.0));
}

}  // namespace rt
