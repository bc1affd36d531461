// Format detection on the first bytes, and the dispatch to the decoders.
#include "forms/pictures/Pictures.h"

#include <QFile>
#include <QPainter>

#include "forms/pictures/DecodeBudget.h"
#include "platform/Gbk.h"

namespace pictures {
namespace {

uint16_t word(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// The decoders need at least this much to look at; shorter data is no picture.
constexpr size_t kProbeLength = 8;

}  // namespace

bool acceptableSize(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

PictureFormat detectPictureFormat(const uint8_t* b, size_t length) {
    if (!b || length < 6) return PictureFormat::Unknown;
    if (b[0] == 0x42 && b[1] == 0x4D) return PictureFormat::Bitmap;
    if (b[0] == 0xFF && b[1] == 0xD8) return PictureFormat::Jpeg;
    if (b[0] == 0x89 && b[1] == 0x50 && b[2] == 0x4E && b[3] == 0x47) return PictureFormat::Png;
    uint16_t w0 = word(b), w1 = word(b + 2), w2 = word(b + 4);
    if (w0 == 0 && w1 == 1 && w2 > 0) return PictureFormat::Icon;
    if (w0 == 0 && w1 == 2 && w2 > 0) return PictureFormat::Cursor;
    if (b[0] == 0x47 && b[1] == 0x49 && b[2] == 0x46 && b[3] == 0x38 && (b[4] == 0x37 || b[4] == 0x39) &&
        b[5] == 0x61)
        return PictureFormat::Gif;
    if (b[0] == 0x0A && b[1] <= 5 && b[2] == 1 && b[3] == 8) return PictureFormat::Pcx8;
    if (b[0] == 0x0A && b[1] == 3 && b[2] == 1 && b[3] == 1) return PictureFormat::Pcx1;
    return PictureFormat::Unknown;
}

Picture decodePicture(const uint8_t* bytes, size_t length, DecodeBudget& budget) {
    Picture picture;
    if (!bytes || length < kProbeLength) return picture;
    picture.format = detectPictureFormat(bytes, kProbeLength);
    switch (picture.format) {
        case PictureFormat::Jpeg: picture.image = decodeJpeg(bytes, length, budget); break;
        case PictureFormat::Bitmap: picture.image = decodeBmp(bytes, length, budget); break;
        case PictureFormat::Icon:
        case PictureFormat::Cursor: picture.image = decodeIcon(bytes, length, budget); break;
        case PictureFormat::Gif: picture.image = decodeGif(bytes, length, budget); break;
        case PictureFormat::Pcx8:
        case PictureFormat::Pcx1: picture.image = decodePcx(bytes, length, budget); break;
        case PictureFormat::Png: picture.image = decodePng(bytes, length, budget); break;
        case PictureFormat::Unknown: break;
    }
    if (picture.image.isNull()) picture.format = PictureFormat::Unknown;
    return picture;
}

Picture decodePicture(const uint8_t* bytes, size_t length) {
    DecodeBudget budget;
    return decodePicture(bytes, length, budget);
}

QImage loadPicture(std::string_view bytes) {
    return decodePicture(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()).image;
}

QImage loadPictureFile(std::string_view gbkFileName) {
    if (gbkFileName.empty()) return QImage();
    QFile file(QString::fromStdString(platform::gbkToUtf8(gbkFileName)));
    if (!file.open(QIODevice::ReadOnly)) return QImage();
    QByteArray bytes = file.readAll();
    return loadPicture(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

QImage pictureToBitmap(std::string_view bytes) {
    Picture picture = decodePicture(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    if (picture.format != PictureFormat::Icon && picture.format != PictureFormat::Cursor) return picture.image;
    QImage bitmap(picture.image.size(), QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    QPainter painter(&bitmap);
    painter.drawImage(0, 0, picture.image);
    return bitmap;
}

}  // namespace pictures
