#include "images/ResampleRows.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdlib>

namespace lumenreel {

namespace {

constexpr int kFixedOne = 1 << 14;

// One target pixel's four weights in fixed point, rounding errors put on the largest so that a
// flat area stays exactly flat.
std::array<int, 4> fixedFourWeights(const float* weights) {
    std::array<int, 4> fixed{};
    int sum = 0;
    for (int k = 0; k < 4; ++k) {
        fixed[k] = static_cast<int>(std::lround(weights[k] * kFixedOne));
        sum += fixed[k];
    }
    const auto largest = std::max_element(fixed.begin(), fixed.end(),
                                          [](int a, int b) { return std::abs(a) < std::abs(b); });
    *largest += kFixedOne - sum;
    for (int& weight : fixed) {
        weight = std::clamp(weight, -32768, 32767);
    }
    return fixed;
}

}  // namespace

ColumnWeights::ColumnWeights(const AxisWeights& axis)
    : taps(axis.taps + axis.taps % 2), first(axis.first) {
    const std::size_t width = first.size();
    weights.assign(width * taps, Lanes{});
    for (std::size_t x = 0; x < width; ++x) {
        for (int k = 0; k < axis.taps; ++k) {
            weights[x * taps + k] = Lanes{} + axis.weights[x * axis.taps + k];
        }
    }
    if (axis.taps != 4) {
        return;
    }
    fixedPairs.assign((width + 1) / 2 * 32, 0);
    for (std::size_t x = 0; x < width; ++x) {
        const std::array<int, 4> fixed = fixedFourWeights(&axis.weights[x * 4]);
        std::int16_t* group = &fixedPairs[x / 2 * 32 + x % 2 * 8];
        for (int pair = 0; pair < 2; ++pair) {
            for (int channel = 0; channel < 4; ++channel) {
                group[pair * 16 + channel * 2] = static_cast<std::int16_t>(fixed[pair * 2]);
                group[pair * 16 + channel * 2 + 1] = static_cast<std::int16_t>(fixed[pair * 2 + 1]);
            }
        }
    }
}

const ResampleRowKernels& fastestRowKernels() {
    static const ResampleRowKernels& chosen =
        avx2RowKernels() ? *avx2RowKernels() : baselineRowKernels();
    return chosen;
}

}  // namespace lumenreel
