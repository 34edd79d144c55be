#pragma once

#include <cstdint>

#include "images/ImageExt.h"

// A 1024 × 768 screen as recordings show one: a side panel, a title bar gradient, rows of small
// glyph-like marks and a photo-like area.
inline CImageExt screenLikePicture() {
    CImageExt image;
    image.create(1024, 768, 24);
    for (int y = 0; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x) {
            std::uint32_t colour = x < 200 ? 0xE8E8E8 : 0xFFFFFF;
            if (y < 30)
                colour = (0x20 + x / 8) << 16 | (0x40 + x / 16) << 8 | 0xA0;
            const bool textLine = y > 60 && (y - 60) % 18 < 11 && x > 220 && x < 1000;
            if (textLine && ((x * 7 + y * 3) % 11 < 4))
                colour = 0x202020;
            if (x > 600 && x < 900 && y > 300 && y < 600)
                colour = (x ^ y) & 0xFF;  // a picture
            image.setPixel(x, y, static_cast<std::uint32_t>(colour));
        }
    }
    return image;
}
