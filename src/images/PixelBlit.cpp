#include "images/PixelBlit.h"

#include <algorithm>
#include <cstring>

#include "images/ImageExt.h"

namespace lumenreel {

namespace {

struct Span {
    int sourceX, sourceY, targetX, targetY, width, height;
};

// The part of a width × height block placed at (x, y) that lies inside the target.
Span clip(const PixelView& target, int x, int y, int width, int height) {
    Span s{0, 0, x, y, width, height};
    if (x < 0) {
        s.sourceX = -x;
        s.width += x;
        s.targetX = 0;
    }
    if (y < 0) {
        s.sourceY = -y;
        s.height += y;
        s.targetY = 0;
    }
    s.width = std::min(s.width, target.width - s.targetX);
    s.height = std::min(s.height, target.height - s.targetY);
    return s;
}

}  // namespace

PixelView subView(const PixelView& view, int x, int y, int width, int height) {
    PixelView block = view;
    block.data = view.row(y) + static_cast<std::ptrdiff_t>(x) * view.bytesPerPixel;
    block.width = width;
    block.height = height;
    return block;
}

void copyPixels(const PixelView& source, const PixelView& target, int x, int y, int maxWidth,
                int maxHeight) {
    if (source.empty() || target.empty())
        return;
    Span s =
        clip(target, x, y, std::min(source.width, maxWidth), std::min(source.height, maxHeight));
    if (s.width <= 0 || s.height <= 0)
        return;
    const int from = source.bytesPerPixel, to = target.bytesPerPixel;
    for (int row = 0; row < s.height; ++row) {
        const std::uint8_t* in = source.row(s.sourceY + row) + s.sourceX * from;
        std::uint8_t* out = target.row(s.targetY + row) + s.targetX * to;
        if (from == to) {
            std::memmove(out, in, static_cast<std::size_t>(s.width) * static_cast<std::size_t>(to));
            continue;
        }
        int i = 0;
        if (from == 3) {
            // Whole words but for the last pixel, whose fourth byte would lie past the row.
            for (; i + 1 < s.width; ++i, in += 3, out += 4) {
                std::uint32_t pixel;
                std::memcpy(&pixel, in, 4);
                pixel |= 0xFF000000u;
                std::memcpy(out, &pixel, 4);
            }
        }
        for (; i < s.width; ++i, in += from, out += to) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            if (to == 4)
                out[3] = 0xFF;
        }
    }
}

void fillPixels(const PixelView& target, int x, int y, int width, int height, std::uint32_t value) {
    if (target.empty())
        return;
    Span s = clip(target, x, y, width, height);
    if (s.width <= 0 || s.height <= 0)
        return;
    std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    // The first row is filled by doubling copies, the others are copies of it: a few large
    // copies instead of a call per pixel.
    const std::size_t bpp = static_cast<std::size_t>(target.bytesPerPixel);
    const std::size_t rowBytes = bpp * static_cast<std::size_t>(s.width);
    std::uint8_t* first = target.row(s.targetY) + s.targetX * target.bytesPerPixel;
    std::memcpy(first, bytes, bpp);
    for (std::size_t filled = bpp; filled < rowBytes;) {
        const std::size_t chunk = std::min(filled, rowBytes - filled);
        std::memcpy(first + filled, first, chunk);
        filled += chunk;
    }
    for (int row = 1; row < s.height; ++row)
        std::memcpy(target.row(s.targetY + row) + s.targetX * target.bytesPerPixel, first,
                    rowBytes);
}

void copyAsBgr24(const CImageExt& source, CImageExt& image) {
    image.create(source.width(), source.height(), 24);
    copyPixels(source.view(), image.view(), 0, 0, source.width(), source.height());
}

}  // namespace lumenreel
