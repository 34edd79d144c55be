#include "published/SoundTrack.h"

#include "published/PackedData.h"
#include "published/ZcdPrimitives.h"

namespace lumenreel::zcd {

namespace {

bool readWave(ByteReader& in, CSoundTrack_wavePCM& wave, const LoadLimits& limits,
              std::string& error) {
    std::int32_t size = in.i32();
    if (!in.ok() || size < 0) {
        error = "soundtrack: bad wave size";
        return false;
    }
    if (size == 0)
        return true;
    wave.channels = in.u8();
    wave.bitsPerSample = in.u8();
    wave.samplesPerSecond = in.i32();
    wave.averageBytesPerSecond = in.i32();
    wave.storedCompressed = in.u8() != 0;
    auto samples = in.take(static_cast<std::size_t>(size));
    if (!in.ok()) {
        error = "soundtrack: truncated wave samples";
        return false;
    }
    if (!wave.storedCompressed) {
        wave.data().assign(samples.begin(), samples.end());
        return true;
    }
    std::string reason;
    auto inflated = inflatePacked(samples, limits.maxInflatedBytes, reason);
    if (!inflated) {
        error = "soundtrack: " + reason;
        return false;
    }
    wave.data() = std::move(*inflated);
    return true;
}

bool readEncoded(ByteReader& in, CSoundTrack& track, std::string& error) {
    auto bytes = readBlob(in);
    if (!bytes) {
        error = "soundtrack: truncated encoded stream";
        return false;
    }
    track.data().assign(bytes->begin(), bytes->end());
    return true;
}

}  // namespace

SoundtrackResult ReadSoundtrack(ByteReader& in, const LoadLimits& limits) {
    SoundtrackResult result;
    std::uint8_t present = in.u8();
    if (!in.ok()) {
        result.error = "truncated soundtrack flag";
        return result;
    }
    if (present == 0)
        return result;
    std::uint8_t kind = in.u8();
    if (!in.ok()) {
        result.error = "truncated soundtrack kind";
        return result;
    }
    bool ok = false;
    switch (kind) {
        case CSoundTrack::kWavePCM: {
            auto wave = std::make_unique<CSoundTrack_wavePCM>();
            ok = readWave(in, *wave, limits, result.error);
            result.track = std::move(wave);
            break;
        }
        case CSoundTrack::kMP3:
            result.track = std::make_unique<CSoundTrack_MP3>();
            ok = readEncoded(in, *result.track, result.error);
            break;
        case CSoundTrack::kOgg:
            result.track = std::make_unique<CSoundTrack_Ogg>();
            ok = readEncoded(in, *result.track, result.error);
            break;
        default:
            result.note = "soundtrack of unknown kind " + std::to_string(kind) + " ignored";
            return result;
    }
    if (!ok)
        result.track.reset();
    return result;
}

void writeSoundtrack(std::vector<std::uint8_t>& out, const CSoundTrack* track, bool compressWave) {
    ZcdOut field;
    field.u8(track ? 1 : 0);
    if (track) {
        field.u8(track->kind());
        const auto* wave = dynamic_cast<const CSoundTrack_wavePCM*>(track);
        if (!wave) {
            field.blob(track->data());
        } else if (wave->data().empty()) {
            field.i32(0);
        } else {
            auto stored = compressWave ? deflatePacked(wave->data()) : wave->data();
            field.i32(static_cast<std::int32_t>(stored.size()));
            field.u8(wave->channels);
            field.u8(wave->bitsPerSample);
            field.i32(wave->samplesPerSecond);
            field.i32(wave->averageBytesPerSecond);
            field.u8(compressWave ? 1 : 0);
            field.bytes(stored);
        }
    }
    out.insert(out.end(), field.data().begin(), field.data().end());
}

}  // namespace lumenreel::zcd
