#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "images/ImageExt.h"

// Picture sequences for the published-demo tests: noise, and screen-like captures with windows,
// text lines, a scrolling area and a moving pointer.
namespace lumenreel::test {

inline void fillRect(CImageExt& image, int x0, int y0, int w, int h, std::uint32_t bgr) {
    for (int y = std::max(0, y0); y < std::min(image.height(), y0 + h); ++y)
        for (int x = std::max(0, x0); x < std::min(image.width(), x0 + w); ++x)
            image.setPixel(x, y, bgr);
}

inline std::vector<CImageExt> noisePictures(int count, int width, int height, int colours,
                                            unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint32_t> palette(static_cast<std::size_t>(colours));
    for (auto& c : palette)
        c = random() & 0xFFFFFF;
    std::vector<CImageExt> pictures(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        auto& picture = pictures[i];
        picture.create(width, height, 24);
        if (i > 0) {  // mostly like the previous picture, with a few noisy patches
            pictures[i - 1].copyTo(picture);
        }
        int patches = i == 0 ? 1 : 1 + static_cast<int>(random() % 4);
        for (int n = 0; n < patches; ++n) {
            int x0 = i == 0 ? 0 : static_cast<int>(random() % width);
            int y0 = i == 0 ? 0 : static_cast<int>(random() % height);
            int w = i == 0 ? width : 1 + static_cast<int>(random() % 40);
            int h = i == 0 ? height : 1 + static_cast<int>(random() % 40);
            for (int y = y0; y < std::min(height, y0 + h); ++y)
                for (int x = x0; x < std::min(width, x0 + w); ++x)
                    picture.setPixel(x, y, palette[random() % palette.size()]);
        }
    }
    return pictures;
}

// A desktop with a window whose text area scrolls, a repeated toolbar icon and a moving pointer.
inline std::vector<CImageExt> screenPictures(int count, int width, int height) {
    std::vector<CImageExt> pictures(static_cast<std::size_t>(count));
    const int textTop = 60, textHeight = height - 90;
    for (int i = 0; i < count; ++i) {
        auto& p = pictures[i];
        p.create(width, height, 24);
        fillRect(p, 0, 0, width, height, 0x3A6EA5);
        fillRect(p, 20, 20, width - 40, height - 40, 0xF0F0F0);
        fillRect(p, 20, 20, width - 40, 18, 0x000080);
        for (int icon = 0; icon < 6; ++icon) {  // identical icons: one stored tile, placed again
            fillRect(p, 30 + icon * 24, 40, 16, 16, 0x808000);
            fillRect(p, 34 + icon * 24, 44, 8, 8, 0xFFFFFF);
        }
        // Text lines that move up by 3 pixels per picture.
        for (int line = 0; line < 200; ++line) {
            int y = textTop + line * 12 - i * 3;
            if (y < textTop || y + 8 > textTop + textHeight)
                continue;
            for (int word = 0; word < 8; ++word) {
                int x = 30 + word * 40 + (line * 7 + word * 13) % 11;
                for (int row = 0; row < 8; ++row)  // glyph-like: every row a little different
                    fillRect(p, x + (row * 5 + line) % 4, y + row, 12 + (line + word + row) % 15, 1,
                             0x202020 + ((line + row) % 3) * 0x101010);
            }
        }
        const int pointerX = 10 + (i * 17) % std::max(1, width - 30);
        const int pointerY = 10 + (i * 11) % std::max(1, height - 30);
        fillRect(p, pointerX, pointerY, 8, 12, 0x000000);
    }
    return pictures;
}

inline bool samePixels(const CImageExt& a, const CImageExt& b) {
    if (a.width() != b.width() || a.height() != b.height())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF))
                return false;
    return true;
}

}  // namespace lumenreel::test
