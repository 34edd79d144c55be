#pragma once

#include <cstdint>
#include <vector>

#include "base/Guid.h"
#include "sound/WaveFormat.h"

class CSerializeInterface;

// One piece of audio held in memory that stores itself and plays from a given time.
class CSoundResource {
public:
    virtual ~CSoundResource() = default;

    virtual void Serialize(CSerializeInterface& archive) = 0;
    // Plays from `from` to `to`; the player always asks for (t, 0), the rest of the sound.
    virtual void Play(float from, float to) = 0;
    virtual bool IsPlaying() = 0;
    virtual void Stop() = 0;
    virtual float Duration() = 0;
    virtual bool IsEmpty() = 0;
    // True pauses the output, false resumes it.
    virtual void Pause(bool flag) = 0;
    virtual Guid GetClassId() const = 0;
    virtual float Position() = 0;
    // Takes the bytes; the format matters to wave resources only.
    virtual void SetData(std::vector<std::uint8_t> data,
                         const lumenreel::WaveFormat* format = nullptr) = 0;
};

namespace lumenreel {
// A class identifier given as four 32-bit words, laid out as they are stored.
Guid guidFromWords(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d);
}  // namespace lumenreel
