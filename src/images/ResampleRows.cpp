#include "images/ResampleRows.h"

#include <cstddef>

namespace lumenreel {

ColumnWeights::ColumnWeights(const AxisWeights& axis)
    : taps(axis.taps + axis.taps % 2), first(axis.first) {
    const std::size_t width = first.size();
    weights.assign(width * taps, Lanes{});
    for (std::size_t x = 0; x < width; ++x) {
        for (int k = 0; k < axis.taps; ++k) {
            weights[x * taps + k] = Lanes{} + axis.weights[x * axis.taps + k];
        }
    }
}

const ResampleRowKernels& fastestRowKernels() {
    static const ResampleRowKernels& chosen =
        avx2RowKernels() ? *avx2RowKernels() : baselineRowKernels();
    return chosen;
}

}  // namespace lumenreel
