#pragma once

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "images/ResampleRows.h"

namespace lumenreel {

// A pixel's four bytes, first byte lowest, into lanes.
inline Lanes lanesFromWord(std::uint32_t word) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i bytes = _mm_cvtsi32_si128(static_cast<int>(word));
    return _mm_cvtepi32_ps(_mm_unpacklo_epi16(_mm_unpacklo_epi8(bytes, zero), zero));
#else
    return Lanes{static_cast<float>(word & 0xFF), static_cast<float>((word >> 8) & 0xFF),
                 static_cast<float>((word >> 16) & 0xFF), static_cast<float>(word >> 24)};
#endif
}

// Rounds to bytes and clips what the bicubic lobes overshoot.
inline std::uint32_t wordFromLanes(Lanes value) {
    value += 0.5f;
#if defined(__SSE2__)
    const __m128i words = _mm_cvttps_epi32(value);
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(words, words), _mm_setzero_si128());
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(bytes));
#else
    std::uint32_t word = 0;
    for (int c = 0; c < 4; ++c) {
        word |= static_cast<std::uint32_t>(std::clamp(value[c], 0.0f, 255.0f)) << (8 * c);
    }
    return word;
#endif
}

}  // namespace lumenreel
