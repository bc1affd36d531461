// The picture loader and saver behind picture cells. The grid decodes no
// image format itself: it loads through the window layer's picture decoder
// unless a loader of its own is installed here, and saves only through an
// installed saver.
#pragma once

#include <QImage>

#include <string>
#include <string_view>

namespace grid {

// Image-file bytes to a picture; a null image when they cannot be read.
using PictureLoader = QImage (*)(std::string_view bytes);
// A picture to image-file bytes that the loader reads back; empty on failure.
using PictureSaver = std::string (*)(const QImage& picture);

// Installs the routines; null for none. Without a loader, bytes go to the
// window layer's picture decoder; without a saver, pictures read back as no
// bytes. Nothing is installed at first.
void setPictureCodec(PictureLoader load, PictureSaver save);

// Through the installed routines (see above).
QImage loadPicture(std::string_view bytes);
std::string savePicture(const QImage& picture);

// A picture from a file: its bytes through the loader, and when that gives
// nothing, the file read as a Windows bitmap. The name is GBK.
QImage loadPictureFile(std::string_view gbkFileName);

}  // namespace grid
