#pragma once

#include <cstdint>
#include <span>

namespace lumenreel {

struct SampleLevels {
    std::uint32_t min = 0;
    std::uint32_t max = 0;
};

// Smallest and largest sample: bytes for 8-bit data, unsigned 16-bit values for 16-bit data;
// zeros for empty data or other sample sizes.
SampleLevels sampleLevels(std::span<const std::uint8_t> data, std::uint16_t bitsPerSample);

}  // namespace lumenreel

// Tells whether PCM data is silence: nearly every sample lies within a small distance of the
// mean, which also takes a DC offset or faint hiss as silence.
class CSilenceDetection {
public:
    static constexpr std::uint32_t kMaxLoudSamples = 100;
    static constexpr std::int32_t kByteTolerance = 3;
    static constexpr std::int32_t kWordTolerance = 6;

    // 8- or 16-bit PCM; other sample sizes are never called silent.
    static bool IsSilent(std::span<const std::uint8_t> data, std::uint16_t bitsPerSample);
};
