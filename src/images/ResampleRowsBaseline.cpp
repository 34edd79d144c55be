#include <bit>
#include <cstring>

#include "images/LanePixel.h"
#include "images/ResampleRows.h"

namespace lumenreel {

namespace {

void widen(const std::uint8_t* in, int width, Lanes* out) {
    for (int x = 0; x < width; ++x) {
        std::uint32_t word = 0;
        std::memcpy(&word, in + x * 4, 4);
        out[x] = lanesFromWord(word);
    }
}

void filterColumns(const Lanes* in, const ColumnWeights& columns, int from, int to,
                   void* filtered) {
    auto* out = static_cast<Lanes*>(filtered);
    const int taps = columns.taps;
    for (int x = from; x < to; ++x) {
        const Lanes* weights = &columns.weights[static_cast<size_t>(x) * taps];
        const Lanes* pixels = &in[columns.first[x]];
        Lanes sum = {};
        for (int k = 0; k < taps; ++k) {
            sum += weights[k] * pixels[k];
        }
        out[x - from] = sum;
    }
}

void sumRows(const void* const* rows, const float* weights, int taps, int width,
             std::uint8_t* out) {
    static_assert(std::endian::native == std::endian::little);
    for (int x = 0; x < width; ++x) {
        Lanes sum = {};
        for (int k = 0; k < taps; ++k) {
            sum += weights[k] * static_cast<const Lanes*>(rows[k])[x];
        }
        const std::uint32_t word = wordFromLanes(sum);
        std::memcpy(out + x * 4, &word, 4);
    }
}

}  // namespace

const ResampleRowKernels& baselineRowKernels() {
    static const ResampleRowKernels kernels{sizeof(Lanes), widen, filterColumns, nullptr, sumRows};
    return kernels;
}

}  // namespace lumenreel
