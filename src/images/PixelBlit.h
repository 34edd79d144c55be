#pragma once

#include <cstdint>

#include "images/PixelView.h"

namespace lumenreel {

// Copies the source (3 or 4 bytes per pixel) into a 4-byte target with its top-left at (x, y),
// at most maxWidth × maxHeight pixels, clipped to the target. Pixels from a 3-byte source get
// alpha 0xFF; a 4-byte source is copied as it is.
void copyPixels(const PixelView& source, const PixelView& target, int x, int y, int maxWidth,
                int maxHeight);
// Sets every pixel of the rectangle (clipped to the target) to the 32-bit value, or to its
// colour bytes on a 3-byte target.
void fillPixels(const PixelView& target, int x, int y, int width, int height, std::uint32_t value);

}  // namespace lumenreel
