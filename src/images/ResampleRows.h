#pragma once

#include <cstdint>
#include <vector>

#include "images/PixelView.h"
#include "images/ResampleKernels.h"

namespace lumenreel {

// Four floats, one pixel: blue, green, red and alpha (with 3-byte pixels the next pixel's first
// byte, filtered and never kept).
using Lanes = float __attribute__((vector_size(16)));

// The horizontal weights of a scale, each repeated across a pixel's four lanes so that no kernel
// has to broadcast them, and padded with zero weights to an even tap count so that wide kernels
// can take taps in pairs. Every row of the scale reuses them.
struct ColumnWeights {
    explicit ColumnWeights(const AxisWeights& axis);

    int taps = 0;
    std::vector<int> first;
    std::vector<Lanes> weights;  // taps per target pixel
    // With four taps, the weights again in 14 fraction bits (each pixel's summing to exactly
    // one), for kernels that filter bytes: target pixels 2g and 2g + 1 take 32 values from 32g,
    // taps 0 and 1 of 2g as (w0, w1) over its four channels, then those of 2g + 1, then taps 2
    // and 3 of both.
    std::vector<std::int16_t> fixedPairs;
};

// A source row in lanes reads this many zeroed pixels past its end, where padded taps fall.
constexpr int kRowPadding = 1;

// The row operations the scaler is built from, in one set per instruction set; all give the same
// picture, give or take one step of rounding. Rows filtered horizontally are kept in the set's own
// form, filteredPixelBytes a pixel, and handed back to the same set only.
struct ResampleRowKernels {
    int filteredPixelBytes;
    // BGRA bytes into lanes.
    void (*widen)(const std::uint8_t* in, int width, Lanes* out);
    // Filtered pixel x - from of out = sum over k of weights[x][k] * in[first[x] + k], for target
    // pixels x in [from, to).
    void (*filterColumns)(const Lanes* in, const ColumnWeights& columns, int from, int to,
                          void* out);
    // filterColumns for four taps straight from a row of BGRA bytes, with no widening; null
    // where the set has none.
    void (*filterFourTapBytes)(const std::uint8_t* in, const ColumnWeights& columns, int from,
                               int to, void* out);
    // The sum over k of weights[k] * rows[k][x] over filtered rows, rounded and clipped to bytes,
    // 4 bytes a pixel.
    void (*sumRows)(const void* const* rows, const float* weights, int taps, int width,
                    std::uint8_t* out);
};

// SSE2 where the build targets it, plain vector code elsewhere: runs on every machine.
const ResampleRowKernels& baselineRowKernels();
// AVX2 and FMA, with rows filtered into 16-bit fixed point (a step of rounding apart from the
// baseline at most); null when the processor lacks them.
const ResampleRowKernels* avx2RowKernels();
// The widest set this processor runs, chosen once.
const ResampleRowKernels& fastestRowKernels();

// resample() with a chosen kernel set, so that each set can be checked against the others.
bool resampleWith(const PixelView& source, const PixelView& target, int interpolationMode,
                  const ResampleRowKernels& kernels);

}  // namespace lumenreel
