#include "sound/PCMWriter.h"

#include <algorithm>
#include <chrono>

namespace {
// The feeder sleeps until the first queued buffer should be done, within these bounds: often
// enough to keep the device fed, seldom enough to cost next to nothing.
constexpr auto kShortestNap = std::chrono::milliseconds(1);
constexpr auto kLongestNap = std::chrono::milliseconds(20);
}  // namespace

CPCMWriter::CPCMWriter(lumenreel::OutputDeviceFactory devices) : m_devices(std::move(devices)) {}

CPCMWriter::~CPCMWriter() {
    Close();
}

bool CPCMWriter::Open(std::uint32_t rate, std::uint16_t channels, std::uint16_t /*bits*/) {
    Close();
    std::lock_guard lock(m_mutex);
    m_format = lumenreel::WaveFormat::pcm(rate, channels, 16);
    m_format.extraSize = 18;
    m_device = m_devices ? m_devices() : nullptr;
    if (!m_device || !m_device->open(rate, channels, 16)) {
        m_device.reset();
        return false;
    }
    m_sentBytes = 0;
    m_stopFeeder = false;
    m_feederThread = std::thread([this] { FeederLoop(); });
    return true;
}

void CPCMWriter::StopFeeder() {
    {
        std::lock_guard lock(m_mutex);
        m_stopFeeder = true;
    }
    m_feederWake.notify_all();
    if (m_feederThread.joinable())
        m_feederThread.join();
    std::lock_guard lock(m_mutex);
    m_stopFeeder = false;
}

void CPCMWriter::Close() {
    StopFeeder();
    std::lock_guard lock(m_mutex);
    if (m_device) {
        m_device->reset();
        m_device->close();
        m_device.reset();
    }
    m_pending.clear();
    m_queued.clear();
    m_endOfRun = false;
    m_sentBytes = 0;
    m_format = {};
    m_drained.notify_all();
}

void CPCMWriter::Write(const std::uint8_t* bytes, std::size_t n) {
    std::unique_lock lock(m_mutex);
    // Without a device nothing could ever play it; keeping it would only grow memory.
    if (!m_device || n == 0)
        return;
    m_pending.push_back({std::vector<std::uint8_t>(bytes, bytes + n), 0});
    m_endOfRun = false;
    SendOne();
    lock.unlock();
    m_feederWake.notify_all();
}

bool CPCMWriter::SendOne() {
    if (m_pending.empty() || m_queued.size() >= kMaxQueued || !m_device)
        return false;
    SBuf buffer = std::move(m_pending.front());
    m_pending.pop_front();
    if (!m_device->write(buffer.bytes)) {
        m_drained.notify_all();
        return true;
    }
    m_sentBytes += buffer.bytes.size();
    buffer.end = m_sentBytes;
    m_queued.push_back(std::move(buffer));
    return true;
}

void CPCMWriter::ReapAll() {
    if (!m_device || m_queued.empty())
        return;
    std::uint64_t played = m_device->position();
    bool reaped = false;
    while (!m_queued.empty() && m_queued.front().end <= played) {
        m_queued.pop_front();
        reaped = true;
    }
    if (reaped)
        m_drained.notify_all();
}

void CPCMWriter::FeederLoop() {
    std::unique_lock lock(m_mutex);
    while (!m_stopFeeder) {
        ReapAll();
        while (SendOne()) {
        }
        if (m_endOfRun && m_pending.empty()) {
            m_device->drain();
            m_endOfRun = false;
        }
        if (m_queued.empty()) {
            m_feederWake.wait(lock);
            continue;
        }
        std::uint64_t played = m_device->position();
        std::uint64_t left = m_queued.front().end - std::min(m_queued.front().end, played);
        auto nap = std::chrono::microseconds(left * 1'000'000 /
                                             std::max<std::uint32_t>(m_format.avgBytesPerSec, 1));
        m_feederWake.wait_for(
            lock, std::clamp<std::chrono::microseconds>(nap, kShortestNap, kLongestNap));
    }
}

void CPCMWriter::SetPaused(bool flag) {
    {
        std::lock_guard lock(m_mutex);
        if (!m_device)
            return;
        if (flag) {
            m_device->pause();
        } else {
            m_device->restart();
        }
    }
    m_feederWake.notify_all();
}

void CPCMWriter::Flush() {
    std::lock_guard lock(m_mutex);
    if (!m_device)
        return;
    m_device->reset();
    m_pending.clear();
    m_queued.clear();
    m_endOfRun = false;
    m_sentBytes = 0;
    m_drained.notify_all();
}

bool CPCMWriter::IsIdle() {
    std::lock_guard lock(m_mutex);
    return m_pending.empty() && m_queued.empty();
}

lumenreel::WaveFormat CPCMWriter::GetFormat() {
    std::lock_guard lock(m_mutex);
    return m_format;
}

std::uint64_t CPCMWriter::PlayedBytes() {
    std::lock_guard lock(m_mutex);
    return m_device ? m_device->position() : 0;
}

std::size_t CPCMWriter::QueuedCount() {
    std::lock_guard lock(m_mutex);
    return m_queued.size();
}

bool CPCMWriter::WaitForRoom(const std::atomic<bool>& cancel) {
    std::unique_lock lock(m_mutex);
    m_drained.wait(lock, [&] { return cancel.load() || HasRoom(); });
    return !cancel.load();
}

bool CPCMWriter::WaitUntilIdle(const std::atomic<bool>& cancel) {
    std::unique_lock lock(m_mutex);
    if (m_device && !cancel) {
        m_endOfRun = true;
        m_feederWake.notify_all();
    }
    m_drained.wait(lock, [&] { return cancel.load() || (m_pending.empty() && m_queued.empty()); });
    return !cancel.load();
}

void CPCMWriter::WakeWaiters() {
    std::lock_guard lock(m_mutex);
    m_drained.notify_all();
}
