#include "images/BmpCodec.h"

#include <array>
#include <bit>

#include "base/ByteOrder.h"
#include "base/ByteReader.h"
#include "images/BmpFormat.h"
#include "images/BmpRle.h"
#include "images/ImageExt.h"
#include "images/ImageLimits.h"

namespace lumenreel {

namespace {

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

}  // namespace lumenreel
