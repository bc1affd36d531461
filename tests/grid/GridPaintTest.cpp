// Painting: what colour lands where, which lines show, the header emphasis,
// and what cells of the typed columns show.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QPainter>

#include "forms/Units.h"
#include "grid/GridPaint.h"

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
    QImage render() {
        QImage image(grid_->size(), QImage::Format_RGB32);
        image.fill(Qt::black);
        grid_->render(&image);
        return image;
    }
    QColor pixel(int x, int y) { return render().pixelColor(x, y); }
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

// ---- Cell states, lines and header emphasis -------------------------------------

// Pixels of exactly `colour` inside `r`.
int countColour(const QImage& image, const QRect& r, const QColor& colour) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (image.pixelColor(x, y) == colour) ++n;
    return n;
}

// A filled square: its glyph has solid pixels in the text colour whatever the antialiasing.
const std::string kSolid = gbk("■■");

TEST_F(GridPaintTest, TheFocusCellIsFramedAndWrittenInTheFocusColour) {
    grid_->writeSetting(gp::FocusColor, 0xFF0000);
    grid_->setCellText(1, 1, kSolid);
    grid_->setFocusCell(1, 1);
    QImage image = render();
    const QColor focus = rgb(0xFF0000);
    // Cell (1, 1) spans x 40-79, y 20-39; its last column and row carry the grid lines.
    EXPECT_EQ(image.pixelColor(40, 30), focus);
    EXPECT_EQ(image.pixelColor(78, 30), focus);
    EXPECT_EQ(image.pixelColor(60, 20), focus);
    EXPECT_EQ(image.pixelColor(60, 38), focus);
    EXPECT_EQ(image.pixelColor(79, 30), rgb(0x0000FF));  // the grid line stays
    EXPECT_GT(countColour(image, QRect(42, 22, 35, 15), focus), 10);  // the text
    // The frame leaves with the focus.
    grid_->setFocusCell(2, 2);
    image = render();
    EXPECT_EQ(image.pixelColor(40, 30), rgb(0xFFFFFF));
    EXPECT_EQ(countColour(image, QRect(42, 22, 35, 15), focus), 0);
    EXPECT_EQ(image.pixelColor(80, 50), focus);
}

TEST_F(GridPaintTest, MarkedCellsTakeTheSelectionColours) {
    grid_->writeSetting(gp::SelectionBackColor, 0x00FFFF);
    grid_->writeSetting(gp::SelectionTextColor, 0xFF0000);
    grid_->setCellText(1, 1, kSolid);
    grid_->setCellBackColour(1, 1, 0xECECEC);  // a marked cell's own colour gives way
    grid_->setCellMarked(1, 1, true);
    QImage image = render();
    EXPECT_EQ(image.pixelColor(45, 22), rgb(0x00FFFF));
    EXPECT_GT(countColour(image, QRect(42, 22, 35, 15), rgb(0xFF0000)), 10);
    // A text colour equal to the background would hide the text: the highlight text colour is used.
    grid_->writeSetting(gp::SelectionTextColor, 0x00FFFF);
    image = render();
    const QColor highlightText = grid_->palette().color(QPalette::HighlightedText);
    ASSERT_NE(highlightText, rgb(0x00FFFF));
    EXPECT_GT(countColour(image, QRect(42, 22, 35, 15), highlightText), 10);
    grid_->setCellMarked(1, 1, false);
    EXPECT_EQ(pixel(45, 22), rgb(0xECECEC));
}

TEST_F(GridPaintTest, FixedCellsInTheButtonFaceByDefault) {
    grid_->writeSetting(gp::FixedBackColor, static_cast<int32_t>(grid::kDefaultColour));
    const QColor face = forms::colourOf(grid_->buttonFaceColour());
    ASSERT_TRUE(face.isValid());
    EXPECT_EQ(pixel(10, 30), face);
    EXPECT_EQ(pixel(60, 10), face);
    EXPECT_EQ(pixel(10, 10), face);
    // A fixed cell's text defaults to the window text colour.
    grid_->setCellText(0, 1, kSolid);
    EXPECT_GT(countColour(render(), QRect(42, 2, 35, 15), grid_->palette().color(QPalette::WindowText)), 10);
}

