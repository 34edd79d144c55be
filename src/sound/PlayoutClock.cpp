#include "sound/PlayoutClock.h"

#include <algorithm>
#include <cmath>

namespace lumenreel {

PlayoutClock::PlayoutClock(std::uint64_t bufferBytes, std::uint32_t bytesPerSecond,
                           std::uint32_t frameBytes)
    : m_bufferBytes(bufferBytes),
      m_bytesPerSecond(bytesPerSecond),
      m_frameBytes(std::max<std::uint32_t>(frameBytes, 1)) {}

std::uint64_t PlayoutClock::heard(std::uint64_t taken, double now) {
    if (m_paused)
        return m_heard;
    if (taken != m_taken) {
        m_taken = taken;
        m_runFrom = std::max(m_heard, taken > m_bufferBytes ? taken - m_bufferBytes : 0);
        m_runStart = now;
    }
    const double ran = std::max(0.0, now - m_runStart) * m_bytesPerSecond;
    const auto running = m_runFrom + static_cast<std::uint64_t>(std::llround(ran));
    const std::uint64_t estimate = std::min(m_taken, running) / m_frameBytes * m_frameBytes;
    m_heard = std::max(m_heard, estimate);
    return m_heard;
}

void PlayoutClock::pause(std::uint64_t taken, double now) {
    heard(taken, now);
    m_paused = true;
}

void PlayoutClock::restart(double now) {
    if (!m_paused)
        return;
    m_paused = false;
    m_runFrom = m_heard;
    m_runStart = now;
}

void PlayoutClock::reset() {
    m_taken = m_heard = m_runFrom = 0;
    m_runStart = 0;
}

}  // namespace lumenreel
