#pragma once

#include "images/PixelView.h"

namespace lumenreel {

// The two raster operations cursors are drawn with, source top-left at (x, y), clipped to the
// target. Only the colour bytes change; a 32-bit target keeps its fourth byte. Source and target
// may each have 3 or 4 bytes per pixel.
void andPixels(const PixelView& source, const PixelView& target, int x, int y);
void xorPixels(const PixelView& source, const PixelView& target, int x, int y);

// Rows first to first + count of a view (clipped to it).
PixelView rowsOf(const PixelView& view, int first, int count);

}  // namespace lumenreel