// Which lines show for each GridLines value, at the inner edges of the data
// cells, the outer edges of the last column and row, and the fixed cells' edges.
TEST_F(GridPaintTest, GridLinesPerSetting) {
    struct Case {
        int lines;
        bool vertical, horizontal, lastColumn, lastRow, fixedEdges;
    } cases[] = {
        {0, false, false, false, false, false},
        {1, false, true, true, true, true},
        {2, true, false, true, true, true},
        {3, true, true, true, true, true},
    };
    const QColor line = rgb(0x0000FF);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        grid_->writeSetting(gp::GridLines, c.lines);
        QImage image = render();
        EXPECT_EQ(image.pixelColor(79, 30) == line, c.vertical);
        EXPECT_EQ(image.pixelColor(60, 39) == line, c.horizontal);
        EXPECT_EQ(image.pixelColor(119, 30) == line, c.lastColumn);
        EXPECT_EQ(image.pixelColor(100, 59) == line, c.lastRow);
        EXPECT_EQ(image.pixelColor(39, 50) == line, c.fixedEdges);
        EXPECT_EQ(image.pixelColor(60, 19) == line, c.fixedEdges);
        EXPECT_EQ(image.pixelColor(60, 30), rgb(0xFFFFFF));
    }
}

TEST_F(GridPaintTest, TheLineWidthWidensTheLinesAndShrinksTheCells) {
    grid_->setCellBackColour(1, 1, 0xECECEC);
    QImage image = render();
    EXPECT_EQ(image.pixelColor(78, 30), rgb(0xECECEC));  // width 0 draws one pixel
    EXPECT_EQ(image.pixelColor(79, 30), rgb(0x0000FF));
    EXPECT_EQ(image.pixelColor(80, 30), rgb(0xFFFFFF));
    grid_->writeSetting(gp::GridLineWidth, 3);
    image = render();
    EXPECT_EQ(image.pixelColor(78, 30), rgb(0x0000FF));
    EXPECT_EQ(image.pixelColor(79, 30), rgb(0x0000FF));
    EXPECT_EQ(image.pixelColor(80, 30), rgb(0x0000FF));
    EXPECT_EQ(image.pixelColor(75, 30), rgb(0xECECEC));
}

// With the program's own face, which has one weight, the semi-bold headers
// were drawn exactly like the others.
TEST_F(GridPaintTest, HeadersOfTheFocusRowAndColumnStandOutInTheDefaultFace) {
    auto weight = [&](int r, int c) { return grid::displayFont(*grid_, r, c).weight(); };
    // The same texts in two column headers and two row headers.
    for (int i = 1; i <= 2; ++i) {
        grid_->setCellText(0, i, gbk("数量"));
        grid_->setCellText(i, 0, "12");
    }
    // Inside the cells' edges, where the lines meet differently at the last column and row.
    auto columnHeader = [](const QImage& image, int c) { return image.copy(40 * c, 0, 39, 19); };
    auto rowHeader = [](const QImage& image, int r) { return image.copy(0, 20 * r, 39, 19); };
    const QImage plain = render();
    ASSERT_EQ(columnHeader(plain, 1), columnHeader(plain, 2));
    ASSERT_EQ(rowHeader(plain, 1), rowHeader(plain, 2));

    grid_->setFocusCell(1, 1);
    EXPECT_EQ(weight(0, 1), QFont::DemiBold);
    EXPECT_EQ(weight(1, 0), QFont::DemiBold);
    EXPECT_EQ(weight(0, 2), QFont::Normal);
    EXPECT_EQ(weight(2, 0), QFont::Normal);
    EXPECT_EQ(weight(1, 1), QFont::Normal);  // the data cells keep their weight
    QImage focused = render();
    EXPECT_NE(columnHeader(focused, 1), columnHeader(focused, 2));
    EXPECT_NE(rowHeader(focused, 1), rowHeader(focused, 2));
    EXPECT_EQ(columnHeader(focused, 2), columnHeader(plain, 2));
    // Darker, not merely moved: more pixels of the text colour.
    const QColor ink = grid_->palette().color(QPalette::WindowText);
    EXPECT_GT(countColour(focused, QRect(40, 0, 39, 19), ink), countColour(focused, QRect(80, 0, 39, 19), ink));

    // The emphasis follows the focus.
    grid_->setFocusCell(2, 2);
    focused = render();
    EXPECT_EQ(columnHeader(focused, 1), columnHeader(plain, 1));
    EXPECT_EQ(rowHeader(focused, 1), rowHeader(plain, 1));
    EXPECT_NE(columnHeader(focused, 2), columnHeader(plain, 2));
    EXPECT_NE(rowHeader(focused, 2), rowHeader(plain, 2));
}

TEST_F(GridPaintTest, TheDefaultFaceCanShowChinese) {
    const QFontInfo info(grid::displayFont(*grid_, 1, 1));
    EXPECT_TRUE(QFontDatabase::writingSystems(info.family()).contains(QFontDatabase::SimplifiedChinese)) << info.family().toStdString();
}

