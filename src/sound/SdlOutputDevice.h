#pragma once

#include <cstdint>
#include <optional>

#include "sound/OutputDevice.h"
#include "sound/PlayoutClock.h"

namespace lumenreel {

// The machine's audio output through SDL's queue: written bytes go to SDL's queue, and the
// position is where the speaker is in what SDL has taken from it (which leads the speaker by
// up to one mixing buffer).
class SdlOutputDevice : public OutputDevice {
public:
    SdlOutputDevice() = default;
    ~SdlOutputDevice() override;
    SdlOutputDevice(const SdlOutputDevice&) = delete;
    SdlOutputDevice& operator=(const SdlOutputDevice&) = delete;

    bool open(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits) override;
    bool write(std::span<const std::uint8_t> bytes) override;
    void pause() override;
    void restart() override;
    void reset() override;
    std::uint64_t position() override;
    void close() override;
    bool isOpen() const override { return m_device != 0; }

private:
    // No lock of its own: the owner serializes every call (a PCM writer holds its mutex around
    // each, from its caller's or its feeder thread). SDL's audio thread drains the queue behind
    // SDL's own lock.
    std::uint64_t taken() const;

    std::uint32_t m_device = 0;
    std::uint64_t m_written = 0;
    std::optional<PlayoutClock> m_clock;  // while open
};

}  // namespace lumenreel
