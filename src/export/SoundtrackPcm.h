#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CSoundResource;

namespace lumenreel {

// A stretch of a soundtrack as interleaved signed 16-bit samples.
struct SoundtrackPcm {
    std::uint32_t rate = 0;
    std::uint16_t channels = 0;
    std::vector<std::int16_t> samples;

    std::size_t sampleFrames() const { return channels == 0 ? 0 : samples.size() / channels; }
};

// Decodes the sound between `from` and `to` seconds of a wave, Ogg or MP3 resource, as the player
// would play it; false with the reason in `error`.
bool decodeSoundtrack(CSoundResource& sound, double from, double to, SoundtrackPcm& pcm,
                      std::string& error);

}  // namespace lumenreel
