#include "images/BlendKernel.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define LUMENREEL_BLEND_X86 1
#endif

namespace lumenreel::detail {

namespace {

void blendScalar(const std::uint8_t* source, std::uint8_t* destination, int count,
                 std::uint16_t sourceMultiplier, std::uint16_t destinationMultiplier,
                 KeyTest keyTest) {
    for (int i = 0; i < count; ++i, source += 4, destination += 4) {
        std::uint32_t s;
        std::memcpy(&s, source, 4);
        if ((s & keyTest.mask) == keyTest.value)
            continue;
        for (int c = 0; c < 3; ++c) {
            destination[c] =
                static_cast<std::uint8_t>(((source[c] * sourceMultiplier) >> 16) +
                                          ((destination[c] * destinationMultiplier) >> 16));
        }
    }
}

#ifdef LUMENREEL_BLEND_X86

// Four pixels per step: bytes widen to 16 bits, the high-half multiplies give the two table
// values, the sum packs back, and the key and alpha masks pick what is stored.
int blendSse2(const std::uint8_t* source, std::uint8_t* destination, int count,
              std::uint16_t sourceMultiplier, std::uint16_t destinationMultiplier,
              KeyTest keyTest) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i ms = _mm_set1_epi16(static_cast<short>(sourceMultiplier));
    const __m128i md = _mm_set1_epi16(static_cast<short>(destinationMultiplier));
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i keyMask = _mm_set1_epi32(static_cast<int>(keyTest.mask));
    const __m128i keyValue = _mm_set1_epi32(static_cast<int>(keyTest.value));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i * 4));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(destination + i * 4));
        const __m128i low = _mm_add_epi16(_mm_mulhi_epu16(_mm_unpacklo_epi8(s, zero), ms),
                                          _mm_mulhi_epu16(_mm_unpacklo_epi8(d, zero), md));
        const __m128i high = _mm_add_epi16(_mm_mulhi_epu16(_mm_unpackhi_epi8(s, zero), ms),
                                           _mm_mulhi_epu16(_mm_unpackhi_epi8(d, zero), md));
        const __m128i mixed = _mm_packus_epi16(low, high);
        const __m128i keep =
            _mm_or_si128(_mm_cmpeq_epi32(_mm_and_si128(s, keyMask), keyValue), alphaMask);
        const __m128i out = _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, mixed));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + i * 4), out);
    }
    return i;
}

__attribute__((target("avx2"))) int blendAvx2(const std::uint8_t* source, std::uint8_t* destination,
                                              int count, std::uint16_t sourceMultiplier,
                                              std::uint16_t destinationMultiplier,
                                              KeyTest keyTest) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i ms = _mm256_set1_epi16(static_cast<short>(sourceMultiplier));
    const __m256i md = _mm256_set1_epi16(static_cast<short>(destinationMultiplier));
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m256i keyMask = _mm256_set1_epi32(static_cast<int>(keyTest.mask));
    const __m256i keyValue = _mm256_set1_epi32(static_cast<int>(keyTest.value));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + i * 4));
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(destination + i * 4));
        // Unpacking works within 128-bit lanes and packing undoes it the same way.
        const __m256i low = _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_unpacklo_epi8(s, zero), ms),
                                             _mm256_mulhi_epu16(_mm256_unpacklo_epi8(d, zero), md));
        const __m256i high =
            _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_unpackhi_epi8(s, zero), ms),
                             _mm256_mulhi_epu16(_mm256_unpackhi_epi8(d, zero), md));
        const __m256i mixed = _mm256_packus_epi16(low, high);
        const __m256i keep =
            _mm256_or_si256(_mm256_cmpeq_epi32(_mm256_and_si256(s, keyMask), keyValue), alphaMask);
        const __m256i out = _mm256_blendv_epi8(mixed, d, keep);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(destination + i * 4), out);
    }
    return i;
}

bool haveAvx2() {
    static const bool have = __builtin_cpu_supports("avx2");
    return have;
}

#endif

}  // namespace

void copyRow32(const std::uint8_t* source, std::uint8_t* destination, int count, KeyTest keyTest) {
    // Selects without branches, so the compiler vectorises the loop.
    for (int i = 0; i < count; ++i) {
        std::uint32_t s;
        std::uint32_t d;
        std::memcpy(&s, source + i * 4, 4);
        std::memcpy(&d, destination + i * 4, 4);
        const std::uint32_t copied = (s & 0x00FFFFFFu) | (d & 0xFF000000u);
        const std::uint32_t result = (s & keyTest.mask) == keyTest.value ? d : copied;
        std::memcpy(destination + i * 4, &result, 4);
    }
}

void blendRow32On(BlendUnit unit, const std::uint8_t* source, std::uint8_t* destination, int count,
                  std::uint16_t sourceMultiplier, std::uint16_t destinationMultiplier,
                  KeyTest keyTest) {
    int done = 0;
#ifdef LUMENREEL_BLEND_X86
    if (unit == BlendUnit::avx2 && haveAvx2()) {
        done =
            blendAvx2(source, destination, count, sourceMultiplier, destinationMultiplier, keyTest);
    } else if (unit != BlendUnit::scalar) {
        done =
            blendSse2(source, destination, count, sourceMultiplier, destinationMultiplier, keyTest);
    }
#else
    (void)unit;
#endif
    blendScalar(source + done * 4, destination + done * 4, count - done, sourceMultiplier,
                destinationMultiplier, keyTest);
}

void blendRow32(const std::uint8_t* source, std::uint8_t* destination, int count,
                std::uint16_t sourceMultiplier, std::uint16_t destinationMultiplier,
                KeyTest keyTest) {
    blendRow32On(BlendUnit::avx2, source, destination, count, sourceMultiplier,
                 destinationMultiplier, keyTest);
}

}  // namespace lumenreel::detail
