// Setting and reading cell data, and alignment and background over ranges.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>

#include "grid/PictureCodec.h"
#include "runtime/Heap.h"
#include "GridTestSupport.h"

namespace {

using namespace grid_test;
using grid::CGridCtrl;
using grid::CellData;

constexpr int32_t kNumber = 2, kCheckBox = 5, kPicture = 6, kCurrency = 7;

bool setText(CGridCtrl& g, int row, int column, std::string_view text) {
    TextArg a(text);
    return g.setCellData(row, column, grid::datakind::Value, a.arg());
}

TEST(GridSetCellData, TextColumnsTakeEveryValueTypeButBool) {
    CGridCtrl g;
    struct Case { rt::TaggedArg value; const char* text; };
    const Case cases[] = {
        {rt::TaggedArg::ofDouble(0.1), "0.1"},
        {floatArg(0.1f), "0.1"},
        {rt::TaggedArg::ofDouble(1.0 / 3), "0.3333333333333"},
        {floatArg(1.0f / 3), "0.333333"},
        {rt::TaggedArg::ofLong(-9000000000LL), "-9000000000"},
        {rt::TaggedArg{200, 0, rt::tag::Byte}, "200"},
        {rt::TaggedArg{0xFFFF, 0, rt::tag::Short}, "-1"},
        {rt::TaggedArg::ofText(nullptr), ""},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(g.setCellData(3, 1, 1, c.value)) << c.text;
        EXPECT_EQ(g.cellText(3, 1), c.text);
    }
    g.setCellText(3, 1, "kept");
    g.setCellFormat(3, 1, 0x0805);
    EXPECT_FALSE(g.setCellData(3, 1, 1, rt::TaggedArg::ofBool(true)));
    EXPECT_FALSE(g.setCellData(3, 1, 1, rt::TaggedArg{}));
    EXPECT_FALSE(g.setCellData(5, 1, 1, rt::TaggedArg::ofInt(1)));  // no row 5
    EXPECT_FALSE(g.setCellData(3, 1, 2, rt::TaggedArg::ofInt(1)));  // no kind 2
    EXPECT_TRUE(setText(g, 3, 1, "x"));
    EXPECT_EQ(g.cellFormat(3, 1), 0x0805u);  // the format stays
}

TEST(GridSetCellData, NumberDataCellsTakeOnlyTextsWorthSomething) {
    CGridCtrl g;
    ASSERT_TRUE(g.setColumnType(1, kNumber));
    struct Case { const char* text; bool taken; const char* stored; };
    const Case cases[] = {
        {"0", true, "0"},       {"12.6", true, "13"},  // a new numeric column has no decimals
        {"abc", false, "13"},   {"0.0", false, "13"},  {"  12abc", true, "12"},
        {"1e400", false, "12"},  // infinite: it would render as "inf"
        {"", true, ""},          // the empty text clears the cell even while zeros show
    };
    for (const Case& c : cases) {
        EXPECT_EQ(setText(g, 3, 1, c.text), c.taken) << c.text;
        EXPECT_EQ(g.cellText(3, 1), c.stored) << c.text;
    }
    EXPECT_TRUE(g.setCellData(3, 1, 1, rt::TaggedArg::ofDouble(2.6)));
    EXPECT_EQ(g.cellText(3, 1), "3");
    // The header row holds plain text; a fixed column is rendered without the value check.
    EXPECT_TRUE(setText(g, 0, 1, "abc"));
    EXPECT_EQ(g.cellText(0, 1), "abc");
    ASSERT_TRUE(g.setColumnType(0, kNumber));
    EXPECT_TRUE(setText(g, 2, 0, "abc"));
    EXPECT_EQ(g.cellText(2, 0), "0");
}

TEST(GridSetCellData, ShowZeroAndDecimals) {
    CGridCtrl g;
    ASSERT_TRUE(g.setColumnType(1, kNumber));
    g.writeSetting(gp::ShowZero, 0);
    EXPECT_TRUE(setText(g, 3, 1, "0"));
    EXPECT_EQ(g.cellText(3, 1), "");
    EXPECT_TRUE(g.setCellData(3, 1, 1, rt::TaggedArg::ofDouble(0.4)));  // renders as 0
    EXPECT_EQ(g.cellText(3, 1), "");
    ASSERT_TRUE(g.setColumnType(2, kCurrency));
    ASSERT_TRUE(g.setColumnDecimals(2, 2));
    EXPECT_TRUE(setText(g, 1, 2, "3.14159"));
    EXPECT_EQ(g.cellText(1, 2), "3.14");
    EXPECT_TRUE(g.setCellData(1, 2, 1, rt::TaggedArg::ofInt(5)));
    EXPECT_EQ(g.cellText(1, 2), "5.00");
    EXPECT_EQ(g.getCellData(1, 2).bytes, "5.00");  // no currency sign in the data
    EXPECT_FALSE(g.setColumnDecimals(2, 10));
    EXPECT_FALSE(g.setColumnDecimals(3, 2));  // not a numeric column
}

TEST(GridSetCellData, CheckStatesNeedABoolInACheckBoxColumn) {
    CGridCtrl g;
    EXPECT_FALSE(g.setCellData(2, 1, 5, rt::TaggedArg::ofBool(true)));
    ASSERT_TRUE(g.setColumnType(1, kCheckBox));
    EXPECT_FALSE(setText(g, 2, 1, "x"));  // no text in check-box data cells
    EXPECT_TRUE(setText(g, 0, 1, "header"));
    EXPECT_FALSE(g.setCellData(2, 1, 5, rt::TaggedArg::ofInt(1)));
    EXPECT_TRUE(g.setCellData(2, 1, 5, rt::TaggedArg::ofBool(true)));
    CellData d = g.getCellData(2, 1);
    EXPECT_EQ(d.kind, CellData::Kind::Bool);
    EXPECT_TRUE(d.flag);
}

// A stand-in picture codec: PNG through Qt.
QImage loadPng(std::string_view bytes) {
    QImage image;
    image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()), "PNG");
    return image;
}
std::string savePng(const QImage& image) {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return out.toStdString();
}
QImage redSquare() {
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    return image;
}

