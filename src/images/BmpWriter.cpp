#include <array>
#include <unordered_map>
#include <unordered_set>

#include "base/ByteOrder.h"
#include "images/BmpCodec.h"
#include "images/BmpFormat.h"
#include "images/ImageExt.h"

namespace lumenreel {

namespace {

// 32-bit pictures get a version 4 header whose masks say where alpha is; 5-6-5 pictures a plain
// header followed by their three masks; the others a plain header.
void appendHeaders(std::vector<std::uint8_t>& out, int width, int height, int bits,
                   std::uint32_t paletteCount, std::span<const std::uint32_t> masks) {
    const bool withAlpha = bits == 32;
    const std::uint32_t headerSize = withAlpha ? kVersion4HeaderSize : kInfoHeaderSize;
    const std::uint32_t dataOffset = static_cast<std::uint32_t>(
        kFileHeaderSize + headerSize + (withAlpha ? 0 : masks.size() * 4) + paletteCount * 4);
    const std::uint32_t dataSize =
        static_cast<std::uint32_t>(CImageExt::rowBytes(width, bits)) * height;
    appendLE<std::uint16_t>(out, 0x4D42);
    appendLE<std::uint32_t>(out, dataOffset + dataSize);
    appendLE<std::uint32_t>(out, 0);
    appendLE<std::uint32_t>(out, dataOffset);
    appendLE<std::uint32_t>(out, headerSize);
    appendLE<std::int32_t>(out, width);
    appendLE<std::int32_t>(out, height);
    appendLE<std::uint16_t>(out, 1);
    appendLE<std::uint16_t>(out, static_cast<std::uint16_t>(bits));
    appendLE<std::uint32_t>(out, masks.empty() ? kCompressionNone : kCompressionBitFields);
    appendLE<std::uint32_t>(out, dataSize);
    appendLE<std::int32_t>(out, 2835);  // 72 dots per inch
    appendLE<std::int32_t>(out, 2835);
    appendLE<std::uint32_t>(out, paletteCount);
    appendLE<std::uint32_t>(out, 0);
    for (std::uint32_t mask : masks)
        appendLE<std::uint32_t>(out, mask);
    if (!withAlpha)
        return;
    appendLE<std::uint32_t>(out, 0x73524742);  // colour space "sRGB"
    out.resize(out.size() + kVersion4HeaderSize - kInfoHeaderSize - 20, 0);
}

constexpr std::array<std::uint32_t, 4> kAlphaMasks = {0x00FF0000, 0x0000FF00, 0x000000FF,
                                                      0xFF000000};
constexpr std::array<std::uint32_t, 3> k565Masks = {0xF800, 0x07E0, 0x001F};

std::uint32_t colourAt(const std::uint8_t* pixel) {
    return pixel[0] | (pixel[1] << 8) | (pixel[2] << 16);
}

// Writes the rows bottom-up, each pixel turned into a code of `bits` bits by `code`: packed
// high bits first below 8 bits, little-endian from 8 up.
template <typename Code>
void appendRows(const CImageExt& image, int bits, Code code, std::vector<std::uint8_t>& out) {
    const std::size_t stride = CImageExt::rowBytes(image.width(), bits);
    const int bytesPerPixel = image.bpp() / 8;
    for (int y = image.height() - 1; y >= 0; --y) {
        const std::uint8_t* in = image.firstRow() + static_cast<std::size_t>(y) * image.pitch();
        const std::size_t rowStart = out.size();
        out.resize(rowStart + stride, 0);
        std::uint8_t* row = out.data() + rowStart;
        for (int x = 0; x < image.width(); ++x, in += bytesPerPixel) {
            const std::uint32_t value = code(in);
            const std::size_t bitOffset = static_cast<std::size_t>(x) * bits;
            if (bits < 8) {
                row[bitOffset / 8] |=
                    static_cast<std::uint8_t>(value << (8 - bits - bitOffset % 8));
            } else {
                for (int i = 0; i < bits / 8; ++i)
                    row[bitOffset / 8 + i] = static_cast<std::uint8_t>(value >> (8 * i));
            }
        }
    }
}

// Every colour of the picture in order of first appearance; false when there are more than
// `limit`.
bool collectColours(const CImageExt& image, std::size_t limit,
                    std::vector<std::uint32_t>& colours) {
    std::unordered_set<std::uint32_t> seen;
    const int bytesPerPixel = image.bpp() / 8;
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* in = image.firstRow() + static_cast<std::size_t>(y) * image.pitch();
        for (int x = 0; x < image.width(); ++x, in += bytesPerPixel) {
            if (!seen.insert(colourAt(in)).second)
                continue;
            if (colours.size() == limit)
                return false;
            colours.push_back(colourAt(in));
        }
    }
    return true;
}

bool encodePalette(const CImageExt& image, const BmpWriteOptions& options,
                   std::vector<std::uint8_t>& out) {
    const std::size_t limit = std::size_t{1} << options.bitsPerPixel;
    std::vector<std::uint32_t> palette = options.palette;
    if (palette.size() > limit || (palette.empty() && !collectColours(image, limit, palette)))
        return false;
    std::unordered_map<std::uint32_t, std::uint32_t> indices;
    for (std::size_t i = palette.size(); i-- > 0;)
        indices[palette[i] & 0xFFFFFF] = static_cast<std::uint32_t>(i);
    // A colour missing from a given palette cannot be written faithfully.
    bool missing = false;
    appendHeaders(out, image.width(), image.height(), options.bitsPerPixel,
                  static_cast<std::uint32_t>(palette.size()), {});
    for (std::uint32_t colour : palette)
        appendLE<std::uint32_t>(out, colour & 0xFFFFFF);
    appendRows(
        image, options.bitsPerPixel,
        [&](const std::uint8_t* pixel) {
            const auto found = indices.find(colourAt(pixel));
            missing |= found == indices.end();
            return found == indices.end() ? 0u : found->second;
        },
        out);
    return !missing;
}

}  // namespace

