#include "sound/RecordingOutputDevice.h"

#include <algorithm>

#include "base/Assert.h"

namespace lumenreel {

// One device handed out by DeviceRecorder::factory(); everything goes to the recorder.
class RecordingOutputDevice : public OutputDevice {
public:
    explicit RecordingOutputDevice(std::shared_ptr<DeviceRecorder> recorder)
        : m_recorder(std::move(recorder)) {}
    ~RecordingOutputDevice() override { close(); }

    bool open(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits) override {
        close();
        m_open = m_recorder->open(rate, channels, bits);
        return m_open;
    }
    bool write(std::span<const std::uint8_t> bytes) override {
        return m_open && m_recorder->write(bytes);
    }
    void pause() override {
        if (m_open)
            m_recorder->setPaused(true, DeviceCall::Kind::pause);
    }
    void restart() override {
        if (m_open)
            m_recorder->setPaused(false, DeviceCall::Kind::restart);
    }
    void reset() override {
        if (m_open)
            m_recorder->reset();
    }
    std::uint64_t position() override { return m_open ? m_recorder->position() : 0; }
    void close() override {
        if (m_open)
            m_recorder->close();
        m_open = false;
    }
    bool isOpen() const override { return m_open; }

private:
    // The recorder locks itself. m_open has no lock: the owner serializes every call (a PCM writer
    // holds its mutex around each, from its caller's or its feeder thread).
    std::shared_ptr<DeviceRecorder> m_recorder;
    bool m_open = false;
};

std::shared_ptr<DeviceRecorder> DeviceRecorder::create() {
    return std::shared_ptr<DeviceRecorder>(new DeviceRecorder());
}

OutputDeviceFactory DeviceRecorder::factory() {
    auto self = shared_from_this();
    return [self] { return std::make_unique<RecordingOutputDevice>(self); };
}

void DeviceRecorder::record(DeviceCall::Kind kind, std::uint64_t size) {
    m_calls.push_back({kind, m_played.size(), size});
    ++m_version;
    m_changed.notify_all();
}

bool DeviceRecorder::open(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits) {
    std::lock_guard lock(m_mutex);
    LR_ASSERT(!m_open);
    if (rate == 0 || channels == 0 || (bits != 8 && bits != 16))
        return false;
    m_open = true;
    m_paused = false;
    m_rate = rate;
    m_channels = channels;
    m_bits = bits;
    m_queue.clear();
    m_positionSinceReset = 0;
    record(DeviceCall::Kind::open);
    return true;
}

bool DeviceRecorder::write(std::span<const std::uint8_t> bytes) {
    std::lock_guard lock(m_mutex);
    m_written.insert(m_written.end(), bytes.begin(), bytes.end());
    m_queue.insert(m_queue.end(), bytes.begin(), bytes.end());
    record(DeviceCall::Kind::write, bytes.size());
    return true;
}

void DeviceRecorder::setPaused(bool paused, DeviceCall::Kind kind) {
    std::lock_guard lock(m_mutex);
    m_paused = paused;
    record(kind);
}

void DeviceRecorder::reset() {
    std::lock_guard lock(m_mutex);
    m_queue.clear();
    m_positionSinceReset = 0;
    record(DeviceCall::Kind::reset);
}

std::uint64_t DeviceRecorder::position() const {
    std::lock_guard lock(m_mutex);
    return m_positionSinceReset;
}

void DeviceRecorder::close() {
    std::lock_guard lock(m_mutex);
    m_open = false;
    m_queue.clear();
    m_positionSinceReset = 0;
    record(DeviceCall::Kind::close);
}

std::uint64_t DeviceRecorder::advance(std::uint64_t bytes) {
    std::lock_guard lock(m_mutex);
    if (!m_open || m_paused)
        return 0;
    auto count = static_cast<std::size_t>(std::min<std::uint64_t>(bytes, m_queue.size()));
    m_played.insert(m_played.end(), m_queue.begin(), m_queue.begin() + count);
    m_queue.erase(m_queue.begin(), m_queue.begin() + count);
    m_positionSinceReset += count;
    ++m_version;
    m_changed.notify_all();
    return count;
}

std::uint64_t DeviceRecorder::advanceAll() {
    return advance(UINT64_MAX);
}

std::vector<DeviceCall> DeviceRecorder::calls() const {
    std::lock_guard lock(m_mutex);
    return m_calls;
}

std::size_t DeviceRecorder::count(DeviceCall::Kind kind) const {
    std::lock_guard lock(m_mutex);
    return std::count_if(m_calls.begin(), m_calls.end(),
                         [kind](const DeviceCall& call) { return call.kind == kind; });
}

std::vector<std::uint8_t> DeviceRecorder::written() const {
    std::lock_guard lock(m_mutex);
    return m_written;
}

std::vector<std::uint8_t> DeviceRecorder::played() const {
    std::lock_guard lock(m_mutex);
    return m_played;
}

std::uint64_t DeviceRecorder::queuedBytes() const {
    std::lock_guard lock(m_mutex);
    return m_queue.size();
}

bool DeviceRecorder::isOpen() const {
    std::lock_guard lock(m_mutex);
    return m_open;
}

bool DeviceRecorder::isPaused() const {
    std::lock_guard lock(m_mutex);
    return m_paused;
}

std::uint32_t DeviceRecorder::rate() const {
    std::lock_guard lock(m_mutex);
    return m_rate;
}

std::uint16_t DeviceRecorder::channels() const {
    std::lock_guard lock(m_mutex);
    return m_channels;
}

std::uint16_t DeviceRecorder::bits() const {
    std::lock_guard lock(m_mutex);
    return m_bits;
}

bool DeviceRecorder::waitUntil(const std::function<bool(const DeviceRecorder&)>& holds,
                               std::chrono::milliseconds timeout) const {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock lock(m_mutex);
    while (true) {
        std::uint64_t seen = m_version;
        // The predicate uses the public accessors, which lock on their own.
        lock.unlock();
        if (holds(*this))
            return true;
        lock.lock();
        if (!m_changed.wait_until(lock, deadline, [&] { return m_version != seen; })) {
            lock.unlock();
            return holds(*this);
        }
    }
}

}  // namespace lumenreel
