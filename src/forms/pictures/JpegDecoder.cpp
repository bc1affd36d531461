// JPEG pictures through the codec library. Its errors would end the process
// by default; here they jump back to the decoding routine. So do the warnings
// that the data ended early, with or without an end marker after the cut
// (the library would otherwise pad the picture with grey and call it
// decoded), and a file whose scans stop before every component is whole.
#include <cstdio>  // jpeglib.h needs FILE and size_t first

#include <jerror.h>
#include <jpeglib.h>

#include <csetjmp>

#include "forms/pictures/DecodeBudget.h"
#include "forms/pictures/Pictures.h"

namespace pictures {
namespace {

// Junk data can describe thousands of progressive scans, each a pass over
// the whole picture; no real picture needs more than a few dozen.
constexpr int kMaxScans = 500;

struct ErrorManager {
    jpeg_error_mgr base;  // first, so that the library's pointer is ours
    jmp_buf jump;
};

// Called between rows of every pass, input and output alike.
struct ProgressWatch {
    jpeg_progress_mgr base;  // first, so that the library's pointer is ours
    DecodeBudget* budget;
    unsigned componentsSeen;  // bit c: component c was in some scan
};

[[noreturn]] void failDecoding(j_common_ptr cinfo) { longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1); }

void noteMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) return;
    // The data ended before the picture did: at the end of the bytes, or at
    // a marker (an end marker written after a cut) inside a scan.
    int code = cinfo->err->msg_code;
    if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER) failDecoding(cinfo);
}

void printNothing(j_common_ptr) {}

void watchProgress(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    auto* watch = reinterpret_cast<ProgressWatch*>(cinfo->progress);
    if (!cinfo->is_decompressor || d->input_scan_number > kMaxScans || watch->budget->expired()) failDecoding(cinfo);
    for (int i = 0; i < d->comps_in_scan && i < MAX_COMPS_IN_SCAN; ++i)
        if (d->cur_comp_info[i]) watch->componentsSeen |= 1u << (d->cur_comp_info[i]->component_index & 31);
}

// A progressive file is whole when every component has its DC coefficients
// and every coefficient it began to send was refined to the last bit. One cut
// between scans and closed with an end marker is not: its picture would be
// blocky, blurred or without colour.
bool wholeProgression(const jpeg_decompress_struct& cinfo) {
    if (!cinfo.progressive_mode) return true;
    if (!cinfo.coef_bits) return false;
    for (int c = 0; c < cinfo.num_components; ++c) {
        if (cinfo.coef_bits[c][0] != 0) return false;
        for (int k = 1; k < DCTSIZE2; ++k)
            if (cinfo.coef_bits[c][k] > 0) return false;
    }
    return true;
}

bool everyComponentScanned(const jpeg_decompress_struct& cinfo, unsigned seen) {
    unsigned all = cinfo.num_components >= 32 ? ~0u : (1u << cinfo.num_components) - 1;
    return (seen & all) == all;
}

uint8_t scaled(int a, int b) { return static_cast<uint8_t>(a * b / 255); }

// The library's four-channel rows to 0xFFRRGGBB; inverted is the usual storage
// of CMYK and YCCK pictures by drawing programs.
void cmykRowToRgb(const uint8_t* in, uint32_t* out, int width, bool inverted) {
    for (int x = 0; x < width; ++x, in += 4) {
        int c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        out[x] = 0xFF000000u | (uint32_t{scaled(c, k)} << 16) | (uint32_t{scaled(m, k)} << 8) | scaled(y, k);
    }
}

struct DecodeState {
    QImage image;
    uint8_t* cmykRow = nullptr;  // allocated through the library's pool, freed with it
};

bool decode(jpeg_decompress_struct& cinfo, ErrorManager& errors, ProgressWatch& progress, DecodeState& state,
            const uint8_t* bytes, size_t length) {
    if (setjmp(errors.jump)) return false;
    jpeg_create_decompress(&cinfo);
    cinfo.progress = &progress.base;  // after the creation, which clears the record
    jpeg_mem_src(&cinfo, bytes, static_cast<unsigned long>(length));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) return false;
    if (!acceptableSize(cinfo.image_width, cinfo.image_height)) return false;
    if (!progress.budget->takePixels(int64_t{cinfo.image_width} * cinfo.image_height)) return false;
    bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    // With more than one scan this reads all of them before the first row.
    jpeg_start_decompress(&cinfo);
    if (!wholeProgression(cinfo)) return false;
    int width = static_cast<int>(cinfo.output_width), height = static_cast<int>(cinfo.output_height);
    if (!acceptableSize(width, height) || cinfo.output_components != 4) return false;
    state.image = QImage(width, height, QImage::Format_RGB32);
    if (state.image.isNull()) return false;
    if (cmyk)
        state.cmykRow = static_cast<uint8_t*>(
            (*cinfo.mem->alloc_small)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, static_cast<size_t>(width) * 4));
    while (cinfo.output_scanline < cinfo.output_height) {
        int y = static_cast<int>(cinfo.output_scanline);
        JSAMPROW row = cmyk ? state.cmykRow : state.image.scanLine(y);
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) return false;
        if (cmyk)
            cmykRowToRgb(state.cmykRow, reinterpret_cast<uint32_t*>(state.image.scanLine(y)), width,
                         cinfo.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&cinfo);
    // Scans of one component each, cut between them: the missing ones were never read.
    return everyComponentScanned(cinfo, progress.componentsSeen);
}

}  // namespace

QImage decodeJpeg(const uint8_t* bytes, size_t length, DecodeBudget& budget) {
    if (!bytes || length < 4) return QImage();
    jpeg_decompress_struct cinfo{};
    ErrorManager errors{};
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = &failDecoding;
    errors.base.emit_message = &noteMessage;
    errors.base.output_message = &printNothing;
    ProgressWatch progress{};
    progress.base.progress_monitor = &watchProgress;
    progress.budget = &budget;
    DecodeState state;
    bool ok = decode(cinfo, errors, progress, state, bytes, length);
    jpeg_destroy_decompress(&cinfo);
    return ok ? state.image : QImage();
}

QImage decodeJpeg(const uint8_t* bytes, size_t length) {
    DecodeBudget budget;
    return decodeJpeg(bytes, length, budget);
}

}  // namespace pictures
