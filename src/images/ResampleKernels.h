#pragma once

#include <vector>

namespace lumenreel {

// A symmetric filter kernel: weight(x) for |x| < support, zero outside.
struct ResampleKernel {
    double (*weight)(double x);
    double support;
};

extern const ResampleKernel kTriangleKernel;
extern const ResampleKernel kCatmullRomKernel;

// The weights one axis of a scale uses: every target sample reads `taps` consecutive source samples
// starting at first[i], weighted by weights[i * taps ...]. The weights of each sample sum to one,
// and taps that would fall beyond the edges are folded onto the edge sample.
struct AxisWeights {
    int taps = 0;
    std::vector<int> first;
    std::vector<float> weights;
};

// widenWhenShrinking stretches the kernel by the shrink factor so that it averages every source
// sample instead of picking some and skipping others.
AxisWeights buildAxisWeights(int sourceSize, int targetSize, const ResampleKernel& kernel,
                             bool widenWhenShrinking);

// The source sample each target sample copies when nothing is filtered.
std::vector<int> nearestIndices(int sourceSize, int targetSize);

}  // namespace lumenreel
