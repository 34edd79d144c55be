#include "sound/SdlOutputDevice.h"

#include <SDL.h>

#include <chrono>

namespace lumenreel {
namespace {

double secondsNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

SdlOutputDevice::~SdlOutputDevice() {
    close();
}

bool SdlOutputDevice::open(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits) {
    close();
    if (rate == 0 || rate > 0x7FFFFFFF || channels == 0 || channels > 255)
        return false;
    if (bits != 8 && bits != 16)
        return false;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(rate);
    wanted.format = bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    wanted.channels = static_cast<std::uint8_t>(channels);
    wanted.samples = 2048;
    // No changes allowed: SDL converts, so the queue takes bytes exactly in our format.
    SDL_AudioSpec obtained{};
    m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (m_device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    const std::uint32_t frameBytes = std::uint32_t{channels} * (bits / 8);
    m_clock.emplace(obtained.size, rate * frameBytes, frameBytes);
    m_written = 0;
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

bool SdlOutputDevice::write(std::span<const std::uint8_t> bytes) {
    if (m_device == 0)
        return false;
    if (bytes.empty())
        return true;
    if (SDL_QueueAudio(m_device, bytes.data(), static_cast<std::uint32_t>(bytes.size())) != 0) {
        return false;
    }
    m_written += bytes.size();
    return true;
}

void SdlOutputDevice::pause() {
    if (m_device == 0)
        return;
    SDL_PauseAudioDevice(m_device, 1);
    m_clock->pause(taken(), secondsNow());
}

void SdlOutputDevice::restart() {
    if (m_device == 0)
        return;
    m_clock->restart(secondsNow());
    SDL_PauseAudioDevice(m_device, 0);
}

void SdlOutputDevice::reset() {
    if (m_device == 0)
        return;
    SDL_ClearQueuedAudio(m_device);
    m_written = 0;
    m_clock->reset();
}

std::uint64_t SdlOutputDevice::taken() const {
    const std::uint64_t queued = SDL_GetQueuedAudioSize(m_device);
    return queued < m_written ? m_written - queued : 0;
}

std::uint64_t SdlOutputDevice::position() {
    if (m_device == 0)
        return 0;
    return m_clock->heard(taken(), secondsNow());
}

void SdlOutputDevice::close() {
    if (m_device == 0)
        return;
    SDL_CloseAudioDevice(m_device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    m_device = 0;
    m_written = 0;
    m_clock.reset();
}

}  // namespace lumenreel
