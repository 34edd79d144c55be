#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace lumenreel {

// The wave output device that sound resources and the PCM writer play through. Buffers are
// played in the order written; position() counts the bytes played since the last open or
// reset, which is also how a writer learns that a buffer is done. Callers serialise their calls.
class OutputDevice {
public:
    virtual ~OutputDevice() = default;

    // PCM of 8 or 16 bits per sample; false when the device cannot play it.
    virtual bool open(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits) = 0;
    // Queues bytes behind those already written; they start playing unless the device is paused.
    virtual bool write(std::span<const std::uint8_t> bytes) = 0;
    virtual void pause() = 0;
    virtual void restart() = 0;
    // Drops everything not yet played and sets the position back to 0; a pause stays in force.
    virtual void reset() = 0;
    virtual std::uint64_t position() = 0;
    // Nothing more follows until the next write: what the device holds back to work on (a
    // stretcher's look-ahead) goes out to be played.
    virtual void drain() {}
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
};

using OutputDeviceFactory = std::function<std::unique_ptr<OutputDevice>()>;

// The machine's audio output, or a silent device keeping real time when no audio device opens,
// so a movie plays the same with or without a sound card.
OutputDeviceFactory systemOutputDevices();

}  // namespace lumenreel
