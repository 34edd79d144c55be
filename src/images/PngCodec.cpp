#include "images/PngCodec.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "images/ImageExt.h"
#include "images/ImageLimits.h"

namespace lumenreel {

namespace {

// Deflate never shrinks data by more than about 1032:1; a file too small to hold the rows it
// declares is refused before anything is allocated for them.
bool plausibleForInput(const png_image& header, std::size_t inputBytes) {
    const std::uint64_t leastRawBytes =
        std::uint64_t{header.height} * (1 + (std::uint64_t{header.width} + 7) / 8);
    return leastRawBytes <= std::uint64_t{inputBytes} * 1040 + 4096;
}

struct PngImageCleanup {
    png_image* image;
    ~PngImageCleanup() { png_image_free(image); }
};

}  // namespace

bool decodePng(std::span<const std::uint8_t> bytes, CImageExt& image, std::string& reason) {
    png_image header{};
    header.version = PNG_IMAGE_VERSION;
    PngImageCleanup cleanup{&header};
    // The simplified API keeps what libpng's error callback reported in header.message.
    if (!png_image_begin_read_from_memory(&header, bytes.data(), bytes.size())) {
        reason = header.message;
        return false;
    }
    if (!imageSizeAllowed(header.width, header.height)) {
        reason = "picture too large";
        return false;
    }
    if (!plausibleForInput(header, bytes.size())) {
        reason = "file too short for its picture size";
        return false;
    }
    const bool hasAlpha = (header.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    header.format = hasAlpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
    const int bitsPerPixel = hasAlpha ? 32 : 24;
    const int width = static_cast<int>(header.width);
    const int height = static_cast<int>(header.height);
    // Every row is decoded into it, or it is dropped and the image left as it was.
    CImageExt decoded;
    if (!decoded.createForOverwrite(width, height, bitsPerPixel)) {
        reason = "picture too large";
        return false;
    }
    if (!png_image_finish_read(&header, nullptr, decoded.firstRow(), decoded.pitch(), nullptr)) {
        reason = header.message;
        return false;
    }
    image = std::move(decoded);
    return true;
}

bool decodePng(std::span<const std::uint8_t> bytes, CImageExt& image) {
    std::string unused;
    return decodePng(bytes, image, unused);
}

bool encodePng(const CImageExt& image, std::vector<std::uint8_t>& out) {
    if (image.isNull())
        return false;
    png_image header{};
    header.version = PNG_IMAGE_VERSION;
    header.width = static_cast<png_uint_32>(image.width());
    header.height = static_cast<png_uint_32>(image.height());
    header.format = image.bpp() == 32 ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
    // Unfiltered rows at zlib level 3: screen pictures come out as small as with libpng's
    // defaults and about five times faster (measured on the sample tour's moments).
    header.flags = PNG_IMAGE_FLAG_FAST;

    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&buffer, &size);
    if (!stream)
        return false;
    const bool written =
        png_image_write_to_stdio(&header, stream, 0, image.firstRow(), image.pitch(), nullptr) != 0;
    const bool closed = std::fclose(stream) == 0;
    std::unique_ptr<char, decltype(&std::free)> owned(buffer, &std::free);
    png_image_free(&header);
    if (!written || !closed)
        return false;
    out.assign(reinterpret_cast<const std::uint8_t*>(buffer),
               reinterpret_cast<const std::uint8_t*>(buffer) + size);
    return true;
}

}  // namespace lumenreel
