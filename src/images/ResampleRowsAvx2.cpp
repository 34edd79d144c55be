#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "images/ResampleRows.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

// Built for AVX2 and FMA whatever the rest of the build targets; only called where the processor
// says it has both.
#define LR_AVX2 __attribute__((target("avx2,fma")))

namespace lumenreel {

namespace {

LR_AVX2 void widen(const std::uint8_t* in, int width, Lanes* out) {
    auto* lanes = reinterpret_cast<float*>(out);
    int x = 0;
    for (; x + 2 <= width; x += 2) {
        const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + x * 4));
        _mm256_storeu_ps(lanes + x * 4, _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(bytes)));
    }
    for (; x < width; ++x) {
        std::int32_t word = 0;
        std::memcpy(&word, in + x * 4, 4);
        const __m128i bytes = _mm_cvtsi32_si128(word);
        _mm_storeu_ps(lanes + x * 4, _mm_cvtepi32_ps(_mm_cvtepu8_epi32(bytes)));
    }
}

// One target pixel's taps two at a time: the low half sums the even taps, the high half the odd.
template <int Taps>
LR_AVX2 inline __m256 tapPairs(const float* pixels, const float* weights, int taps) {
    const int count = Taps > 0 ? Taps : taps;
    __m256 sum = _mm256_mul_ps(_mm256_loadu_ps(pixels), _mm256_loadu_ps(weights));
    for (int k = 2; k < count; k += 2) {
        sum =
            _mm256_fmadd_ps(_mm256_loadu_ps(pixels + 4 * k), _mm256_loadu_ps(weights + 4 * k), sum);
    }
    return sum;
}

// Filtered rows hold 16-bit fixed point with six fraction bits: half the bytes of floats for the
// vertical kernel to read, and 16 values an instruction. Catmull-Rom's overshoot stays far inside
// the 16-bit range.
constexpr float kFilteredScale = 64.0f;

// Two target pixels, x and x + 1, as floats.
template <int Taps>
LR_AVX2 inline __m256 pixelPair(const float* pixels, const float* weights, const int* first,
                                int taps, int x) {
    const __m256 a = tapPairs<Taps>(pixels + 4 * first[x], weights + 4 * x * taps, taps);
    const __m256 b = tapPairs<Taps>(pixels + 4 * first[x + 1], weights + 4 * (x + 1) * taps, taps);
    return _mm256_add_ps(_mm256_permute2f128_ps(a, b, 0x20), _mm256_permute2f128_ps(a, b, 0x31));
}

// Taps is the tap count when fixed at compile time (the common enlargement), 0 otherwise.
template <int Taps>
LR_AVX2 void filterColumnsWith(const Lanes* in, const ColumnWeights& columns, int from, int to,
                               void* filtered) {
    const int taps = columns.taps;
    const auto* pixels = reinterpret_cast<const float*>(in);
    const auto* weights = reinterpret_cast<const float*>(columns.weights.data());
    const int* first = columns.first.data();
    auto* out = static_cast<std::int16_t*>(filtered);
    const __m256 scale = _mm256_set1_ps(kFilteredScale);
    int x = from;
    for (; x + 4 <= to; x += 4) {
        const __m256i low = _mm256_cvtps_epi32(
            _mm256_mul_ps(pixelPair<Taps>(pixels, weights, first, taps, x), scale));
        const __m256i high = _mm256_cvtps_epi32(
            _mm256_mul_ps(pixelPair<Taps>(pixels, weights, first, taps, x + 2), scale));
        // The pack interleaves the halves; the permute puts the four pixels back in order.
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packs_epi32(low, high), 0xD8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * (x - from)), packed);
    }
    for (; x < to; ++x) {
        const __m256 a = tapPairs<Taps>(pixels + 4 * first[x], weights + 4 * x * taps, taps);
        const __m128 sum = _mm_add_ps(_mm256_castps256_ps128(a), _mm256_extractf128_ps(a, 1));
        const __m128i words = _mm_cvtps_epi32(_mm_mul_ps(sum, _mm256_castps256_ps128(scale)));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 4 * (x - from)),
                         _mm_packs_epi32(words, words));
    }
}

LR_AVX2 void filterColumns(const Lanes* in, const ColumnWeights& columns, int from, int to,
                           void* filtered) {
    if (columns.taps == 4) {
        filterColumnsWith<4>(in, columns, from, to, filtered);
    } else {
        filterColumnsWith<0>(in, columns, from, to, filtered);
    }
}

