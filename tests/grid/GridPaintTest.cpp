// Plain painting: what colour lands where.
#include <gtest/gtest.h>

#include <QImage>

#include "GridTestSupport.h"

namespace {

using namespace grid_test;
using grid::CGridCtrl;

QColor rgb(uint32_t colorRef) { return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF); }

// A 3 x 3 grid of 40 x 20 cells, one fixed row and column, no border, in a 200 x 100 widget.
class GridPaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        forms::GridSettings s = forms::defaultGridSettings();
        s[gp::RowCount] = 3;
        s[gp::ColumnCount] = 3;
        s[gp::DefaultRowHeight] = 20;
        s[gp::DefaultColumnWidth] = 40;
        s[gp::BorderStyle] = 0;
        s[gp::GridLineColor] = 0x0000FF;
        s[gp::EmptyAreaColor] = 0x00FF00;
        s[gp::CellBackColor] = 0xFFFFFF;
        s[gp::FixedBackColor] = 0x808080;
        grid_ = std::make_unique<CGridCtrl>(s, nullptr);
        grid_->resize(200, 100);
    }
    QColor pixel(int x, int y) {
        QImage image(grid_->size(), QImage::Format_RGB32);
        image.fill(Qt::black);
        grid_->render(&image);
        return image.pixelColor(x, y);
    }
    std::unique_ptr<CGridCtrl> grid_;
};

TEST_F(GridPaintTest, CellsFixedCellsAndTheEmptyArea) {
    EXPECT_EQ(pixel(60, 30), rgb(0xFFFFFF));   // data cell (1, 1)
    EXPECT_EQ(pixel(10, 30), rgb(0x808080));   // fixed column
    EXPECT_EQ(pixel(60, 10), rgb(0x808080));   // fixed row
    EXPECT_EQ(pixel(150, 30), rgb(0x00FF00));  // right of the last column
    EXPECT_EQ(pixel(60, 80), rgb(0x00FF00));   // below the last row
    grid_->setCellBackColour(1, 1, 0xECECEC);
    EXPECT_EQ(pixel(60, 30), rgb(0xECECEC));
}

TEST_F(GridPaintTest, GridLinesFollowTheSetting) {
    // The right edge of column 1 is x = 79, the bottom edge of row 1 is y = 39.
    EXPECT_EQ(pixel(79, 30), rgb(0x0000FF));
    EXPECT_EQ(pixel(60, 39), rgb(0x0000FF));
    grid_->writeSetting(gp::GridLines, 1);
    EXPECT_EQ(pixel(79, 30), rgb(0xFFFFFF));
    EXPECT_EQ(pixel(60, 39), rgb(0x0000FF));
    grid_->writeSetting(gp::GridLines, 0);
    EXPECT_EQ(pixel(60, 39), rgb(0xFFFFFF));
    EXPECT_EQ(pixel(39, 30), rgb(0x808080));  // fixed cells draw no edge either
}

TEST_F(GridPaintTest, TextInTheCellColourAtItsAlignment) {
    grid_->setCellText(1, 1, "W");
    grid_->setCellTextColour(1, 1, 0x000000);
    QImage image(grid_->size(), QImage::Format_RGB32);
    grid_->render(&image);
    auto darkIn = [&](int x0, int x1) {
        for (int x = x0; x < x1; ++x)
            for (int y = 21; y < 39; ++y)
                if (image.pixelColor(x, y).lightness() < 100) return true;
        return false;
    };
    EXPECT_TRUE(darkIn(40, 60));
    grid_->setCellAlignment(1, 1, std::nullopt, std::nullopt, 3);
    image.fill(Qt::black);
    grid_->render(&image);
    EXPECT_FALSE(darkIn(41, 48));
    EXPECT_TRUE(darkIn(60, 79));
}

TEST_F(GridPaintTest, ThePlainBorderTakesOnePixel) {
    grid_->writeSetting(gp::BorderStyle, 5);
    EXPECT_EQ(pixel(0, 50), grid_->palette().color(QPalette::WindowText));
    EXPECT_EQ(pixel(11, 31), rgb(0x808080));  // cells now start one pixel in
    EXPECT_EQ(grid_->cellRect(1, 1), QRect(41, 21, 40, 20));
}

}  // namespace
