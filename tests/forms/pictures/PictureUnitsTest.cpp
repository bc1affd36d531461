// The decoders behind the units: the window layer's picture decoder drawn by
// a picture box, and the grid's picture codec.
#include <gtest/gtest.h>

#include <QApplication>

#include "PictureTestImages.h"
#include "forms/PicBox.h"
#include "forms/Units.h"
#include "forms/pictures/Pictures.h"
#include "grid/GridUnit.h"
#include "grid/PictureCodec.h"

namespace {

using namespace pictures_test;

class PictureUnitsTest : public testing::Test {
protected:
    void TearDown() override {
        forms::setPictureDecoder(nullptr);
        grid::setPictureCodec(nullptr, nullptr);
    }
};

TEST_F(PictureUnitsTest, APictureBoxDrawsTheDecodedBitmap) {
    forms::installWindowLayer();
    const std::string bmp = bmpFile(5, 3, 24, 0, 0, patternRows(5, 3, 24, false));
    EXPECT_EQ(forms::decodePicture(bmp).size(), QSize(5, 3));
    forms::PictureBoxWidget box(nullptr);
    box.resize(8, 6);
    box.setBackColour(QColor(Qt::black));
    box.setPicture(bmp);
    QImage shown = box.grab().toImage();
    EXPECT_EQ(shown.pixel(0, 0) & 0xFFFFFF, trueColourAt(0, 0));
    EXPECT_EQ(shown.pixel(4, 2) & 0xFFFFFF, trueColourAt(4, 2));
    EXPECT_EQ(shown.pixel(6, 4) & 0xFFFFFF, 0u);  // outside the picture: the background
    // Bytes of no picture draw nothing over the background.
    box.setPicture("GIF88a and more");
    EXPECT_EQ(box.grab().toImage().pixel(0, 0) & 0xFFFFFF, 0u);
}

// Icons used to be drawn over the box's background; the units draw the
// loader's bitmap, on which an icon's clear pixels are white.
TEST_F(PictureUnitsTest, APictureBoxDrawsIconsAndCursorsOnWhite) {
    forms::installWindowLayer();
    for (int type : {1, 2}) {
        SCOPED_TRACE(type == 1 ? "icon" : "cursor");
        const std::string icon = iconFile(type, {{4, 3, iconBitmap(4, 3)}});
        forms::PictureBoxWidget box(nullptr);
        box.resize(6, 5);
        box.setBackColour(QColor(Qt::black));
        box.setPicture(icon);
        QImage shown = box.grab().toImage();
        EXPECT_EQ(shown.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);  // cleared by the mask: white, not black
        EXPECT_EQ(shown.pixel(3, 2) & 0xFFFFFF, 0xFFFFFFu);
        EXPECT_EQ(shown.pixel(1, 0) & 0xFFFFFF, kPalette[indexAt(1, 0, 4)]);
        EXPECT_EQ(shown.pixel(5, 4) & 0xFFFFFF, 0u);  // outside the picture: the background
        EXPECT_EQ(box.decodeCount(), 1);
        box.grab();
        EXPECT_EQ(box.decodeCount(), 1);  // painting does not decode again
    }
    // Pictures of other formats keep their transparency over the background.
    QImage clear(2, 2, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    forms::PictureBoxWidget box(nullptr);
    box.resize(2, 2);
    box.setBackColour(QColor(Qt::black));
    box.setPicture(pictures::savePicturePng(clear));
    EXPECT_EQ(box.grab().toImage().pixel(0, 0) & 0xFFFFFF, 0u);
}

TEST_F(PictureUnitsTest, GridCellsSaveAsPngAndLoadBack) {
    grid::installGridUnit();
    QImage picture(4, 4, QImage::Format_ARGB32);
    picture.fill(QColor(0, 200, 100));
    std::string bytes = grid::savePicture(picture);
    ASSERT_EQ(bytes.substr(0, 4), "\x89PNG");
    EXPECT_EQ(grid::loadPicture(bytes).pixel(3, 3), qRgb(0, 200, 100));
    EXPECT_EQ(grid::loadPicture(gifFile(5, 3, false, -1)).size(), QSize(5, 3));
    EXPECT_TRUE(grid::loadPicture("BM but nothing else").isNull());
}

}  // namespace
