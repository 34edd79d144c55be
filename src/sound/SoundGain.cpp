#include "sound/SoundGain.h"

#include <algorithm>
#include <cmath>

namespace lumenreel {

void SoundGain::setLevel(int level) {
    m_level = std::clamp(level, 0, kSteps);
}

float SoundGain::factor() const {
    if (muted())
        return 0.0f;
    // Loudness is heard on a log scale, so the steps follow a cube rather than a line.
    const float linear = static_cast<float>(level()) / kSteps;
    return linear * linear * linear;
}

void scaleSamples(std::span<std::uint8_t> bytes, std::uint16_t bits, float factor) {
    if (factor == 1.0f)
        return;
    if (bits == 8) {
        for (std::uint8_t& sample : bytes)
            sample = static_cast<std::uint8_t>(
                std::lround(128.0f + (static_cast<float>(sample) - 128.0f) * factor));
        return;
    }
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto sample = static_cast<std::int16_t>(bytes[i] | (bytes[i + 1] << 8));
        const auto scaled = static_cast<std::int16_t>(std::lround(sample * factor));
        bytes[i] = static_cast<std::uint8_t>(scaled & 0xFF);
        bytes[i + 1] = static_cast<std::uint8_t>((static_cast<std::uint16_t>(scaled) >> 8) & 0xFF);
    }
}

namespace {

class GainedDevice : public OutputDevice {
public:
    GainedDevice(std::unique_ptr<OutputDevice> inner, std::shared_ptr<const SoundGain> gain)
        : m_inner(std::move(inner)), m_gain(std::move(gain)) {}

    bool open(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits) override {
        m_bits = bits;
        return m_inner->open(rate, channels, bits);
    }
    bool write(std::span<const std::uint8_t> bytes) override {
        const float factor = m_gain->factor();
        if (factor == 1.0f)
            return m_inner->write(bytes);
        m_scaled.assign(bytes.begin(), bytes.end());
        scaleSamples(m_scaled, m_bits, factor);
        return m_inner->write(m_scaled);
    }
    void pause() override { m_inner->pause(); }
    void restart() override { m_inner->restart(); }
    void reset() override { m_inner->reset(); }
    void drain() override { m_inner->drain(); }
    std::uint64_t position() override { return m_inner->position(); }
    void close() override { m_inner->close(); }
    bool isOpen() const override { return m_inner->isOpen(); }

private:
    std::unique_ptr<OutputDevice> m_inner;
    std::shared_ptr<const SoundGain> m_gain;
    std::uint16_t m_bits = 16;
    std::vector<std::uint8_t> m_scaled;
};

}  // namespace

OutputDeviceFactory gainedDevices(OutputDeviceFactory inner,
                                  std::shared_ptr<const SoundGain> gain) {
    return [inner = std::move(inner), gain = std::move(gain)]() -> std::unique_ptr<OutputDevice> {
        return std::make_unique<GainedDevice>(inner(), gain);
    };
}

}  // namespace lumenreel
