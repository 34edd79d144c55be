#include "sound/SilenceDetection.h"

#include <algorithm>
#include <cstdlib>

#include "base/ByteOrder.h"

namespace lumenreel {

SampleLevels sampleLevels(std::span<const std::uint8_t> data, std::uint16_t bitsPerSample) {
    SampleLevels levels;
    if (bitsPerSample == 8 && !data.empty()) {
        auto [low, high] = std::minmax_element(data.begin(), data.end());
        levels = {*low, *high};
    } else if (bitsPerSample == 16 && data.size() >= 2) {
        levels = {0xFFFF, 0};
        for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
            std::uint32_t sample = loadLE<std::uint16_t>(data.data() + i);
            levels.min = std::min(levels.min, sample);
            levels.max = std::max(levels.max, sample);
        }
    }
    return levels;
}

}  // namespace lumenreel

namespace {

template <class Sample>
bool fewLoudSamples(std::span<const std::uint8_t> data, std::int32_t tolerance) {
    std::size_t count = data.size() / sizeof(Sample);
    if (count == 0)
        return true;
    auto sample = [&](std::size_t i) -> std::int64_t {
        return lumenreel::loadLE<Sample>(data.data() + i * sizeof(Sample));
    };
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += sample(i);
    std::int64_t mean = sum / static_cast<std::int64_t>(count);
    std::uint32_t loud = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (std::llabs(sample(i) - mean) > tolerance &&
            ++loud > CSilenceDetection::kMaxLoudSamples) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool CSilenceDetection::IsSilent(std::span<const std::uint8_t> data, std::uint16_t bitsPerSample) {
    if (bitsPerSample == 8)
        return fewLoudSamples<std::uint8_t>(data, kByteTolerance);
    if (bitsPerSample == 16)
        return fewLoudSamples<std::int16_t>(data, kWordTolerance);
    return false;
}
