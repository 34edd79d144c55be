#include <memory>

#include "sound/NullOutputDevice.h"
#include "sound/OutputDevice.h"
#include "sound/SdlOutputDevice.h"

namespace lumenreel {
namespace {

// Opens the audio device, and the silent one when that fails; then forwards to whichever opened.
class SystemOutputDevice : public OutputDevice {
public:
    bool open(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits) override {
        close();
        m_active = std::make_unique<SdlOutputDevice>();
        if (m_active->open(rate, channels, bits))
            return true;
        m_active = std::make_unique<NullOutputDevice>();
        return m_active->open(rate, channels, bits);
    }
    bool write(std::span<const std::uint8_t> bytes) override {
        return m_active && m_active->write(bytes);
    }
    void pause() override {
        if (m_active)
            m_active->pause();
    }
    void restart() override {
        if (m_active)
            m_active->restart();
    }
    void reset() override {
        if (m_active)
            m_active->reset();
    }
    std::uint64_t position() override { return m_active ? m_active->position() : 0; }
    void drain() override {
        if (m_active)
            m_active->drain();
    }
    void close() override {
        if (m_active)
            m_active->close();
        m_active.reset();
    }
    bool isOpen() const override { return m_active && m_active->isOpen(); }

private:
    std::unique_ptr<OutputDevice> m_active;
};

}  // namespace

OutputDeviceFactory systemOutputDevices() {
    return [] { return std::make_unique<SystemOutputDevice>(); };
}

}  // namespace lumenreel
