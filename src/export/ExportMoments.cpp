#include "export/ExportMoments.h"

#include <algorithm>
#include <cmath>

namespace lumenreel {

long gridIndex(double t, double fps) {
    return std::lround(t * fps);
}

long firstGridStep(double from, double fps) {
    return static_cast<long>(std::ceil(from * fps - kSameMoment));
}

std::vector<double> exportMoments(double from, double to, double fps,
                                  std::span<const double> boundaries) {
    std::vector<double> moments;
    if (!(to > from) || !(fps > 0))
        return moments;
    moments.push_back(from);
    // Counted in whole steps so no rounding of a running sum adds or drops one.
    for (long k = firstGridStep(from, fps);; ++k) {
        const double t = static_cast<double>(k) / fps;
        if (t >= to - kSameMoment)
            break;
        if (t > from + kSameMoment)
            moments.push_back(t);
    }
    for (double boundary : boundaries) {
        if (boundary > from + kSameMoment && boundary < to - kSameMoment)
            moments.push_back(boundary);
    }
    std::sort(moments.begin(), moments.end());
    moments.erase(std::unique(moments.begin(), moments.end(),
                              [](double a, double b) { return b - a < kSameMoment; }),
                  moments.end());
    return moments;
}

}  // namespace lumenreel
