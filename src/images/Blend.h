#pragma once

#include <array>
#include <cstdint>

#include "images/PixelView.h"

namespace lumenreel {

// The two 256-entry tables of a blend: s[i] = trunc(alpha / 255 × i) and
// d[i] = trunc((1 − alpha / 255) × i), in single precision, so results match stored pictures
// bit for bit.
struct BlendTables {
    std::array<std::uint8_t, 256> source{};
    std::array<std::uint8_t, 256> destination{};
};
BlendTables makeBlendTables(int alpha);

// Blends a 24- or 32-bit source into a 32-bit destination with its top-left at (x, y), clipped,
// with alpha taken modulo 256;
// each colour byte becomes s[source] + d[destination], the destination's fourth byte is kept.
// Source pixels equal to the key are skipped: with use32BitKey the whole pixel (a 24-bit pixel
// reading 0 as its fourth byte) is compared, otherwise its colour bytes as 0xRRGGBB, and then a
// key above 0xFFFFFF skips nothing. A destination of another depth is left unchanged.
void blendPixels(const PixelView& source, const PixelView& destination, int x, int y, int alpha,
                 std::uint32_t key, bool use32BitKey);

}  // namespace lumenreel
