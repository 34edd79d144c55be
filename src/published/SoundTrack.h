#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/ByteReader.h"
#include "published/LoadLimits.h"

// A published demo's soundtrack as stored: the sound player decodes and plays it.
class CSoundTrack {
public:
    enum Kind : std::uint8_t { kWavePCM = 1, kMP3 = 3, kOgg = 4 };

    virtual ~CSoundTrack() = default;
    virtual Kind kind() const = 0;
    // The samples (wave) or the encoded stream (MP3, Ogg).
    const std::vector<std::uint8_t>& data() const { return m_data; }
    std::vector<std::uint8_t>& data() { return m_data; }

private:
    std::vector<std::uint8_t> m_data;
};

class CSoundTrack_wavePCM : public CSoundTrack {
public:
    static constexpr std::uint16_t kFormatPCM = 1;

    Kind kind() const override { return kWavePCM; }
    std::uint16_t formatTag = kFormatPCM;
    std::uint8_t channels = 0;
    std::uint8_t bitsPerSample = 0;
    std::int32_t samplesPerSecond = 0;
    std::int32_t averageBytesPerSecond = 0;
    std::uint16_t blockAlign() const {
        return static_cast<std::uint16_t>(channels * bitsPerSample / 8);
    }
    // The samples were stored compressed (they are held inflated).
    bool storedCompressed = false;
};

class CSoundTrack_MP3 : public CSoundTrack {
public:
    Kind kind() const override { return kMP3; }
};

class CSoundTrack_Ogg : public CSoundTrack {
public:
    Kind kind() const override { return kOgg; }
};

namespace lumenreel::zcd {

struct SoundtrackResult {
    std::unique_ptr<CSoundTrack> track;  // null: no soundtrack
    std::string error;                   // not empty: the field is damaged
    std::string note;                    // something was skipped
};

// Reads the soundtrack field of a published demo.
SoundtrackResult ReadSoundtrack(ByteReader& in, const LoadLimits& limits);
// Appends the soundtrack field; a null track writes the single flag byte 0.
void writeSoundtrack(std::vector<std::uint8_t>& out, const CSoundTrack* track, bool compressWave);

}  // namespace lumenreel::zcd
