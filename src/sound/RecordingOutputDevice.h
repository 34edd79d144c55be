#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "sound/OutputDevice.h"

namespace lumenreel {

// What a recorded device was asked to do.
struct DeviceCall {
    enum class Kind { open, write, pause, restart, reset, close };
    Kind kind;
    // Bytes played through the recorder before the call (across all opens and resets).
    std::uint64_t playedBefore = 0;
    // Bytes written, for writes.
    std::uint64_t size = 0;
};

// The test double for the output device: keeps every call and every byte, and plays only when
// the test says so (advance), so tests decide exactly what has been heard. Devices made by
// factory() report to this recorder, which outlives them; one is open at a time.
class DeviceRecorder : public std::enable_shared_from_this<DeviceRecorder> {
public:
    static std::shared_ptr<DeviceRecorder> create();

    OutputDeviceFactory factory();

    // Plays up to bytes of what is queued unless paused; returns how many played.
    std::uint64_t advance(std::uint64_t bytes);
    // Plays everything queued unless paused.
    std::uint64_t advanceAll();

    std::vector<DeviceCall> calls() const;
    std::size_t count(DeviceCall::Kind kind) const;
    // Every byte handed to a device, in order, including those later dropped by a reset.
    std::vector<std::uint8_t> written() const;
    // Every byte that played, in order.
    std::vector<std::uint8_t> played() const;
    std::uint64_t queuedBytes() const;
    bool isOpen() const;
    bool isPaused() const;
    std::uint32_t rate() const;
    std::uint16_t channels() const;
    std::uint16_t bits() const;

    // Waits until the predicate holds (checked after every device call and advance).
    bool waitUntil(const std::function<bool(const DeviceRecorder&)>& holds,
                   std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

private:
    friend class RecordingOutputDevice;
    DeviceRecorder() = default;

    // With m_mutex held.
    void record(DeviceCall::Kind kind, std::uint64_t size = 0);
    bool open(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits);
    bool write(std::span<const std::uint8_t> bytes);
    void setPaused(bool paused, DeviceCall::Kind kind);
    void reset();
    std::uint64_t position() const;
    void close();

    // The following fields are protected by m_mutex: the devices are called from a writer's
    // threads while the test thread advances and inspects.
    mutable std::mutex m_mutex;
    // Signalled after every device call and advance (m_version counts them).
    mutable std::condition_variable m_changed;
    std::vector<DeviceCall> m_calls;
    std::vector<std::uint8_t> m_written;
    std::vector<std::uint8_t> m_played;
    std::deque<std::uint8_t> m_queue;
    std::uint64_t m_positionSinceReset = 0;
    std::uint64_t m_version = 0;
    bool m_open = false;
    bool m_paused = false;
    std::uint32_t m_rate = 0;
    std::uint16_t m_channels = 0;
    std::uint16_t m_bits = 0;
};

}  // namespace lumenreel
