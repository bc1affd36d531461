// The picture loader and saver behind picture cells: the picture library's
// reader and PNG writer, unless other routines are installed (tests do).
#pragma once

#include <QImage>

#include <string>
#include <string_view>

namespace grid {

// Image-file bytes to a picture; a null image when they cannot be read.
using PictureLoader = QImage (*)(std::string_view bytes);
// A picture to image-file bytes that the loader reads back; empty on failure.
using PictureSaver = std::string (*)(const QImage& picture);

// Installs routines in place of the picture library's; null restores its own.
void setPictureCodec(PictureLoader load, PictureSaver save);

// Through the installed routines, else the picture library.
QImage loadPicture(std::string_view bytes);
std::string savePicture(const QImage& picture);

// A picture from a file: its bytes through the loader, and when that gives
// nothing, the file read as a Windows bitmap. The name is GBK.
QImage loadPictureFile(std::string_view gbkFileName);

}  // namespace grid