TEST_F(GridPaintTest, AScrolledViewKeepsItsHeadersInPlace) {
    grid_->setRowCount(20);
    grid_->setCellBackColour(5, 1, 0xECECEC);
    grid_->setCellBackColour(5, 0, 0x00FFFF);
    grid_->scrollToRow(5);
    ASSERT_EQ(grid_->scrollRow(), 5);
    EXPECT_EQ(grid_->cellRect(5, 1).top(), 20);
    EXPECT_EQ(pixel(60, 30), rgb(0xECECEC));  // row 5 right below the header row
    EXPECT_EQ(pixel(10, 30), rgb(0x00FFFF));  // with its row header
    EXPECT_EQ(pixel(60, 10), rgb(0x808080));  // the header row stays
    EXPECT_EQ(pixel(60, 50), rgb(0xFFFFFF));
}

TEST_F(GridPaintTest, GridsWithoutCellsShowTheEmptyArea) {
    grid_->setColumnCount(0);
    EXPECT_EQ(pixel(10, 10), rgb(0x00FF00));
    grid_->setColumnCount(3);
    grid_->setRowCount(0);
    EXPECT_EQ(pixel(10, 10), rgb(0x00FF00));
    EXPECT_EQ(pixel(150, 90), rgb(0x00FF00));
}

// ---- Column types ------------------------------------------------------------------

TEST_F(GridPaintTest, CurrencyAndDateCellsShowTheirDisplayForm) {
    ASSERT_TRUE(grid_->setColumnType(1, 7));
    ASSERT_TRUE(grid_->setColumnType(2, 3));
    grid_->setCellText(0, 1, "12");
    grid_->setCellText(1, 1, "12");
    grid_->setCellText(1, 2, "2020/1/5");
    grid_->setCellText(2, 2, "abc");
    grid_->setCellText(0, 2, "2020/1/5");
    auto shown = [&](int r, int c) { return grid::displayedText(*grid_, r, c).toStdString(); };
    EXPECT_EQ(shown(1, 1), "￥12");
    EXPECT_EQ(shown(2, 1), "");       // an empty one shows nothing
    EXPECT_EQ(shown(0, 1), "12");     // headers as stored
    EXPECT_EQ(shown(1, 2), "2020-01-05");
    EXPECT_EQ(shown(2, 2), "abc");
    EXPECT_EQ(shown(0, 2), "2020/1/5");
    EXPECT_EQ(grid_->cellText(1, 1), "12");  // the stored text keeps no prefix
    // What is painted is the display form.
    const QImage withPrefix = render().copy(40, 20, 40, 20);
    grid_->setColumnType(1, 1);
    grid_->setCellText(1, 1, "12");
    EXPECT_NE(render().copy(40, 20, 40, 20), withPrefix);
}

