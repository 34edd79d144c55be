#include "images/ResampleKernels.h"

#include <algorithm>
#include <cmath>

namespace lumenreel {

namespace {

double triangle(double x) {
    x = std::fabs(x);
    return x < 1.0 ? 1.0 - x : 0.0;
}

// Keys' cubic with a = -0.5: interpolates, and reproduces straight ramps exactly.
double catmullRom(double x) {
    x = std::fabs(x);
    if (x < 1.0) {
        return (1.5 * x - 2.5) * x * x + 1.0;
    }
    if (x < 2.0) {
        return ((-0.5 * x + 2.5) * x - 4.0) * x + 2.0;
    }
    return 0.0;
}

}  // namespace

const ResampleKernel kTriangleKernel{triangle, 1.0};
const ResampleKernel kCatmullRomKernel{catmullRom, 2.0};

namespace {

// The source samples a target sample's kernel reaches, before clamping to the edges.
struct Reach {
    double centre;
    int from;
    int to;
};

Reach reachOf(int index, double scale, double support) {
    const double centre = (index + 0.5) * scale - 0.5;
    return {centre, static_cast<int>(std::floor(centre - support)) + 1,
            static_cast<int>(std::ceil(centre + support)) - 1};
}

}  // namespace

AxisWeights buildAxisWeights(int sourceSize, int targetSize, const ResampleKernel& kernel,
                             bool widenWhenShrinking) {
    const double scale = static_cast<double>(sourceSize) / targetSize;
    const double stretch = widenWhenShrinking ? std::max(1.0, scale) : 1.0;
    const double support = kernel.support * stretch;
    const int last = sourceSize - 1;

    AxisWeights result;
    result.taps = 1;
    for (int i = 0; i < targetSize; ++i) {
        const Reach reach = reachOf(i, scale, support);
        const int width = std::clamp(reach.to, 0, last) - std::clamp(reach.from, 0, last) + 1;
        result.taps = std::max(result.taps, width);
    }

    const int taps = result.taps;
    result.first.resize(targetSize);
    result.weights.assign(static_cast<size_t>(targetSize) * taps, 0.0f);
    std::vector<double> window(taps);
    for (int i = 0; i < targetSize; ++i) {
        const Reach reach = reachOf(i, scale, support);
        const int first = std::min(std::clamp(reach.from, 0, last), sourceSize - taps);
        std::fill(window.begin(), window.end(), 0.0);
        double sum = 0.0;
        for (int j = reach.from; j <= reach.to; ++j) {
            const double value = kernel.weight((j - reach.centre) / stretch);
            window[std::clamp(j, 0, last) - first] += value;
            sum += value;
        }
        if (sum == 0.0) {
            // A kernel narrower than the sample spacing can miss every sample: take the nearest.
            window[std::clamp(static_cast<int>(std::lround(reach.centre)), 0, last) - first] = 1.0;
            sum = 1.0;
        }
        result.first[i] = first;
        float* out = &result.weights[static_cast<size_t>(i) * taps];
        for (int k = 0; k < taps; ++k) {
            out[k] = static_cast<float>(window[k] / sum);
        }
    }
    return result;
}

std::vector<int> nearestIndices(int sourceSize, int targetSize) {
    std::vector<int> indices(targetSize);
    const double scale = static_cast<double>(sourceSize) / targetSize;
    for (int i = 0; i < targetSize; ++i) {
        indices[i] = std::min(sourceSize - 1, static_cast<int>((i + 0.5) * scale));
    }
    return indices;
}

}  // namespace lumenreel
