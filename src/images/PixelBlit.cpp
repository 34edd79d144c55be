#include "images/PixelBlit.h"

#include <algorithm>
#include <cstring>

#include "images/ImageExt.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define LUMENREEL_BLIT_X86 1
#endif

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

// Widens 24-bit pixels to opaque 32-bit ones as far as whole words can be read inside the row;
// the count done is returned for the caller to finish.
int widenRowWords(const std::uint8_t* in, std::uint8_t* out, int count) {
    int i = 0;
    // Whole words but for the last pixel, whose fourth byte would lie past the row.
    for (; i + 1 < count; ++i, in += 3, out += 4) {
        std::uint32_t pixel;
        std::memcpy(&pixel, in, 4);
        pixel |= 0xFF000000u;
        std::memcpy(out, &pixel, 4);
    }
    return i;
}

#ifdef LUMENREEL_BLIT_X86
__attribute__((target("ssse3"), always_inline)) inline void widenFourSsse3(const std::uint8_t* in,
                                                                           std::uint8_t* out) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm_or_si128(_mm_shuffle_epi8(bytes, spread), opaque));
}

// Four pixels a shuffle, sixteen a turn; a 16-byte load from a pixel needs six pixels' bytes left
// in the row.
__attribute__((target("ssse3"))) int widenRowSsse3(const std::uint8_t* in, std::uint8_t* out,
                                                   int count) {
    int i = 0;
    for (; i + 18 <= count; i += 16, in += 48, out += 64)
        for (int group = 0; group < 4; ++group)
            widenFourSsse3(in + 12 * group, out + 16 * group);
    for (; i + 6 <= count; i += 4, in += 12, out += 16)
        widenFourSsse3(in, out);
    return i + widenRowWords(in, out, count - i);
}

bool haveSsse3() {
    static const bool have = __builtin_cpu_supports("ssse3");
    return have;
}
#endif

// Playback widens a whole 24-bit screen picture for every moment drawn.
int widenRow(const std::uint8_t* in, std::uint8_t* out, int count) {
#ifdef LUMENREEL_BLIT_X86
    if (haveSsse3())
        return widenRowSsse3(in, out, count);
#endif
    return widenRowWords(in, out, count);
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
            i = widenRow(in, out, s.width);
            in += 3 * i;
            out += 4 * i;
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
    image.createForOverwrite(source.width(), source.height(), 24);
    copyPixels(source.view(), image.view(), 0, 0, source.width(), source.height());
}

}  // namespace lumenreel
