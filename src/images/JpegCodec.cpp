#include "images/JpegCodec.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <algorithm>
#include <csetjmp>
#include <cstdlib>

#include "images/ImageExt.h"
#include "images/ImageLimits.h"

namespace lumenreel {

namespace {

// libjpeg reports fatal errors by calling error_exit, which must not return: it jumps back to
// the one setjmp of the decoding or encoding function. Those functions keep only plain data in
// their frames, so the jump skips no destructor.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX] = {};
};

[[noreturn]] void jumpWithMessage(j_common_ptr info, const char* message) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    std::snprintf(errors->message, sizeof errors->message, "%s", message);
    std::longjmp(errors->jump, 1);
}

[[noreturn]] void jumpOnError(j_common_ptr info) {
    char message[JMSG_LENGTH_MAX];
    info->err->format_message(info, message);
    jumpWithMessage(info, message);
}

void onMessage(j_common_ptr info, int level) {
    // A file cut short would otherwise decode as grey blocks.
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        jumpOnError(info);
}

// Hostile progressive files can hold thousands of tiny scans, each re-decoding the picture.
constexpr int kMaxScans = 256;

void limitScans(j_common_ptr info) {
    if (info->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans)
        jumpWithMessage(info, "too many scans");
}

constexpr long kMaxDecoderMemory = 512L * 1024 * 1024;

struct DecodeResult {
    PixelBytes pixels;
    std::vector<std::uint8_t> cmykRow;
    int width = 0;
    int height = 0;
};

// Adobe writes CMYK inverted, which is what every CMYK JPEG in practice holds.
void cmykToBgr(const std::uint8_t* cmyk, std::uint8_t* bgr, int width) {
    for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const int k = cmyk[3];
        bgr[0] = static_cast<std::uint8_t>(cmyk[2] * k / 255);
        bgr[1] = static_cast<std::uint8_t>(cmyk[1] * k / 255);
        bgr[2] = static_cast<std::uint8_t>(cmyk[0] * k / 255);
    }
}

bool decodeInto(std::span<const std::uint8_t> bytes, DecodeResult& result, std::string& reason) {
    jpeg_decompress_struct info;
    ErrorManager errors;
    jpeg_progress_mgr progress{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = jumpOnError;
    errors.base.emit_message = onMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        reason = errors.message;
        return false;
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kMaxDecoderMemory;
    progress.progress_monitor = limitScans;
    info.progress = &progress;
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    if (!imageSizeAllowed(info.image_width, info.image_height)) {
        jpeg_destroy_decompress(&info);
        reason = "picture too large";
        return false;
    }
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    result.width = static_cast<int>(info.output_width);
    result.height = static_cast<int>(info.output_height);
    const int stride = CImageExt::rowBytes(result.width, 24);
    result.pixels.assign(static_cast<std::size_t>(stride) * result.height, 0);
    if (cmyk)
        result.cmykRow.assign(static_cast<std::size_t>(result.width) * 4, 0);
    while (info.output_scanline < info.output_height) {
        std::uint8_t* row = result.pixels.data() + std::size_t{info.output_scanline} * stride;
        JSAMPROW target = cmyk ? result.cmykRow.data() : row;
        jpeg_read_scanlines(&info, &target, 1);
        if (cmyk)
            cmykToBgr(result.cmykRow.data(), row, result.width);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

struct EncodeBuffer {
    unsigned char* data = nullptr;
    unsigned long size = 0;
    ~EncodeBuffer() { std::free(data); }
};

bool encodeInto(const CImageExt& image, int quality, EncodeBuffer& buffer) {
    jpeg_compress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = jumpOnError;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer.data, &buffer.size);
    info.image_width = static_cast<JDIMENSION>(image.width());
    info.image_height = static_cast<JDIMENSION>(image.height());
    info.input_components = image.bpp() / 8;
    info.in_color_space = image.bpp() == 32 ? JCS_EXT_BGRX : JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, std::clamp(quality, 0, 100), TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        // libjpeg takes non-const rows but only reads them.
        JSAMPROW row = const_cast<std::uint8_t*>(image.firstRow()) +
                       std::size_t{info.next_scanline} * image.pitch();
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

bool decodeJpeg(std::span<const std::uint8_t> bytes, CImageExt& image, std::string& reason) {
    DecodeResult result;
    if (!decodeInto(bytes, result, reason))
        return false;
    return image.adopt(result.width, result.height, 24, std::move(result.pixels));
}

bool encodeJpeg(const CImageExt& image, int quality, std::vector<std::uint8_t>& out) {
    if (image.isNull())
        return false;
    EncodeBuffer buffer;
    if (!encodeInto(image, quality, buffer))
        return false;
    out.assign(buffer.data, buffer.data + buffer.size);
    return true;
}

}  // namespace lumenreel
