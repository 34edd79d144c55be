#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace lumenreel {

// The 18-byte wave format record that sound resources store and hand to the output device.
struct WaveFormat {
    static constexpr std::size_t kRecordSize = 18;
    static constexpr std::uint16_t kPcmTag = 1;

    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;

    // PCM with the derived fields filled in.
    static WaveFormat pcm(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits);

    // Bytes of one sample frame (all channels); 0 for a blank or odd record.
    std::uint32_t frameBytes() const { return std::uint32_t{channels} * bitsPerSample / 8; }
    bool isPcm() const { return formatTag == kPcmTag; }

    std::array<std::uint8_t, kRecordSize> toRecord() const;
    static WaveFormat fromRecord(std::span<const std::uint8_t, kRecordSize> record);

    friend bool operator==(const WaveFormat&, const WaveFormat&) = default;
};

}  // namespace lumenreel