bool encodeBmp(const CImageExt& image, std::vector<std::uint8_t>& out) {
    return encodeBmp(image, BmpWriteOptions{}, out);
}

bool encodeBmp(const CImageExt& image, const BmpWriteOptions& options,
               std::vector<std::uint8_t>& out) {
    out.clear();
    if (image.isNull())
        return false;
    const int bits = options.bitsPerPixel == 0 ? image.bpp() : options.bitsPerPixel;
    bool written = true;
    if (bits == 1 || bits == 4 || bits == 8) {
        written = encodePalette(image, BmpWriteOptions{bits, options.rgb565, options.palette}, out);
    } else if (bits == 16) {
        const std::span<const std::uint32_t> masks = options.rgb565
                                                         ? std::span<const std::uint32_t>(k565Masks)
                                                         : std::span<const std::uint32_t>();
        appendHeaders(out, image.width(), image.height(), 16, 0, masks);
        const int greenBits = options.rgb565 ? 6 : 5;
        appendRows(
            image, 16,
            [&](const std::uint8_t* pixel) {
                return (pixel[2] >> 3) << (5 + greenBits) | (pixel[1] >> (8 - greenBits)) << 5 |
                       pixel[0] >> 3;
            },
            out);
    } else if (bits == image.bpp()) {
        appendHeaders(out, image.width(), image.height(), bits, 0,
                      bits == 32 ? std::span<const std::uint32_t>(kAlphaMasks)
                                 : std::span<const std::uint32_t>());
        for (int y = image.height() - 1; y >= 0; --y) {
            const std::uint8_t* row =
                image.firstRow() + static_cast<std::size_t>(y) * image.pitch();
            out.insert(out.end(), row, row + image.pitch());
        }
    } else {
        written = false;
    }
    if (!written)
        out.clear();
    return written;
}

bool encodeMonochromeBmp(const CImageExt& image, std::vector<std::uint8_t>& out) {
    out.clear();
    if (image.isNull())
        return false;
    appendHeaders(out, image.width(), image.height(), 1, 2, {});
    appendLE<std::uint32_t>(out, 0x000000);
    appendLE<std::uint32_t>(out, 0xFFFFFF);
    appendRows(
        image, 1,
        [](const std::uint8_t* pixel) { return pixel[0] + pixel[1] + pixel[2] >= 384 ? 1u : 0u; },
        out);
    return true;
}

}  // namespace lumenreel
