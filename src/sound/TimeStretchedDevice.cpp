#include <rubberband/RubberBandStretcher.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "sound/PlaybackSpeed.h"

namespace lumenreel {
namespace {

using RubberBand::RubberBandStretcher;

// At ×1 the bytes pass untouched; otherwise they go through a real-time stretcher whose output
// is aligned with its input (the start padded, its delay dropped), so that output frame n is
// heard for input frame n × speed.
class TimeStretchedDevice : public OutputDevice {
public:
    TimeStretchedDevice(std::unique_ptr<OutputDevice> inner,
                        std::shared_ptr<const PlaybackSpeed> speed)
        : m_inner(std::move(inner)), m_speedSource(std::move(speed)) {}

    bool open(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits) override {
        m_rate = rate;
        m_channels = std::max<std::uint16_t>(channels, 1);
        m_bits = bits;
        if (!m_inner->open(rate, channels, bits))
            return false;
        begin();
        return true;
    }
    bool write(std::span<const std::uint8_t> bytes) override {
        m_given += bytes.size();
        if (m_drained) {
            // A drained stretcher still holds the silence that pushed the end out: the run goes
            // on with a new one, aligned afresh.
            m_drained = false;
            startStretcher();
        }
        if (!m_stretcher)
            return m_inner->write(bytes);
        stretch(bytes);
        const bool written = m_inner->write(m_output);
        m_output.clear();
        return written;
    }
    void pause() override { m_inner->pause(); }
    void restart() override { m_inner->restart(); }
    void reset() override {
        m_inner->reset();
        begin();
    }
    std::uint64_t position() override {
        const std::uint64_t played = m_inner->position();
        if (!m_stretcher)
            return played;
        // Once drained, the device playing all it got has played all it was given.
        if (m_drained && played >= m_sent)
            return m_given;
        const std::uint64_t frameBytes = frameSize();
        const auto heard =
            static_cast<std::uint64_t>(static_cast<double>(played / frameBytes) * m_speed) *
            frameBytes;
        return std::min(heard, m_given);
    }
    void drain() override {
        if (m_stretcher && !m_drained) {
            playOutLookAhead();
            m_inner->write(m_output);
            m_output.clear();
        }
        m_drained = true;
        m_inner->drain();
    }
    void close() override {
        m_inner->close();
        m_stretcher.reset();
    }
    bool isOpen() const override { return m_inner->isOpen(); }

private:
    std::uint64_t frameSize() const { return std::uint64_t{m_channels} * 2; }

    // A new run at the speed asked for now.
    void begin() {
        m_given = m_sent = 0;
        m_output.clear();
        m_drained = false;
        m_speed = m_speedSource->value();
        startStretcher();
    }

    void startStretcher() {
        m_stretcher.reset();
        if (m_speed == 1.0f || m_bits != 16)
            return;
        m_stretcher = std::make_unique<RubberBandStretcher>(
            m_rate, m_channels,
            RubberBandStretcher::OptionProcessRealTime | RubberBandStretcher::OptionEngineFaster,
            1.0 / m_speed);
        m_toDrop = m_stretcher->getStartDelay();
        const std::size_t pad = m_stretcher->getPreferredStartPad();
        m_planes.assign(m_channels, std::vector<float>(pad, 0.0f));
        process(pad);
    }

    // Silence pushes the last of what was given out of the stretcher; what it makes past the
    // given sound's stretched length is cut, so the output stays aligned with the input.
    void playOutLookAhead() {
        const std::uint64_t frameBytes = frameSize();
        const auto wanted = static_cast<std::uint64_t>(
                                std::llround(static_cast<double>(m_given / frameBytes) / m_speed)) *
                            frameBytes;
        constexpr std::size_t kSilence = 1024;
        // Far more than any stretcher's delay: a bound, should one never give enough back.
        constexpr int kMostBlocks = 64;
        for (int block = 0; block < kMostBlocks && m_sent < wanted; ++block) {
            m_planes.assign(m_channels, std::vector<float>(kSilence, 0.0f));
            process(kSilence);
        }
        const std::uint64_t excess = m_sent > wanted ? m_sent - wanted : 0;
        const auto cut = static_cast<std::size_t>(std::min<std::uint64_t>(excess, m_output.size()));
        m_output.resize(m_output.size() - cut);
        m_sent -= cut;
    }

    void stretch(std::span<const std::uint8_t> bytes) {
        const std::size_t frames = bytes.size() / frameSize();
        for (std::uint16_t c = 0; c < m_channels; ++c) {
            std::vector<float>& plane = m_planes[c];
            plane.resize(frames);
            for (std::size_t i = 0; i < frames; ++i) {
                const std::size_t at = (i * m_channels + c) * 2;
                plane[i] = static_cast<std::int16_t>(bytes[at] | bytes[at + 1] << 8) / 32768.0f;
            }
        }
        process(frames);
    }

    // Feeds the planes' first frames to the stretcher and appends what it gives back, as
    // interleaved 16-bit samples, to the output.
    void process(std::size_t frames) {
        std::vector<const float*> in;
        for (const std::vector<float>& plane : m_planes)
            in.push_back(plane.data());
        m_stretcher->process(in.data(), frames, false);
        retrieveAll();
    }

    void retrieveAll() {
        while (m_stretcher->available() > 0)
            retrieve(static_cast<std::size_t>(m_stretcher->available()));
    }

    void retrieve(std::size_t frames) {
        std::vector<std::vector<float>> planes(m_channels, std::vector<float>(frames));
        std::vector<float*> out;
        for (std::vector<float>& plane : planes)
            out.push_back(plane.data());
        frames = m_stretcher->retrieve(out.data(), frames);
        const std::size_t dropped = std::min(frames, m_toDrop);
        m_toDrop -= dropped;
        for (std::size_t i = dropped; i < frames; ++i)
            for (const std::vector<float>& plane : planes) {
                const auto sample = static_cast<std::int16_t>(
                    std::lround(std::clamp(plane[i], -1.0f, 32767.0f / 32768.0f) * 32768.0f));
                m_output.push_back(static_cast<std::uint8_t>(sample & 0xFF));
                m_output.push_back(
                    static_cast<std::uint8_t>(static_cast<std::uint16_t>(sample) >> 8));
            }
        m_sent += (frames - dropped) * frameSize();
    }

    std::unique_ptr<OutputDevice> m_inner;
    std::shared_ptr<const PlaybackSpeed> m_speedSource;
    std::uint32_t m_rate = 0;
    std::uint16_t m_channels = 1;
    std::uint16_t m_bits = 16;
    float m_speed = 1.0f;
    std::unique_ptr<RubberBandStretcher> m_stretcher;  // none at ×1
    std::vector<std::vector<float>> m_planes;
    std::vector<std::uint8_t> m_output;
    std::size_t m_toDrop = 0;   // output frames still to drop for the stretcher's delay
    bool m_drained = false;     // all it was given has been pushed out
    std::uint64_t m_given = 0;  // bytes written to this device since the run began
    std::uint64_t m_sent = 0;   // bytes passed on to the inner device
};

}  // namespace

OutputDeviceFactory timeStretchedDevices(OutputDeviceFactory inner,
                                         std::shared_ptr<const PlaybackSpeed> speed) {
    return [inner = std::move(inner), speed = std::move(speed)]() -> std::unique_ptr<OutputDevice> {
        return std::make_unique<TimeStretchedDevice>(inner(), speed);
    };
}

}  // namespace lumenreel
