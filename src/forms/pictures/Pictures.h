// Picture bytes of every supported file format to images: format detection,
// the decoders, and a PNG writer for pictures that have to be stored again.
// QImage is only the pixel container here; every format is read by this
// library (or the codec library it wraps), never by Qt's image plugins.
#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pictures {

// The format of picture bytes, as decided by their first bytes.
enum class PictureFormat : int {
    Unknown = 0,
    Jpeg = 1,
    Bitmap = 2,
    Icon = 3,
    Cursor = 4,
    Gif = 5,
    Pcx8 = 6,  // 8 bits per pixel
    Pcx1 = 7,  // 1 bit per pixel
    Png = 8,
};

// Every decoder refuses pictures wider or higher than this, or with more pixels.
inline constexpr int32_t kMaxSide = 16384;
inline constexpr int64_t kMaxPixels = int64_t{64} * 1024 * 1024;
// True when a picture of this size may be decoded.
bool acceptableSize(int64_t width, int64_t height);

// Decides the format from the first bytes; fewer than 6 bytes are Unknown.
PictureFormat detectPictureFormat(const uint8_t* bytes, size_t length);
inline PictureFormat detectPictureFormat(std::string_view bytes) {
    return detectPictureFormat(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// A decoded picture: ARGB32 (non-premultiplied) or RGB32 pixels. Icons and
// cursors keep their transparency. A null image when the bytes are shorter
// than 8, of no known format, or rejected by their decoder. The work of one
// call is bounded in all, whatever the bytes (see DecodeBudget.h): pictures
// that would take more give a null image too.
struct Picture {
    PictureFormat format = PictureFormat::Unknown;
    QImage image;
};
Picture decodePicture(const uint8_t* bytes, size_t length);

// The image of decodePicture (the picture decoder of the window units).
QImage loadPicture(std::string_view bytes);
// The contents of a file (its name is GBK) through loadPicture; a null image
// when the file cannot be read.
QImage loadPictureFile(std::string_view gbkFileName);
// loadPicture, with icons and cursors drawn onto white: what a unit that
// cannot show transparency draws.
QImage pictureToBitmap(std::string_view bytes);

// The picture as PNG file bytes (written by this library, read back by
// loadPicture); empty for a null image or when writing fails.
std::string savePicturePng(const QImage& picture);

// The decoders on whole files; each gives a null image for data it rejects.
QImage decodeJpeg(const uint8_t* bytes, size_t length);
QImage decodePng(const uint8_t* bytes, size_t length);
QImage decodeGif(const uint8_t* bytes, size_t length);
QImage decodeBmp(const uint8_t* bytes, size_t length);
QImage decodeIcon(const uint8_t* bytes, size_t length);  // icons and cursors
QImage decodePcx(const uint8_t* bytes, size_t length);

}  // namespace pictures
