// Reads arbitrary bytes as a picture: through format detection, and (chosen
// by the first byte) straight through one decoder, so that each decoder sees
// data that no detection would hand it. A decoded picture must lie within
// the size limits and survive the PNG saver unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "forms/pictures/Pictures.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

void checkPicture(const QImage& image) {
    if (image.isNull()) return;
    check(pictures::acceptableSize(image.width(), image.height()));
    if (int64_t{image.width()} * image.height() > 4096) return;  // keep the round trip quick
    QImage again = pictures::loadPicture(pictures::savePicturePng(image));
    check(again.convertToFormat(QImage::Format_ARGB32) == image.convertToFormat(QImage::Format_ARGB32));
}

using Decoder = QImage (*)(const uint8_t*, size_t);
constexpr Decoder kDecoders[] = {&pictures::decodeJpeg, &pictures::decodePng, &pictures::decodeGif,
                                 &pictures::decodeBmp,  &pictures::decodeIcon, &pictures::decodePcx};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkPicture(pictures::loadPicture(bytes));
    QImage bitmap = pictures::pictureToBitmap(bytes);
    check(bitmap.isNull() || pictures::acceptableSize(bitmap.width(), bitmap.height()));
    if (size > 1) checkPicture(kDecoders[data[0] % std::size(kDecoders)](data + 1, size - 1));
    return 0;
}
