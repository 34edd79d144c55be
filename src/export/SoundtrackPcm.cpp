#include "export/SoundtrackPcm.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "sound/ByteSource.h"
#include "sound/CompressedSoundResource.h"
#include "sound/DecodeAll.h"
#include "sound/Mp3Codec.h"
#include "sound/VorbisCodec.h"
#include "sound/WaveSoundResource.h"

namespace lumenreel {
namespace {

// Keeps the sample frames [first, end) of a stream that arrives piece by piece.
class StretchKeeper {
public:
    StretchKeeper(SoundtrackPcm& pcm, double from, double to)
        : m_pcm(pcm),
          m_first(static_cast<std::uint64_t>(std::llround(from * pcm.rate))),
          m_end(static_cast<std::uint64_t>(std::llround(to * pcm.rate))) {}

    // False once the stretch is complete.
    bool take(const std::int16_t* samples, std::size_t frames) {
        const std::uint64_t start = m_seen;
        m_seen += frames;
        const std::uint64_t from = std::max(start, m_first);
        const std::uint64_t to = std::min(m_seen, m_end);
        if (from < to) {
            const std::int16_t* begin = samples + (from - start) * m_pcm.channels;
            m_pcm.samples.insert(m_pcm.samples.end(), begin, begin + (to - from) * m_pcm.channels);
        }
        return m_seen < m_end;
    }

private:
    SoundtrackPcm& m_pcm;
    std::uint64_t m_first;
    std::uint64_t m_end;
    std::uint64_t m_seen = 0;
};

bool decodeWave(const CWaveSoundResource& wave, double from, double to, SoundtrackPcm& pcm,
                std::string& error) {
    const CWaveSoundResource::SDataRecord record = wave.GetDataRecord();
    const WaveFormat& format = record.format;
    if (!format.isPcm() || format.channels == 0 || format.samplesPerSec == 0 ||
        (format.bitsPerSample != 8 && format.bitsPerSample != 16)) {
        error = "soundtrack: only 8- and 16-bit PCM wave sound can be exported";
        return false;
    }
    pcm.rate = format.samplesPerSec;
    pcm.channels = format.channels;
    StretchKeeper keeper(pcm, from, to);
    const std::size_t frames = record.data.size() / format.frameBytes();
    const std::size_t samples = frames * format.channels;
    std::vector<std::int16_t> wide(samples);
    if (format.bitsPerSample == 8) {
        for (std::size_t i = 0; i < samples; ++i)
            wide[i] = static_cast<std::int16_t>((record.data[i] - 128) * 256);
    } else {
        std::memcpy(wide.data(), record.data.data(), samples * 2);
    }
    keeper.take(wide.data(), frames);
    return true;
}

bool decodeCompressed(const CCompressedSoundResource& sound, bool mp3, double from, double to,
                      SoundtrackPcm& pcm, std::string& error) {
    MemoryByteSource source(sound.GetData());
    std::unique_ptr<PcmCodec> codec;
    if (mp3)
        codec = std::make_unique<Mp3Codec>();
    else
        codec = std::make_unique<VorbisCodec>();
    if (!codec->open(source) || codec->channels() == 0 || codec->rate() == 0) {
        error = mp3 ? "soundtrack: not a readable MP3 stream"
                    : "soundtrack: not a readable Ogg Vorbis stream";
        return false;
    }
    pcm.rate = codec->rate();
    pcm.channels = codec->channels();
    StretchKeeper keeper(pcm, from, to);
    const std::size_t frameBytes = 2u * pcm.channels;
    // Pieces hold whole sample frames, but copy out of them: they need not be 16-bit aligned.
    std::vector<std::int16_t> piece;
    decodeAll(*codec, [&](std::span<const std::uint8_t> bytes) {
        const std::size_t frames = bytes.size() / frameBytes;
        piece.resize(frames * pcm.channels);
        std::memcpy(piece.data(), bytes.data(), frames * frameBytes);
        return keeper.take(piece.data(), frames);
    });
    return true;
}

}  // namespace

bool decodeSoundtrack(CSoundResource& sound, double from, double to, SoundtrackPcm& pcm,
                      std::string& error) {
    pcm = {};
    if (const auto* wave = dynamic_cast<const CWaveSoundResource*>(&sound))
        return decodeWave(*wave, from, to, pcm, error);
    if (const auto* mp3 = dynamic_cast<const CMp3SoundResource*>(&sound))
        return decodeCompressed(*mp3, true, from, to, pcm, error);
    if (const auto* ogg = dynamic_cast<const COggSoundResource*>(&sound))
        return decodeCompressed(*ogg, false, from, to, pcm, error);
    error = "soundtrack: a kind of sound that cannot be exported";
    return false;
}

}  // namespace lumenreel
