#pragma once

#include <cstdint>

#include "images/PixelView.h"

class CImageExt;

namespace lumenreel {

// The width × height block of the view whose top-left pixel is (x, y); the caller keeps the block
// inside the view.
PixelView subView(const PixelView& view, int x, int y, int width, int height);

// Copies the source into the target with its top-left at (x, y), at most maxWidth × maxHeight
// pixels, clipped to the target. Pixels of the same depth are copied as they are, row by row from
// the top (rows of one picture may overlap within a row); 3-byte pixels gain alpha 0xFF in a
// 4-byte target, and 4-byte pixels lose their alpha in a 3-byte target.
void copyPixels(const PixelView& source, const PixelView& target, int x, int y, int maxWidth,
                int maxHeight);
// Sets every pixel of the rectangle (clipped to the target) to the 32-bit value, or to its
// colour bytes on a 3-byte target.
void fillPixels(const PixelView& target, int x, int y, int width, int height, std::uint32_t value);

// Makes the image a 24-bit copy of a 24- or 32-bit source (alpha dropped).
void copyAsBgr24(const CImageExt& source, CImageExt& image);

}  // namespace lumenreel
