// The installed picture routines, and pictures read from files.
#include "grid/PictureCodec.h"

#include <QFile>

#include "forms/Units.h"
#include "forms/pictures/Pictures.h"

namespace grid {
namespace {

PictureLoader gLoad = nullptr;
PictureSaver gSave = nullptr;

}  // namespace

void setPictureCodec(PictureLoader load, PictureSaver save) {
    gLoad = load;
    gSave = save;
}

QImage loadPicture(std::string_view bytes) {
    if (bytes.empty()) return QImage();
    return gLoad ? gLoad(bytes) : pictures::loadPicture(bytes);
}

std::string savePicture(const QImage& picture) {
    if (picture.isNull()) return {};
    return gSave ? gSave(picture) : pictures::savePicturePng(picture);
}

QImage loadPictureFile(std::string_view gbkFileName) {
    if (gbkFileName.empty()) return QImage();
    QFile file(forms::fromGbk(gbkFileName));
    if (!file.open(QIODevice::ReadOnly)) return QImage();
    QByteArray bytes = file.readAll();
    // The picture loader reads Windows bitmaps too, so it is also the bitmap-file fallback.
    return loadPicture(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

}  // namespace grid