// Sets the picture cell (2, 1) from bytes.
bool setPictureBytes(CGridCtrl& g, std::string_view bytes) {
    void* block = rt::makeByteSet(bytes);
    bool ok = g.setCellData(2, 1, grid::datakind::Picture, rt::TaggedArg::ofByteSet(block));
    rt::FreeBlock(block);
    return ok;
}

TEST(GridPictures, BytesGoInAndComeBackThroughTheCodec) {
    CGridCtrl g;
    const std::string png = savePng(redSquare());
    ASSERT_TRUE(g.setColumnType(1, kPicture));
    EXPECT_FALSE(setText(g, 2, 1, "x"));
    // Without routines of its own the grid reads and writes through the picture library.
    EXPECT_TRUE(setPictureBytes(g, png));
    EXPECT_EQ(loadPng(g.getCellData(2, 1).bytes).pixelColor(1, 1), QColor(Qt::red));
    EXPECT_FALSE(setPictureBytes(g, "not a picture"));
    // Units' decoders are not the grid's: a unit decoder that reads nothing changes nothing here.
    forms::setPictureDecoder([](std::string_view) { return QImage(); });
    EXPECT_TRUE(setPictureBytes(g, png));
    forms::setPictureDecoder(nullptr);

    static int loads = 0;
    grid::setPictureCodec([](std::string_view b) { ++loads; return loadPng(b); }, savePng);
    g.setCellPicture(2, 1, QImage());
    EXPECT_TRUE(setPictureBytes(g, png));
    EXPECT_EQ(loads, 1);
    CellData d = g.getCellData(2, 1);
    ASSERT_EQ(d.kind, CellData::Kind::Bytes);
    EXPECT_EQ(loadPng(d.bytes).pixelColor(1, 1), QColor(Qt::red));
    EXPECT_FALSE(setPictureBytes(g, "not a picture"));
    EXPECT_FALSE(g.setCellData(2, 1, 6, rt::TaggedArg::ofInt(1)));
    EXPECT_FALSE(g.cellPicture(2, 1).isNull());
    ASSERT_TRUE(g.setColumnType(2, 1));
    EXPECT_FALSE(g.setCellData(2, 2, 6, rt::TaggedArg::ofByteSet(nullptr)));  // not a picture column
    grid::setPictureCodec(nullptr, nullptr);
}

