#pragma once

#include <cstdint>

namespace lumenreel {

// Where the speaker is, from what the audio device has taken off its queue. The device takes a
// mixing buffer at a time and plays it over the following period, so what was taken runs ahead
// of what was heard by up to one buffer: the estimate runs on at the sound's own rate from the
// start of the buffer last taken, never past what was taken and never backwards.
class PlayoutClock {
public:
    PlayoutClock(std::uint64_t bufferBytes, std::uint32_t bytesPerSecond, std::uint32_t frameBytes);

    // The bytes heard by `now` (seconds on a steady clock), `taken` having been taken so far.
    std::uint64_t heard(std::uint64_t taken, double now);
    // While paused nothing more is heard.
    void pause(std::uint64_t taken, double now);
    void restart(double now);
    // Back to nothing taken or heard; a pause stays in force.
    void reset();

private:
    std::uint64_t m_bufferBytes;
    double m_bytesPerSecond;
    std::uint32_t m_frameBytes;
    std::uint64_t m_taken = 0;
    std::uint64_t m_heard = 0;
    std::uint64_t m_runFrom = 0;  // heard when the current buffer started to play
    double m_runStart = 0;
    bool m_paused = false;
};

}  // namespace lumenreel
