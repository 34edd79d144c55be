#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "sound/IAudioWriter.h"
#include "sound/OutputDevice.h"
#include "sound/WaveFormat.h"

// Queues decoded PCM in front of the output device: at most kMaxQueued buffers are on the device
// at once, and a feeder thread retires the played ones and sends those still pending.
class CPCMWriter : public IAudioWriter {
public:
    static constexpr std::size_t kMaxQueued = 30;

    explicit CPCMWriter(lumenreel::OutputDeviceFactory devices);
    ~CPCMWriter() override;
    CPCMWriter(const CPCMWriter&) = delete;
    CPCMWriter& operator=(const CPCMWriter&) = delete;

    bool Open(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits) override;
    void Write(const std::uint8_t* bytes, std::size_t n) override;
    void SetPaused(bool flag) override;
    void Flush() override;
    bool IsIdle() override;
    bool WaitForRoom(const std::atomic<bool>& cancel) override;
    bool WaitUntilIdle(const std::atomic<bool>& cancel) override;
    void WakeWaiters() override;
    // Stops the feeder and closes the device; the writer can be opened again.
    void Close();

    std::size_t QueuedCount();
    // Bytes the device has played since it opened or was flushed.
    std::uint64_t PlayedBytes();
    // A copy: the format changes under the lock when the writer opens or closes.
    lumenreel::WaveFormat GetFormat();

private:
    // One buffer of PCM and where it ends in the device's byte count.
    struct SBuf {
        std::vector<std::uint8_t> bytes;
        std::uint64_t end = 0;
    };

    // With m_mutex held.
    bool SendOne();
    void ReapAll();
    bool HasRoom() const { return m_pending.size() + m_queued.size() < kMaxQueued; }
    // These take m_mutex themselves.
    void FeederLoop();
    void StopFeeder();

    // Threads: the owner's threads (a decoder's control and decode threads) open, write, flush
    // and wait; the feeder thread sends pending buffers and retires played ones.

    // Set on construction.
    const lumenreel::OutputDeviceFactory m_devices;

    // Started by Open and joined by Close, both on the thread that owns the writer.
    std::thread m_feederThread;

    // The following fields are protected by m_mutex; the device is called only with it held.
    std::mutex m_mutex;
    std::unique_ptr<lumenreel::OutputDevice> m_device;
    lumenreel::WaveFormat m_format;
    std::deque<SBuf> m_pending;
    std::deque<SBuf> m_queued;
    std::uint64_t m_sentBytes = 0;
    bool m_stopFeeder = false;
    // Set by WaitUntilIdle: once all is sent the device is drained, so its last sound plays.
    bool m_endOfRun = false;
    // Wakes the feeder: new data, a pause change or a stop.
    std::condition_variable m_feederWake;
    // Wakes waiters for room or idleness: buffers retired, dropped or failed.
    std::condition_variable m_drained;
};
