#include "cli/SoundtrackDecode.h"

#include <cstdio>
#include <vector>

#include "sound/Mp3Codec.h"
#include "sound/VorbisCodec.h"

namespace lumenreel::cli {

namespace {

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", value);
    return text;
}

}  // namespace

std::unique_ptr<PcmCodec> openSoundtrackCodec(const CSoundTrack& track, ByteSource& source,
                                              std::string& error) {
    std::unique_ptr<PcmCodec> codec;
    if (track.kind() == CSoundTrack::kOgg)
        codec = std::make_unique<VorbisCodec>();
    else if (track.kind() == CSoundTrack::kMP3)
        codec = std::make_unique<Mp3Codec>();
    else
        return nullptr;
    if (codec->open(source))
        return codec;
    error = track.kind() == CSoundTrack::kOgg ? "soundtrack: not a readable Ogg Vorbis stream"
                                              : "soundtrack: not a readable MP3 stream";
    return nullptr;
}

std::optional<std::string> damageOf(const DecodeOutcome& outcome, std::uint64_t pcmBytes,
                                    const PcmCodec& codec) {
    if (!outcome.damaged())
        return std::nullopt;
    std::vector<std::string> parts;
    if (outcome.gapsSkipped > 0)
        parts.push_back(std::to_string(outcome.gapsSkipped) + " gaps skipped");
    if (outcome.brokeOff) {
        const double bytesPerSecond = 2.0 * codec.rate() * codec.channels();
        const double decoded =
            bytesPerSecond > 0 ? static_cast<double>(pcmBytes) / bytesPerSecond : 0;
        parts.push_back("decoding stopped at " + seconds(decoded) + " of " +
                        seconds(codec.totalTime()));
    }
    std::string what = "soundtrack damaged: " + parts.front();
    for (std::size_t i = 1; i < parts.size(); ++i)
        what += "; " + parts[i];
    return what;
}

std::optional<std::string> soundtrackDamage(const CSoundTrack& track) {
    MemoryByteSource source(track.data());
    std::string error;
    std::unique_ptr<PcmCodec> codec = openSoundtrackCodec(track, source, error);
    if (!codec)
        return error.empty() ? std::nullopt : std::optional<std::string>(error);
    std::uint64_t bytes = 0;
    const DecodeOutcome outcome = decodeAll(*codec, [&bytes](std::span<const std::uint8_t> pcm) {
        bytes += pcm.size();
        return true;
    });
    return damageOf(outcome, bytes, *codec);
}

}  // namespace lumenreel::cli
