// Picture files written by other programs (corpus/make-corpus.py says which
// program wrote each), decoded through the file loader and compared pixel by
// pixel with the pixels a reference decoder reads from them, kept beside each
// file as NAME.pam (RGB_ALPHA, straight alpha).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "forms/pictures/Pictures.h"
#include "platform/Gbk.h"

namespace {

// How the decoded pixels must match the reference's.
enum class Match {
    // Equal. Where the reference holds 16-bit samples, the decoder keeps the
    // high byte of each, so the reference's sample shifted right by 8.
    Exact,
    // 16-bit bitmaps of 5 bits a channel (5-6-5: 6 bits of green): the
    // reference gives each sample scaled to 8 bits its own way, its top bits
    // are the stored sample v; the decoder gives round(v * 255 / max).
    FiveBits,
    FiveSixFive,
    // Within kJpegTolerance of every sample.
    Lossy,
};
// The references match exactly today, decoded by the same codec library; another
// build of it (another IDCT or upsampler) rounds a step or two apart, far less
// than a wrong colour conversion, subsampling or block position would.
constexpr int kJpegTolerance = 2;

struct CorpusFile {
    const char* name;
    Match match = Match::Exact;
};

// Every picture of the corpus. Where the reference tools themselves differ,
// the script names the reference taken (its KNOWN_DIFFERENCES):
// bmp-32-bgra-plain.bmp: one tool takes the fourth byte of a 32-bit bitmap
//     without colour masks as alpha; the decoder ignores it, as the system does.
// ico-mask-32-no-alpha.ico: both tools show a 32-bit entry whose alpha is all
//     zero fully clear; the decoder cuts it out by its AND mask, as the system
//     draws such icons; the reference is the picture the script crafted.
const CorpusFile kCorpus[] = {
    {"bmp-1.bmp"}, {"bmp-4.bmp"}, {"bmp-8.bmp"}, {"bmp-8-v5.bmp"}, {"bmp-rle4.bmp"}, {"bmp-rle8.bmp"},
    {"bmp-16-555.bmp", Match::FiveBits}, {"bmp-16-565.bmp", Match::FiveSixFive}, {"bmp-16-plain.bmp", Match::FiveBits},
    {"bmp-24.bmp"}, {"bmp-32-alpha.bmp"}, {"bmp-32-bgra-plain.bmp"}, {"bmp-32-bitfields.bmp"},
    {"bmp-os2-4.bmp"}, {"bmp-os2-8.bmp"}, {"bmp-os2-24.bmp"}, {"bmp-topdown-8.bmp"}, {"bmp-topdown-24.bmp"},

    {"ico-1.ico"}, {"ico-4.ico"}, {"ico-8.ico"}, {"ico-8-magick.ico"}, {"ico-24.ico"}, {"ico-32.ico"},
    {"ico-png.ico"}, {"ico-sizes.ico"}, {"ico-sizes-png.ico"},
    {"ico-mask-1.ico"}, {"ico-mask-4.ico"}, {"ico-mask-8.ico"}, {"ico-mask-16.ico", Match::FiveBits},
    {"ico-mask-24.ico"}, {"ico-mask-32-no-alpha.ico"},
    {"cur-mask-1.cur"}, {"cur-mask-24.cur"}, {"cur-32.cur"}, {"cur-png.cur"},

    {"gif-87a.gif"}, {"gif-89a.gif"}, {"gif-2-colours.gif"}, {"gif-interlaced.gif"}, {"gif-transparent.gif"},
    {"gif-transparent-pil.gif"}, {"gif-frames.gif"},

    {"pcx-1.pcx"}, {"pcx-8.pcx"}, {"pcx-8-grey.pcx"}, {"pcx-24.pcx"},

    {"png-grey-1.png"}, {"png-grey-2.png"}, {"png-grey-4.png"}, {"png-grey-8.png"}, {"png-grey-16.png"},
    {"png-grey-8-trns.png"}, {"png-grey-alpha-8.png"}, {"png-grey-alpha-16.png"},
    {"png-rgb-8.png"}, {"png-rgb-8-trns.png"}, {"png-rgb-16.png"}, {"png-rgba-8.png"}, {"png-rgba-16.png"},
    {"png-palette-1.png"}, {"png-palette-2.png"}, {"png-palette-4.png"}, {"png-palette-8.png"},
    {"png-palette-1-trns.png"}, {"png-palette-2-trns.png"}, {"png-palette-4-trns.png"}, {"png-palette-8-trns.png"},
    {"png-palette-8-trns-magick.png"}, {"png-palette-8-trns-netpbm.png"},
    {"png-interlaced-grey-2.png"}, {"png-interlaced-palette-4.png"}, {"png-interlaced-rgb-16.png"},
    {"png-interlaced-rgba-8.png"},

    {"jpeg-grey.jpg", Match::Lossy}, {"jpeg-444.jpg", Match::Lossy}, {"jpeg-420.jpg", Match::Lossy},
    {"jpeg-422.jpg", Match::Lossy}, {"jpeg-progressive.jpg", Match::Lossy},
    {"jpeg-progressive-grey.jpg", Match::Lossy}, {"jpeg-cmyk.jpg", Match::Lossy}, {"jpeg-ycck.jpg", Match::Lossy},
};

// A reference: RGBA samples of up to 16 bits.
struct Reference {
    int width = 0, height = 0, maxval = 0;
    std::vector<int> samples;  // r, g, b, a per pixel, rows top to bottom
};

QString corpusPath(const std::string& name) {
    return QDir(IMPOSTRA_PICTURE_CORPUS).filePath(QString::fromStdString(name));
}

// Reads a PAM file of TUPLTYPE RGB_ALPHA; an empty reference when it is not one.
Reference readPam(const QString& path) {
    Reference ref;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return ref;
    QByteArray data = file.readAll();
    qsizetype end = data.indexOf("ENDHDR\n");
    if (!data.startsWith("P7\n") || end < 0) return ref;
    int depth = 0;
    bool rgba = false;
    for (const QByteArray& line : data.left(end).split('\n')) {
        QList<QByteArray> field = line.split(' ');
        if (field.size() != 2) continue;
        if (field[0] == "WIDTH") ref.width = field[1].toInt();
        if (field[0] == "HEIGHT") ref.height = field[1].toInt();
        if (field[0] == "DEPTH") depth = field[1].toInt();
        if (field[0] == "MAXVAL") ref.maxval = field[1].toInt();
        if (field[0] == "TUPLTYPE") rgba = field[1] == "RGB_ALPHA";
    }
    const int bytes = ref.maxval > 255 ? 2 : 1;
    const qsizetype count = qsizetype{ref.width} * ref.height * 4;
    const auto* body = reinterpret_cast<const uint8_t*>(data.constData() + end + 7);
    if (!rgba || depth != 4 || ref.maxval <= 0 || data.size() - end - 7 != count * bytes) return Reference{};
    ref.samples.resize(static_cast<size_t>(count));
    for (qsizetype i = 0; i < count; ++i)
        ref.samples[static_cast<size_t>(i)] = bytes == 2 ? (body[2 * i] << 8 | body[2 * i + 1]) : body[i];
    return ref;
}

// The decoder's value for a reference colour sample (channel 0 red .. 3 alpha).
int expectedSample(int sample, int maxval, Match match, int channel) {
    if (maxval > 255) sample >>= 8;  // 16-bit samples keep their high byte
    if (channel == 3 || (match != Match::FiveBits && match != Match::FiveSixFive)) return sample;
    const int bits = match == Match::FiveSixFive && channel == 1 ? 6 : 5;
    const int stored = sample >> (8 - bits), max = (1 << bits) - 1;
    return static_cast<int>(std::lround(stored * 255.0 / max));
}

// Differences of the decoded picture from the reference, described; empty when it matches.
std::string compare(const QImage& decoded, const Reference& ref, Match match) {
    if (decoded.isNull()) return "no picture";
    if (decoded.width() != ref.width || decoded.height() != ref.height)
        return "size " + std::to_string(decoded.width()) + "x" + std::to_string(decoded.height());
    const QImage image = decoded.convertToFormat(QImage::Format_ARGB32);
    const int tolerance = match == Match::Lossy ? kJpegTolerance : 0;
    int wrong = 0;
    std::string first;
    for (int y = 0; y < ref.height; ++y)
        for (int x = 0; x < ref.width; ++x) {
            const QRgb pixel = image.pixel(x, y);
            const int got[4] = {qRed(pixel), qGreen(pixel), qBlue(pixel), qAlpha(pixel)};
            const int* sample = &ref.samples[(static_cast<size_t>(y) * ref.width + x) * 4];
            int want[4];
            for (int c = 0; c < 4; ++c) want[c] = expectedSample(sample[c], ref.maxval, match, c);
            // Of a fully clear pixel only its alpha counts.
            bool same = want[3] == 0 ? got[3] == 0 : true;
            for (int c = 0; c < 4 && want[3] != 0; ++c) same = same && std::abs(got[c] - want[c]) <= tolerance;
            if (same) continue;
            if (wrong++ == 0) {
                char text[160];
                std::snprintf(text, sizeof text, "at %d,%d rgba %d %d %d %d, want %d %d %d %d", x, y, got[0], got[1],
                              got[2], got[3], want[0], want[1], want[2], want[3]);
                first = text;
            }
        }
    return wrong ? std::to_string(wrong) + " pixels differ, first " + first : std::string();
}

TEST(PictureCorpus, EveryFileDecodesToTheReferencePixels) {
    for (const CorpusFile& file : kCorpus) {
        const Reference ref = readPam(corpusPath(std::string(file.name) + ".pam"));
        ASSERT_FALSE(ref.samples.empty()) << file.name << ": no reference";
        const std::string path = platform::utf8ToGbk(corpusPath(file.name).toStdString());
        EXPECT_EQ(compare(pictures::loadPictureFile(path), ref, file.match), "") << file.name;
    }
}

TEST(PictureCorpus, TheListNamesEveryFileOfTheCorpus) {
    std::set<std::string> listed;
    for (const CorpusFile& file : kCorpus) listed.insert(file.name);
    const QStringList present = QDir(IMPOSTRA_PICTURE_CORPUS).entryList(QDir::Files);
    int pictures = 0;
    for (const QString& name : present) {
        if (name.endsWith(".pam") || name.endsWith(".py")) continue;
        ++pictures;
        EXPECT_TRUE(listed.count(name.toStdString())) << name.toStdString() << " is not in the list";
    }
    EXPECT_EQ(pictures, static_cast<int>(std::size(kCorpus)));
}

}  // namespace
