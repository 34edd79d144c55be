#include "sound/NullOutputDevice.h"

#include <algorithm>

namespace lumenreel {

NullOutputDevice::NullOutputDevice(Clock clock) : m_clock(std::move(clock)) {}

NullOutputDevice::Clock NullOutputDevice::steadyClock() {
    return [] { return std::chrono::steady_clock::now().time_since_epoch(); };
}

bool NullOutputDevice::open(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits) {
    if (rate == 0 || channels == 0 || (bits != 8 && bits != 16))
        return false;
    m_bytesPerSecond = std::uint64_t{rate} * channels * (bits / 8);
    m_open = true;
    m_paused = false;
    reset();
    return true;
}

void NullOutputDevice::catchUp() {
    auto now = m_clock();
    auto elapsed = now - m_lastUpdate;
    m_lastUpdate = now;
    if (!m_open || m_paused || elapsed.count() <= 0)
        return;
    // Nanoseconds times bytes per second stays far inside 64 bits for any update interval below
    // a minute at the highest rates; longer gaps are capped since the queue is long drained then.
    auto nanos =
        static_cast<std::uint64_t>(std::min<std::int64_t>(elapsed.count(), 60'000'000'000));
    std::uint64_t scaled = nanos * m_bytesPerSecond + m_carry;
    m_carry = scaled % 1'000'000'000;
    m_played = std::min(m_written, m_played + scaled / 1'000'000'000);
    if (m_played == m_written)
        m_carry = 0;
}

bool NullOutputDevice::write(std::span<const std::uint8_t> bytes) {
    if (!m_open)
        return false;
    catchUp();
    m_written += bytes.size();
    return true;
}

void NullOutputDevice::pause() {
    catchUp();
    m_paused = true;
}

void NullOutputDevice::restart() {
    catchUp();
    m_paused = false;
}

void NullOutputDevice::reset() {
    m_written = 0;
    m_played = 0;
    m_carry = 0;
    m_lastUpdate = m_clock();
}

std::uint64_t NullOutputDevice::position() {
    catchUp();
    return m_played;
}

void NullOutputDevice::close() {
    m_open = false;
    reset();
}

}  // namespace lumenreel
