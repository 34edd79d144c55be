#include "sound/WaveFormat.h"

#include "base/ByteOrder.h"

namespace lumenreel {

WaveFormat WaveFormat::pcm(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits) {
    WaveFormat format;
    format.formatTag = kPcmTag;
    format.channels = channels;
    format.samplesPerSec = rate;
    format.bitsPerSample = bits;
    format.blockAlign = static_cast<std::uint16_t>(format.frameBytes());
    format.avgBytesPerSec = rate * format.blockAlign;
    return format;
}

std::array<std::uint8_t, WaveFormat::kRecordSize> WaveFormat::toRecord() const {
    std::array<std::uint8_t, kRecordSize> record{};
    std::uint8_t* at = record.data();
    storeLE(at, formatTag);
    storeLE(at + 2, channels);
    storeLE(at + 4, samplesPerSec);
    storeLE(at + 8, avgBytesPerSec);
    storeLE(at + 12, blockAlign);
    storeLE(at + 14, bitsPerSample);
    storeLE(at + 16, extraSize);
    return record;
}

WaveFormat WaveFormat::fromRecord(std::span<const std::uint8_t, kRecordSize> record) {
    const std::uint8_t* at = record.data();
    WaveFormat format;
    format.formatTag = loadLE<std::uint16_t>(at);
    format.channels = loadLE<std::uint16_t>(at + 2);
    format.samplesPerSec = loadLE<std::uint32_t>(at + 4);
    format.avgBytesPerSec = loadLE<std::uint32_t>(at + 8);
    format.blockAlign = loadLE<std::uint16_t>(at + 12);
    format.bitsPerSample = loadLE<std::uint16_t>(at + 14);
    format.extraSize = loadLE<std::uint16_t>(at + 16);
    return format;
}

}  // namespace lumenreel
