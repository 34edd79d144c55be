#pragma once

#include <cstdint>

namespace lumenreel::detail {

// A pixel is keyed out when (pixel & mask) == value; mask 0 with value 1 keys out nothing.
struct KeyTest {
    std::uint32_t mask;
    std::uint32_t value;
};

// Blends count 32-bit pixels in place: each colour byte becomes
// ((s × sourceMultiplier) >> 16) + ((d × destinationMultiplier) >> 16), the destination's fourth
// byte is kept, keyed-out source pixels leave the destination alone. Uses the widest vector unit
// the processor has.
void blendRow32(const std::uint8_t* source, std::uint8_t* destination, int count,
                std::uint16_t sourceMultiplier, std::uint16_t destinationMultiplier,
                KeyTest keyTest);

// Full opacity: the colour bytes of every source pixel not keyed out replace the destination's;
// the destination's fourth byte is kept.
void copyRow32(const std::uint8_t* source, std::uint8_t* destination, int count, KeyTest keyTest);

// The same on a chosen vector unit, so each can be checked on one machine; a unit the processor
// or the build lacks does the whole row in scalar code.
enum class BlendUnit { scalar, sse2, avx2 };
void blendRow32On(BlendUnit unit, const std::uint8_t* source, std::uint8_t* destination, int count,
                  std::uint16_t sourceMultiplier, std::uint16_t destinationMultiplier,
                  KeyTest keyTest);

}  // namespace lumenreel::detail
