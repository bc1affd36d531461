// The installed picture routines and the picture-file fallback.
#include "grid/PictureCodec.h"

#include <QFile>

#include "forms/Units.h"

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
    return gLoad ? gLoad(bytes) : forms::decodePicture(bytes);
}

std::string savePicture(const QImage& picture) {
    if (!gSave || picture.isNull()) return {};
    return gSave(picture);
}

QImage loadPictureFile(std::string_view gbkFileName) {
    if (gbkFileName.empty()) return QImage();
    QFile file(forms::fromGbk(gbkFileName));
    if (!file.open(QIODevice::ReadOnly)) return QImage();
    QByteArray bytes = file.readAll();
    QImage picture = loadPicture(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    if (picture.isNull()) picture.loadFromData(bytes, "BMP");
    return picture;
}

}  // namespace grid
