#pragma once

#include <utility>
#include <vector>

#include "base/Geometry.h"
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

// resample() for the target pixels inside part (clipped to the target) only, each exactly as
// resample() gives it: a picture whose source changed in a few places is brought up to date by
// resampling the parts ResampleReach names.
bool resamplePart(const PixelView& source, const PixelView& target, int interpolationMode,
                  const Rect& part);

// Which target pixels read which source pixels, for one pair of sizes and one mode.
class ResampleReach {
public:
    ResampleReach(Size source, Size target, int interpolationMode);
    // The target pixels whose value reads any source pixel of sourcePart; empty when none does.
    Rect targetOf(const Rect& sourcePart) const;
    bool isFor(Size source, Size target, int interpolationMode) const {
        return source == m_source && target == m_target && interpolationMode == m_mode;
    }

private:
    // Target sample i reads the source samples [first[i], first[i] + taps).
    struct Axis {
        std::vector<int> first;
        int taps = 1;
    };
    static Axis axisOf(int sourceSize, int targetSize, bool copied, int interpolationMode);
    static std::pair<int, int> reachOf(const Axis& axis, int from, int to);

    Size m_source;
    Size m_target;
    int m_mode;
    Axis m_columns;
    Axis m_rows;
};

}  // namespace lumenreel