// Four taps of a pixel in each half: the source pixels' bytes as 16-bit pairs of taps 0 and 1
// (B0 B1 G0 G1 R0 R1 A0 A1), then of taps 2 and 3, each multiplied by its weight pair and summed.
LR_AVX2 inline __m256i fourTapSums(const __m256i pixels, const std::int16_t* weights) {
    const __m256i firstPair =
        _mm256_setr_epi8(0, -1, 4, -1, 1, -1, 5, -1, 2, -1, 6, -1, 3, -1, 7, -1, 0, -1, 4, -1, 1,
                         -1, 5, -1, 2, -1, 6, -1, 3, -1, 7, -1);
    const __m256i secondPair =
        _mm256_setr_epi8(8, -1, 12, -1, 9, -1, 13, -1, 10, -1, 14, -1, 11, -1, 15, -1, 8, -1, 12,
                         -1, 9, -1, 13, -1, 10, -1, 14, -1, 11, -1, 15, -1);
    const __m256i low =
        _mm256_madd_epi16(_mm256_shuffle_epi8(pixels, firstPair),
                          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights)));
    const __m256i high =
        _mm256_madd_epi16(_mm256_shuffle_epi8(pixels, secondPair),
                          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights + 16)));
    return _mm256_add_epi32(low, high);
}

// From 14 fraction bits to the filtered rows' six, rounded.
LR_AVX2 inline __m256i toFiltered(__m256i sums) {
    return _mm256_srai_epi32(_mm256_add_epi32(sums, _mm256_set1_epi32(1 << 7)), 8);
}

LR_AVX2 inline __m128i sourcePixels(const std::uint8_t* in, int first) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 4 * first));
}

// Target pixels x and x + 1 (x even), in the two halves.
LR_AVX2 inline __m256i pixelPairSums(const std::uint8_t* in, const ColumnWeights& columns, int x) {
    const __m256i pixels =
        _mm256_inserti128_si256(_mm256_castsi128_si256(sourcePixels(in, columns.first[x])),
                                sourcePixels(in, columns.first[x + 1]), 1);
    return toFiltered(fourTapSums(pixels, &columns.fixedPairs[static_cast<size_t>(x) * 16]));
}

// One target pixel, in the low half.
LR_AVX2 inline void storeSinglePixel(const std::uint8_t* in, const ColumnWeights& columns, int x,
                                     std::int16_t* out) {
    const std::int16_t* group = &columns.fixedPairs[static_cast<size_t>(x / 2) * 32 + x % 2 * 8];
    const __m128i pixels = sourcePixels(in, columns.first[x]);
    const __m128i firstPair = _mm_setr_epi8(0, -1, 4, -1, 1, -1, 5, -1, 2, -1, 6, -1, 3, -1, 7, -1);
    const __m128i secondPair =
        _mm_setr_epi8(8, -1, 12, -1, 9, -1, 13, -1, 10, -1, 14, -1, 11, -1, 15, -1);
    const __m128i sums = _mm_add_epi32(
        _mm_madd_epi16(_mm_shuffle_epi8(pixels, firstPair),
                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(group))),
        _mm_madd_epi16(_mm_shuffle_epi8(pixels, secondPair),
                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(group + 16))));
    const __m128i words = _mm_srai_epi32(_mm_add_epi32(sums, _mm_set1_epi32(1 << 7)), 8);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packs_epi32(words, words));
}

// Integer multiply-adds on the bytes as they are: no widened row to write and read again, and
// two target pixels an instruction.
LR_AVX2 void filterFourTapBytes(const std::uint8_t* in, const ColumnWeights& columns, int from,
                                int to, void* filtered) {
    auto* out = static_cast<std::int16_t*>(filtered);
    int x = from;
    if (x % 2 != 0 && x < to) {
        storeSinglePixel(in, columns, x, out + 4 * (x - from));
        ++x;
    }
    for (; x + 4 <= to; x += 4) {
        const __m256i low = pixelPairSums(in, columns, x);
        const __m256i high = pixelPairSums(in, columns, x + 2);
        // The pack interleaves the halves; the permute puts the four pixels back in order.
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packs_epi32(low, high), 0xD8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * (x - from)), packed);
    }
    for (; x < to; ++x) {
        storeSinglePixel(in, columns, x, out + 4 * (x - from));
    }
}

// Vertical weights in 14 fraction bits: the taps that fold onto an edge row weigh more than one.
// The rounding high-half multiply then leaves five fraction bits of the six.
std::int16_t fixedWeight(float weight) {
    return static_cast<std::int16_t>(std::clamp(std::lround(weight * 16384.0f), -32768L, 32767L));
}

