#pragma once

#include <cstdint>
#include <string>

#include "export/ExportFormat.h"
#include "export/FfmpegHandles.h"
#include "export/SoundtrackPcm.h"

struct AVAudioFifo;

namespace lumenreel {

// The soundtrack's stream of a video file: resampled for the format's audio codec (AAC in MP4,
// Opus in WebM) and encoded in step with the pictures, from the export's start.
class SoundEncoder {
public:
    SoundEncoder() = default;
    ~SoundEncoder();
    SoundEncoder(const SoundEncoder&) = delete;
    SoundEncoder& operator=(const SoundEncoder&) = delete;

    // Adds the stream to the muxer; the sound must outlive the encoder.
    bool open(AVFormatContext& muxer, ExportFormat format, const SoundtrackPcm& sound,
              std::string& error);
    // Encodes the sound up to `seconds` from the start.
    bool encodeUpTo(double seconds, std::string& error);
    // Encodes the rest and drains the codec.
    bool finish(std::string& error);

private:
    bool convert(std::size_t frames, std::string& error);
    bool sendFrames(int minimum, std::string& error);

    AVFormatContext* m_muxer = nullptr;
    AVStream* m_stream = nullptr;
    const SoundtrackPcm* m_sound = nullptr;
    CodecContextPtr m_encoder;
    ResamplerPtr m_resampler;
    AVAudioFifo* m_fifo = nullptr;
    std::size_t m_consumed = 0;
    std::int64_t m_sent = 0;
};

}  // namespace lumenreel
