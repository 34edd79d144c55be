#include "images/BmpCodec.h"

#include <array>
#include <bit>
#include <unordered_map>
#include <unordered_set>

#include "base/ByteOrder.h"
#include "base/ByteReader.h"
#include "images/BmpRle.h"
#include "images/ImageExt.h"
#include "images/ImageLimits.h"

namespace lumenreel {

namespace {

constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionRle8 = 1;
constexpr std::uint32_t kCompressionRle4 = 2;
constexpr std::uint32_t kCompressionBitFields = 3;
constexpr std::uint32_t kCompressionAlphaBitFields = 6;
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kVersion4HeaderSize = 108;

struct BmpHeader {
    std::int64_t width = 0;
    std::int64_t height = 0;  // negative: rows stored top-down
    int bitsPerPixel = 0;
    std::uint32_t compression = kCompressionNone;
    std::uint32_t paletteCount = 0;
    std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha
    std::uint32_t dataOffset = 0;
    std::uint32_t headerSize = 0;
};

// One channel described by a bit mask, widened to 8 bits by repeating its bits (5-bit 0x1F
// becomes 0xFF, 0x10 becomes 0x84), as common decoders do.
class Channel {
public:
    explicit Channel(std::uint32_t mask) : m_mask(mask) {
        if (mask == 0)
            return;
        m_shift = std::countr_zero(mask);
        m_bits = std::popcount(mask >> m_shift);
        // A mask with holes in it has no sensible bit order; only its top 8 bits are used.
        if (!std::has_single_bit((std::uint64_t{mask} >> m_shift) + 1))
            m_bits = 32 - m_shift;
    }
    std::uint8_t operator()(std::uint32_t value) const {
        if (m_bits == 0)
            return 0;
        const std::uint64_t bits = (value & m_mask) >> m_shift;
        if (m_bits >= 8)
            return static_cast<std::uint8_t>(bits >> (m_bits - 8));
        std::uint64_t repeated = 0;
        int length = 0;
        for (; length < 8; length += m_bits)
            repeated = (repeated << m_bits) | bits;
        return static_cast<std::uint8_t>(repeated >> (length - 8));
    }

private:
    std::uint32_t m_mask = 0;
    int m_shift = 0;
    int m_bits = 0;
};

bool readHeader(ByteReader& in, BmpHeader& header) {
    if (in.u16() != 0x4D42)
        return false;
    in.skip(8);
    header.dataOffset = in.u32();
    header.headerSize = in.u32();
    if (!in.ok())
        return false;
    if (header.headerSize == kCoreHeaderSize) {
        header.width = in.u16();
        header.height = static_cast<std::int16_t>(in.u16());
        in.u16();
        header.bitsPerPixel = in.u16();
        if (header.bitsPerPixel <= 8)
            header.paletteCount = 1u << header.bitsPerPixel;
        return in.ok();
    }
    if (header.headerSize < kInfoHeaderSize || header.headerSize > 1024)
        return false;
    header.width = in.i32();
    header.height = in.i32();
    in.u16();
    header.bitsPerPixel = in.u16();
    header.compression = in.u32();
    in.skip(12);
    const std::uint32_t colorsUsed = in.u32();
    in.u32();
    // Version 2 and later headers carry the masks; a plain info header with bit fields is
    // followed by them.
    const bool masksFollow =
        header.headerSize == kInfoHeaderSize && (header.compression == kCompressionBitFields ||
                                                 header.compression == kCompressionAlphaBitFields);
    const std::size_t maskCount =
        masksFollow ? (header.compression == kCompressionAlphaBitFields ? 4 : 3)
                    : std::min<std::size_t>(4, (header.headerSize - kInfoHeaderSize) / 4);
    for (std::size_t i = 0; i < maskCount; ++i)
        header.masks[i] = in.u32();
    if (!masksFollow)
        in.seek(kFileHeaderSize + header.headerSize);
    if (header.bitsPerPixel <= 8) {
        const std::uint32_t full = 1u << header.bitsPerPixel;
        header.paletteCount = colorsUsed == 0 || colorsUsed > full ? full : colorsUsed;
    }
    return in.ok();
}

std::array<std::uint32_t, 256> readPalette(ByteReader& in, const BmpHeader& header) {
    std::array<std::uint32_t, 256> palette{};
    const std::size_t entrySize = header.headerSize == kCoreHeaderSize ? 3 : 4;
    for (std::uint32_t i = 0; i < header.paletteCount; ++i) {
        auto entry = in.take(entrySize);
        if (entry.empty())
            break;
        palette[i] = entry[0] | (entry[1] << 8) | (entry[2] << 16);
    }
    return palette;
}

void storeBgr(std::uint8_t* out, std::uint32_t colour) {
    out[0] = static_cast<std::uint8_t>(colour);
    out[1] = static_cast<std::uint8_t>(colour >> 8);
    out[2] = static_cast<std::uint8_t>(colour >> 16);
}

bool decodeRows(std::span<const std::uint8_t> data, const BmpHeader& header,
                const std::array<std::uint32_t, 256>& palette, CImageExt& image) {
    const int width = static_cast<int>(header.width);
    const int height = static_cast<int>(header.height < 0 ? -header.height : header.height);
    const int sourceStride = CImageExt::rowBytes(width, header.bitsPerPixel);
    if (data.size() / sourceStride < static_cast<std::size_t>(height))
        return false;
    if (!image.create(width, height, header.bitsPerPixel == 32 ? 32 : 24))
        return false;

    std::array<std::uint32_t, 4> masks = header.masks;
    const bool bitFields = header.compression == kCompressionBitFields ||
                           header.compression == kCompressionAlphaBitFields;
    if (!bitFields && header.bitsPerPixel == 16)
        masks = {0x7C00, 0x03E0, 0x001F, 0};
    if (!bitFields && header.bitsPerPixel == 32)
        masks = {0xFF0000, 0xFF00, 0xFF, masks[3]};
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
    const int outBytes = image.bpp() / 8;
    const int bits = header.bitsPerPixel;

    for (int y = 0; y < height; ++y) {
        const int sourceRow = header.height < 0 ? y : height - 1 - y;
        const std::uint8_t* in = data.data() + static_cast<std::size_t>(sourceRow) * sourceStride;
        std::uint8_t* out = image.firstRow() + static_cast<std::size_t>(y) * image.pitch();
        for (int x = 0; x < width; ++x, out += outBytes) {
            if (bits <= 8) {
                const int bitOffset = x * bits;
                const int index =
                    (in[bitOffset / 8] >> (8 - bits - bitOffset % 8)) & ((1 << bits) - 1);
                storeBgr(out, palette[index]);
            } else if (bits == 24) {
                out[0] = in[x * 3];
                out[1] = in[x * 3 + 1];
                out[2] = in[x * 3 + 2];
            } else {
                const std::uint32_t value = bits == 16 ? loadLE<std::uint16_t>(in + x * 2)
                                                       : loadLE<std::uint32_t>(in + x * 4);
                out[0] = blue(value);
                out[1] = green(value);
                out[2] = red(value);
                if (outBytes == 4)
                    out[3] = masks[3] ? alpha(value) : 0xFF;
            }
        }
    }
    return true;
}

}  // namespace

bool decodeBmp(std::span<const std::uint8_t> bytes, CImageExt& image) {
    ByteReader in(bytes);
    BmpHeader header;
    if (!readHeader(in, header))
        return false;
    const int bits = header.bitsPerPixel;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    const bool bitFields = header.compression == kCompressionBitFields ||
                           header.compression == kCompressionAlphaBitFields;
    const bool runLength = (header.compression == kCompressionRle8 && bits == 8) ||
                           (header.compression == kCompressionRle4 && bits == 4);
    if (header.compression != kCompressionNone && !runLength &&
        !(bitFields && (bits == 16 || bits == 32)))
        return false;
    // Run-length rows always go bottom-up.
    if (runLength && header.height < 0)
        return false;
    if (header.height == INT32_MIN)
        return false;
    const std::int64_t height = header.height < 0 ? -header.height : header.height;
    if (!imageSizeAllowed(header.width, height))
        return false;
    const auto palette = readPalette(in, header);
    if (header.dataOffset < in.position() || header.dataOffset >= bytes.size()) {
        // Some writers leave the offset 0; the rows then follow the palette.
        if (header.dataOffset != 0)
            return false;
        header.dataOffset = static_cast<std::uint32_t>(in.position());
    }
    CImageExt decoded;
    const auto data = bytes.subspan(header.dataOffset);
    if (runLength)
        return decodeBmpRle(data, bits, static_cast<int>(header.width), static_cast<int>(height),
                            palette, image);
    if (!decodeRows(data, header, palette, decoded))
        return false;
    image = std::move(decoded);
    return true;
}

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