// What _mm256_mulhrs_epi16 does to one value.
int roundedHighProduct(int value, int weight) {
    return (value * weight + 0x4000) >> 15;
}

// Multiplying by this with the rounding high-half multiply drops the five fraction bits left.
constexpr int kToBytes = 1024;

// Four pixels of a target row from `count` filtered rows, at 16-bit value `offset`.
template <int Taps>
LR_AVX2 inline __m256i rowSum(const std::int16_t* const* rows, const __m256i* weights, int count,
                              int offset) {
    const int taps = Taps > 0 ? Taps : count;
    __m256i sum = _mm256_mulhrs_epi16(
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[0] + offset)), weights[0]);
    for (int k = 1; k < taps; ++k) {
        const __m256i values =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[k] + offset));
        sum = _mm256_adds_epi16(sum, _mm256_mulhrs_epi16(values, weights[k]));
    }
    return _mm256_mulhrs_epi16(sum, _mm256_set1_epi16(kToBytes));
}

// A fixed-point weight repeated across a vector.
struct alignas(32) Factor {
    std::int16_t lanes[16];
};

// The rows and weights of one target row in the forms the loops use.
struct RowTaps {
    std::vector<const std::int16_t*> sources;
    std::vector<std::int16_t> fixed;
    std::vector<Factor> factors;
};

template <int Taps>
LR_AVX2 void sumRowsWith(const RowTaps& row, int taps, int width, std::uint8_t* out) {
    const std::int16_t* const* sources = row.sources.data();
    const auto* factors = reinterpret_cast<const __m256i*>(row.factors.data());
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m256i low = rowSum<Taps>(sources, factors, taps, 4 * x);
        const __m256i high = rowSum<Taps>(sources, factors, taps, 4 * x + 16);
        const __m256i bytes = _mm256_permute4x64_epi64(_mm256_packus_epi16(low, high), 0xD8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * x), bytes);
    }
    // The same arithmetic a value at a time, saturating as the vector adds do.
    for (int i = 4 * x; i < 4 * width; ++i) {
        int sum = 0;
        for (int k = 0; k < taps; ++k) {
            sum = std::clamp(sum + roundedHighProduct(sources[k][i], row.fixed[k]), -32768, 32767);
        }
        out[i] = static_cast<std::uint8_t>(std::clamp(roundedHighProduct(sum, kToBytes), 0, 255));
    }
}

// A row taken as it is, rounded from six fraction bits straight to bytes.
LR_AVX2 void narrowRow(const std::int16_t* row, int width, std::uint8_t* out) {
    const __m256i toBytes = _mm256_set1_epi16(kToBytes / 2);
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m256i low = _mm256_mulhrs_epi16(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + 4 * x)), toBytes);
        const __m256i high = _mm256_mulhrs_epi16(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + 4 * x + 16)), toBytes);
        const __m256i bytes = _mm256_permute4x64_epi64(_mm256_packus_epi16(low, high), 0xD8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * x), bytes);
    }
    for (int i = 4 * x; i < 4 * width; ++i) {
        out[i] =
            static_cast<std::uint8_t>(std::clamp(roundedHighProduct(row[i], kToBytes / 2), 0, 255));
    }
}

LR_AVX2 void sumRows(const void* const* rows, const float* weights, int taps, int width,
                     std::uint8_t* out) {
    // One row weighted one (the last step of shrinking) would lose a bit to the weight's scale.
    if (taps == 1 && weights[0] == 1.0f) {
        narrowRow(static_cast<const std::int16_t*>(rows[0]), width, out);
        return;
    }
    // Kept between calls: a picture's rows all have the same tap count.
    thread_local RowTaps row;
    row.sources.resize(taps);
    row.fixed.resize(taps);
    row.factors.resize(taps);
    for (int k = 0; k < taps; ++k) {
        row.sources[k] = static_cast<const std::int16_t*>(rows[k]);
        row.fixed[k] = fixedWeight(weights[k]);
        std::fill_n(row.factors[k].lanes, 16, row.fixed[k]);
    }
    if (taps == 4) {
        sumRowsWith<4>(row, taps, width, out);
    } else {
        sumRowsWith<0>(row, taps, width, out);
    }
}

}  // namespace

const ResampleRowKernels* avx2RowKernels() {
    static const ResampleRowKernels kernels{4 * sizeof(std::int16_t), widen, filterColumns,
                                            filterFourTapBytes, sumRows};
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") ? &kernels : nullptr;
}

}  // namespace lumenreel

#else

namespace lumenreel {

const ResampleRowKernels* avx2RowKernels() {
    return nullptr;
}

}  // namespace lumenreel

#endif
