// Picture files on disk: the fuzzer's seeds, some of them written by another
// program's encoders, each decodes to its known size through the file loader.
#include <gtest/gtest.h>

#include <QDir>

#include <map>
#include <string>

#include "forms/pictures/Pictures.h"
#include "platform/Gbk.h"

namespace {

TEST(PictureFiles, EverySeedFileDecodes) {
    const std::map<std::string, QSize> sizes = {
        {"opaque.png", {16, 16}},   {"opaque.bmp", {16, 16}},          {"indexed.pcx", {5, 3}},
        {"mono.pcx", {13, 4}},      {"photo.jpg", {16, 16}},           {"pointer.cur", {5, 3}},
        {"rgba.png", {7, 5}},       {"rle4.bmp", {4, 2}},              {"rle8.bmp", {4, 2}},
        {"topdown4.bmp", {5, 3}},   {"two-images.ico", {6, 6}},
    };
    QDir dir(IMPOSTRA_PICTURE_SEEDS);
    for (const auto& [name, size] : sizes) {
        std::string path = platform::utf8ToGbk(dir.filePath(QString::fromStdString(name)).toStdString());
        EXPECT_EQ(pictures::loadPictureFile(path).size(), size) << name;
    }
    EXPECT_TRUE(pictures::loadPictureFile("/nonexistent/picture.png").isNull());
    EXPECT_TRUE(pictures::loadPictureFile("").isNull());
}

TEST(PictureFiles, TheSamePictureAsBitmapAndPngHasTheSamePixels) {
    QDir dir(IMPOSTRA_PICTURE_SEEDS);
    QImage bmp = pictures::loadPictureFile(dir.filePath("opaque.bmp").toStdString());
    QImage png = pictures::loadPictureFile(dir.filePath("opaque.png").toStdString());
    ASSERT_FALSE(bmp.isNull());
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(bmp.convertToFormat(QImage::Format_ARGB32), png.convertToFormat(QImage::Format_ARGB32));
}

}  // namespace
