#pragma once

#include "images/PixelView.h"

namespace lumenreel {

// The interpolation modes pictures are scaled with, numbered as the stored items and callers pass
// them.
enum class InterpolationMode : int {
    Default = 0,              // bilinear
    LowQuality = 1,           // bilinear, no prefilter
    HighQuality = 2,          // high-quality bicubic
    Bilinear = 3,             // no prefilter: shrinking below half skips source pixels
    Bicubic = 4,              // Catmull-Rom, no prefilter
    NearestNeighbor = 5,      // each target pixel copies one source pixel
    HighQualityBilinear = 6,  // triangle filter widened when shrinking
    HighQualityBicubic = 7,   // Catmull-Rom widened when shrinking: every source pixel counts
};

// Scales the whole source picture onto the whole target picture. Both views hold 3 or 4 bytes per
// pixel, the same on both sides, and must not overlap. Alpha is straight (not premultiplied): with
// 4 bytes per pixel the fourth byte is filtered like the colour bytes, so a keyed overlay keeps its
// colours at the edges of its transparent parts. Pixel centres line up the usual way (source
// coordinate = (target + 0.5) * scale - 0.5) and the borders repeat their edge pixels.
// Returns false, leaving the target untouched, for empty views, mismatched depths or an unknown
// mode.
bool resample(const PixelView& source, const PixelView& target, int interpolationMode);

}  // namespace lumenreel
