#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "sound/OutputDevice.h"

namespace lumenreel {

// The player's volume and mute, read by the devices it opens from whichever thread feeds them.
class SoundGain {
public:
    static constexpr int kSteps = 20;  // 5 % each

    // 0 (silent) to kSteps (as recorded).
    int level() const { return m_level.load(); }
    void setLevel(int level);
    bool muted() const { return m_muted.load(); }
    void setMuted(bool flag) { m_muted = flag; }
    // The factor samples are multiplied by now.
    float factor() const;

private:
    std::atomic<int> m_level{kSteps};
    std::atomic<bool> m_muted{false};
};

// Samples of 8 (unsigned) or 16 (signed little-endian) bits scaled by the factor.
void scaleSamples(std::span<std::uint8_t> bytes, std::uint16_t bits, float factor);

// Devices from the inner factory whose every write passes through the gain first.
OutputDeviceFactory gainedDevices(OutputDeviceFactory inner, std::shared_ptr<const SoundGain> gain);

}  // namespace lumenreel
