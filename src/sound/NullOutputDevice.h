#pragma once

#include <chrono>
#include <functional>

#include "sound/OutputDevice.h"

namespace lumenreel {

// Plays silently: what is written is consumed at the format's byte rate by the given clock, so
// positions, buffer completion and pacing behave as on a real device.
class NullOutputDevice : public OutputDevice {
public:
    using Clock = std::function<std::chrono::nanoseconds()>;

    explicit NullOutputDevice(Clock clock = steadyClock());

    bool open(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits) override;
    bool write(std::span<const std::uint8_t> bytes) override;
    void pause() override;
    void restart() override;
    void reset() override;
    std::uint64_t position() override;
    void close() override;
    bool isOpen() const override { return m_open; }

    static Clock steadyClock();

private:
    // Moves the play head by the time passed since the last update, never past what was written.
    void catchUp();

    // No lock of its own: the owner serializes every call (a PCM writer holds its mutex around
    // each, from its caller's or its feeder thread).
    Clock m_clock;
    bool m_open = false;
    bool m_paused = false;
    std::uint64_t m_bytesPerSecond = 0;
    std::uint64_t m_written = 0;
    std::uint64_t m_played = 0;
    std::chrono::nanoseconds m_lastUpdate{0};
    // Fractions of a byte carried between updates so slow polling does not lose time.
    std::uint64_t m_carry = 0;
};

}  // namespace lumenreel
