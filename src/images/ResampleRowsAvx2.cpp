#include <cstring>

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
        sum = _mm256_fmadd_ps(_mm256_loadu_ps(pixels + 4 * k), _mm256_loadu_ps(weights + 4 * k), sum);
    }
    return sum;
}

// Taps is the tap count when fixed at compile time (the common enlargement), 0 otherwise.
template <int Taps>
LR_AVX2 void filterColumnsWith(const Lanes* in, const ColumnWeights& columns, int from, int to,
                               Lanes* out) {
    const int taps = columns.taps;
    const auto* pixels = reinterpret_cast<const float*>(in);
    const auto* weights = reinterpret_cast<const float*>(columns.weights.data());
    const int* first = columns.first.data();
    auto* lanes = reinterpret_cast<float*>(out);
    int x = from;
    for (; x + 2 <= to; x += 2) {
        const __m256 a = tapPairs<Taps>(pixels + 4 * first[x], weights + 4 * x * taps, taps);
        const __m256 b =
            tapPairs<Taps>(pixels + 4 * first[x + 1], weights + 4 * (x + 1) * taps, taps);
        const __m256 evens = _mm256_permute2f128_ps(a, b, 0x20);
        const __m256 odds = _mm256_permute2f128_ps(a, b, 0x31);
        _mm256_storeu_ps(lanes + 4 * (x - from), _mm256_add_ps(evens, odds));
    }
    if (x < to) {
        const __m256 a = tapPairs<Taps>(pixels + 4 * first[x], weights + 4 * x * taps, taps);
        _mm_storeu_ps(lanes + 4 * (x - from),
                      _mm_add_ps(_mm256_castps256_ps128(a), _mm256_extractf128_ps(a, 1)));
    }
}

LR_AVX2 void filterColumns(const Lanes* in, const ColumnWeights& columns, int from, int to,
                           Lanes* out) {
    if (columns.taps == 4) {
        filterColumnsWith<4>(in, columns, from, to, out);
    } else {
        filterColumnsWith<0>(in, columns, from, to, out);
    }
}

// Two pixels of a target row from `count` source rows, starting at float `offset`.
template <int Taps>
LR_AVX2 inline __m256 rowSum(const float* const* rows, const __m256* weights, int count,
                             int offset) {
    const int taps = Taps > 0 ? Taps : count;
    __m256 sum = _mm256_mul_ps(weights[0], _mm256_loadu_ps(rows[0] + offset));
    for (int k = 1; k < taps; ++k) {
        sum = _mm256_fmadd_ps(weights[k], _mm256_loadu_ps(rows[k] + offset), sum);
    }
    return sum;
}

// Taps as in filterColumnsWith; at most kMaxRowTaps otherwise.
constexpr int kMaxRowTaps = 8;

template <int Taps>
LR_AVX2 void sumRowsWith(const Lanes* const* rows, const float* weights, int taps, int width,
                         std::uint8_t* out) {
    // Held in locals, so that with a fixed tap count they stay in registers.
    const float* sources[kMaxRowTaps];
    __m256 factors[kMaxRowTaps];
    for (int k = 0; k < taps; ++k) {
        sources[k] = reinterpret_cast<const float*>(rows[k]);
        factors[k] = _mm256_set1_ps(weights[k]);
    }
    // After the packs the four pixels sit in dwords 0, 4, 1 and 5.
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    const __m256 half = _mm256_set1_ps(0.5f);
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        const __m256 low = _mm256_add_ps(rowSum<Taps>(sources, factors, taps, 4 * x), half);
        const __m256 high = _mm256_add_ps(rowSum<Taps>(sources, factors, taps, 4 * x + 8), half);
        const __m256i words = _mm256_packs_epi32(_mm256_cvttps_epi32(low), _mm256_cvttps_epi32(high));
        const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(words, words), order);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x), _mm256_castsi256_si128(bytes));
    }
    for (; x < width; ++x) {
        __m128 sum = _mm_mul_ps(_mm256_castps256_ps128(factors[0]), _mm_loadu_ps(sources[0] + 4 * x));
        for (int k = 1; k < taps; ++k) {
            sum = _mm_fmadd_ps(_mm256_castps256_ps128(factors[k]), _mm_loadu_ps(sources[k] + 4 * x),
                               sum);
        }
        const __m128i words = _mm_cvttps_epi32(_mm_add_ps(sum, _mm256_castps256_ps128(half)));
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(words, words), _mm_setzero_si128());
        const std::int32_t word = _mm_cvtsi128_si32(bytes);
        std::memcpy(out + 4 * x, &word, 4);
    }
}

LR_AVX2 void sumRows(const Lanes* const* rows, const float* weights, int taps, int width,
                     std::uint8_t* out) {
    if (taps == 4) {
        sumRowsWith<4>(rows, weights, taps, width, out);
    } else if (taps == 1) {
        sumRowsWith<1>(rows, weights, taps, width, out);
    } else if (taps <= kMaxRowTaps) {
        sumRowsWith<0>(rows, weights, taps, width, out);
    } else {
        baselineRowKernels().sumRows(rows, weights, taps, width, out);
    }
}

}  // namespace

const ResampleRowKernels* avx2RowKernels() {
    static const ResampleRowKernels kernels{widen, filterColumns, sumRows};
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
