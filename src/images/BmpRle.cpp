#include "images/BmpRle.h"

#include "base/ByteReader.h"
#include "images/ImageExt.h"

namespace lumenreel {

namespace {

// Writes pixels along the rows, bottom row first, dropping any that fall outside the picture.
class RowWriter {
public:
    RowWriter(CImageExt& image, const std::array<std::uint32_t, 256>& palette)
        : m_image(image), m_palette(palette) {}

    void put(std::uint8_t index) {
        if (m_x < m_image.width() && m_y < m_image.height())
            m_image.setPixel(m_x, m_image.height() - 1 - m_y, m_palette[index]);
        // Held at the width, so a long run cannot overflow the position.
        if (m_x < m_image.width())
            ++m_x;
    }
    void nextRow() {
        m_x = 0;
        ++m_y;
    }
    void jump(int dx, int dy) {
        m_x = std::min(m_x + dx, m_image.width());
        m_y = std::min(m_y + dy, m_image.height());
    }
    bool finished() const { return m_y >= m_image.height(); }

private:
    CImageExt& m_image;
    const std::array<std::uint32_t, 256>& m_palette;
    int m_x = 0;
    int m_y = 0;
};

// The index of pixel i in a run of packed indices: both nibbles of each byte, high one first.
std::uint8_t indexAt(std::uint8_t byte, int i, int bitsPerIndex) {
    return bitsPerIndex == 8 ? byte : (i % 2 == 0 ? byte >> 4 : byte & 0x0F);
}

}  // namespace

bool decodeBmpRle(std::span<const std::uint8_t> data, int bitsPerIndex, int width, int height,
                  const std::array<std::uint32_t, 256>& palette, CImageExt& image) {
    CImageExt decoded;
    if (!decoded.create(width, height, 24))
        return false;
    RowWriter rows(decoded, palette);
    const std::uint32_t background = palette[0];
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y)
            decoded.setPixel(x, y, background);
    }

    ByteReader in(data);
    while (!rows.finished()) {
        const std::uint8_t count = in.u8();
        const std::uint8_t value = in.u8();
        if (!in.ok())
            return false;
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                rows.put(indexAt(value, i, bitsPerIndex));
        } else if (value == 0) {
            rows.nextRow();
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            const std::uint8_t dx = in.u8();
            const std::uint8_t dy = in.u8();
            rows.jump(dx, dy);
        } else {
            // Literal indices, padded to a whole number of 16-bit words.
            const std::size_t bytes = (static_cast<std::size_t>(value) * bitsPerIndex + 7) / 8;
            const auto literal = in.take(bytes + bytes % 2);
            if (literal.empty())
                return false;
            for (int i = 0; i < value; ++i)
                rows.put(indexAt(literal[i * bitsPerIndex / 8], i, bitsPerIndex));
        }
        if (!in.ok())
            return false;
    }
    image = std::move(decoded);
    return true;
}

}  // namespace lumenreel