TEST(GridPictures, AFileNameIsReadThroughThePictureLoader) {
    CGridCtrl g;
    ASSERT_TRUE(g.setColumnType(1, kPicture));
    QString path = QDir::temp().filePath("impostra_grid_picture.bmp");
    ASSERT_TRUE(redSquare().save(path, "BMP"));
    TextArg name(path.toStdString());
    EXPECT_TRUE(g.setCellData(2, 1, 6, name.arg()));
    EXPECT_EQ(g.cellPicture(2, 1).size(), QSize(4, 4));
    TextArg missing("/nonexistent/picture.bmp");
    EXPECT_FALSE(g.setCellData(3, 1, 6, missing.arg()));
    QFile::remove(path);
}

TEST(GridRanges, AlignmentCoversTheRectangleLoweredToTheGrid) {
    CGridCtrl g;  // 5 rows
    g.setCellFormat(2, 3, grid::textformat::WordBreak);
    ASSERT_TRUE(g.setCellAlignment(0, 0, 6, 1, 2));
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(g.cellFormat(r, 1), 0x0825u) << r;
        EXPECT_EQ(g.cellFormat(r, 2), grid::textformat::Default) << r;
    }
    // Word break survives; other alignments count as left.
    ASSERT_TRUE(g.setCellAlignment(2, 3, std::nullopt, std::nullopt, 3));
    EXPECT_EQ(g.cellFormat(2, 3), 0x0816u);
    ASSERT_TRUE(g.setCellAlignment(2, 4, std::nullopt, std::nullopt, 9));
    EXPECT_EQ(g.cellFormat(2, 4), 0x0824u);
    EXPECT_EQ(g.cellFormat(3, 4), grid::textformat::Default);
}

TEST(GridRanges, RefusedRangesChangeNothing) {
    CGridCtrl g;
    struct Case { int r1, c1; std::optional<int> r2, c2; };
    const Case cases[] = {
        {2, 0, 1, 0}, {0, 3, 0, 2},  // last before first
        {-1, 0, 1, 1}, {0, 0, -1, 1},
        {5, 0, 9, 0}, {0, 5, std::nullopt, std::nullopt},  // first cell outside
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(g.setCellBackColor(c.r1, c.c1, c.r2, c.c2, 0x123456)) << c.r1 << "," << c.c1;
        EXPECT_FALSE(g.setCellAlignment(c.r1, c.c1, c.r2, c.c2, 2)) << c.r1 << "," << c.c1;
    }
    for (int r = 0; r < 5; ++r)
        for (int col = 0; col < 5; ++col) {
            EXPECT_EQ(g.cellBackColour(r, col), grid::kDefaultColour);
            EXPECT_EQ(g.cellFormat(r, col), grid::textformat::Default);
        }
    // The default colour given to one cell restores it.
    ASSERT_TRUE(g.setCellBackColor(1, 2, 4, 2, 0xECECEC));
    ASSERT_TRUE(g.setCellBackColor(1, 2, std::nullopt, std::nullopt, grid::kDefaultColour));
    EXPECT_EQ(g.cellBackColour(1, 2), grid::kDefaultColour);
    EXPECT_EQ(g.cellBackColour(4, 2), 0xECECECu);
}

}  // namespace
