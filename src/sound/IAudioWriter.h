#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

// Where a decoder sends its PCM: a bounded queue in front of the output device.
class IAudioWriter {
public:
    virtual ~IAudioWriter() = default;

    // Bits are ignored: the writer always plays 16-bit samples.
    virtual bool Open(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits) = 0;
    virtual void Write(const std::uint8_t* bytes, std::size_t n) = 0;
    virtual void SetPaused(bool flag) = 0;
    // Drops everything queued or playing.
    virtual void Flush() = 0;
    virtual bool IsIdle() = 0;
    // Blocks until a Write would not overfill the queue, or cancel is set (then false). Callers
    // that set cancel call WakeWaiters so the wait notices.
    virtual bool WaitForRoom(const std::atomic<bool>& cancel) = 0;
    // Blocks until everything written has played, or cancel is set (then false).
    virtual bool WaitUntilIdle(const std::atomic<bool>& cancel) = 0;
    virtual void WakeWaiters() = 0;
};