TEST(GridDateTest, TextsThatReadAsDates) {
    struct Case {
        const char* text;
        const char* shown;  // null: not a date
    } cases[] = {
        {"2020/1/5", "2020-01-05"},  {"2020-01-05", "2020-01-05"}, {"2020.1.5", "2020-01-05"},
        {" 2020/1/5 ", "2020-01-05"}, {"20/1/5", "2020-01-05"},    {"99/12/31", "1999-12-31"},
        {"2020/1/5 13:45", "2020-01-05"}, {"2020/1/5 13:45:10", "2020-01-05"}, {"2024/2/29", "2024-02-29"},
        {"2023/2/29", nullptr},       {"2020/13/1", nullptr},      {"2020/0/1", nullptr},
        {"2020/1-5", nullptr},        {"2020/1/5x", nullptr},      {"2020/1/5 25:00", nullptr},
        {"abc", nullptr},             {"12", nullptr},             {"", nullptr},
        {"202/1/5", nullptr},         {"2020//5", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::optional<std::string> shown = grid::reformatDate(c.text, grid::kDateFormat);
        if (c.shown) {
            ASSERT_TRUE(shown);
            EXPECT_EQ(*shown, c.shown);
        } else {
            EXPECT_FALSE(shown) << *shown;
        }
    }
    EXPECT_EQ(grid::reformatDate(gbk("2020年1月5日"), grid::kDateFormat), "2020-01-05");
    EXPECT_EQ(grid::reformatDate("2020/1/5", "%d.%m.%Y"), "05.01.2020");
    EXPECT_EQ(grid::reformatDate("2020/1/5", "%a %j"), "Sun 005");
}

TEST_F(GridPaintTest, CheckBoxCellsShowAGlyphWhenItFits) {
    ASSERT_TRUE(grid_->setColumnType(1, 5));
    const QRect cell(40, 20, 39, 19);
    const QColor frame(0x80, 0x80, 0x80), tick(Qt::black);
    QImage image = render();
    EXPECT_GT(countColour(image, cell, frame), 20);
    EXPECT_EQ(countColour(image, cell, tick), 0);
    EXPECT_EQ(countColour(image, QRect(40, 0, 39, 19), Qt::white), 0);  // the header stays text
    grid_->setCellChecked(1, 1, true);
    image = render();
    EXPECT_GT(countColour(image, cell, frame), 20);
    EXPECT_GT(countColour(image, cell, tick), 5);
    // A cell too low for the glyph shows none.
    grid_->setRowHeight(1, 10);
    EXPECT_EQ(countColour(render(), QRect(40, 20, 39, 9), tick), 0);
}

TEST_F(GridPaintTest, PictureCellsDrawTheirPicture) {
    ASSERT_TRUE(grid_->setColumnType(1, 6));
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    grid_->setCellPicture(1, 1, red);
    QImage image = render();
    EXPECT_EQ(image.pixelColor(40, 20), QColor(Qt::red));  // top left, natural size
    EXPECT_EQ(image.pixelColor(43, 23), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(44, 24), rgb(0xFFFFFF));
}

TEST(GridPictureTest, PictureModes) {
    QImage picture(4, 2, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const QRect cell(10, 10, 20, 10);
    auto draw = [&](int32_t mode) {
        QImage out(40, 40, QImage::Format_RGB32);
        out.fill(Qt::white);
        QPainter p(&out);
        grid::drawCellPicture(p, cell, picture, mode);
        return out;
    };
    const QColor red(Qt::red), white(Qt::white);
    QImage topLeft = draw(grid::picturemode::TopLeft);
    EXPECT_EQ(topLeft.pixelColor(10, 10), red);
    EXPECT_EQ(topLeft.pixelColor(14, 10), white);
    QImage stretched = draw(grid::picturemode::Stretched);
    EXPECT_EQ(stretched.pixelColor(29, 19), red);
    EXPECT_EQ(stretched.pixelColor(30, 19), white);  // clipped to the cell
    QImage tiled = draw(grid::picturemode::Tiled);
    EXPECT_EQ(countColour(tiled, cell, red), 200);
    EXPECT_EQ(tiled.pixelColor(30, 10), white);
    QImage centred = draw(grid::picturemode::Centred);
    EXPECT_EQ(centred.pixelColor(18, 14), red);
    EXPECT_EQ(centred.pixelColor(10, 10), white);
    EXPECT_EQ(countColour(centred, cell, red), 8);
    QImage fitted = draw(grid::picturemode::Fitted);  // 4:2 into 20 x 10: fills it
    EXPECT_EQ(countColour(fitted, cell, red), 200);
    picture = QImage(2, 2, QImage::Format_RGB32);
    picture.fill(Qt::red);
    fitted = draw(grid::picturemode::Fitted);  // square into 20 x 10: 10 x 10 in the middle
    EXPECT_EQ(fitted.pixelColor(20, 15), red);
    EXPECT_EQ(fitted.pixelColor(11, 15), white);
    EXPECT_EQ(countColour(fitted, cell, red), 100);
}

TEST_F(GridPaintTest, TextFormatFlags) {
    grid_->setColumnWidth(1, 100);
    grid_->setRowHeight(1, 60);
    grid_->setCellText(1, 1, kSolid);
    auto textIn = [&](const QRect& r) { return countColour(render(), r, rgb(0x000000)) > 0; };
    grid_->setCellFormat(1, 1, grid::textformat::Centre | grid::textformat::VerticalCentre | grid::textformat::SingleLine);
    EXPECT_TRUE(textIn(QRect(75, 40, 40, 20)));
    EXPECT_FALSE(textIn(QRect(41, 21, 25, 58)));
    EXPECT_FALSE(textIn(QRect(41, 21, 98, 12)));  // centred vertically, not at the top
    // Vertical centring needs a single line: without it the text starts at the top.
    grid_->setCellFormat(1, 1, grid::textformat::Centre | grid::textformat::VerticalCentre);
    EXPECT_TRUE(textIn(QRect(41, 21, 98, 16)));
    // Word break spreads words over lines; a single line keeps them on one.
    grid_->setColumnWidth(1, 40);
    grid_->setCellText(1, 1, gbk("■■■ ■■■ ■■■"));
    grid_->setCellFormat(1, 1, grid::textformat::WordBreak);
    EXPECT_TRUE(textIn(QRect(41, 40, 37, 38)));
    grid_->setCellFormat(1, 1, grid::textformat::SingleLine);
    EXPECT_FALSE(textIn(QRect(41, 40, 37, 38)));
}

}  // namespace
