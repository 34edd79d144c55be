#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "base/Geometry.h"
#include "base/ReplacingFile.h"
#include "export/ExportPicture.h"
#include "export/GifPalette.h"
#include "export/SoundEncoder.h"
#include "export/VideoCodecChoice.h"

namespace lumenreel {

// A video file (MP4, WebM or GIF) written beside its name and renamed over it by finish(); one
// given up leaves nothing. Named "-", it goes to standard output as it is made (an MP4 there is
// fragmented, since a pipe cannot go back to write the index). Each picture keeps its own timestamp
// and duration, and the sound is encoded up to the end of each picture, so both streams stay in
// step.
class VideoFileWriter : public PictureWriter {
public:
    explicit VideoFileWriter(std::filesystem::path target);
    ~VideoFileWriter() override;
    VideoFileWriter(const VideoFileWriter&) = delete;
    VideoFileWriter& operator=(const VideoFileWriter&) = delete;

    // `seconds` is how long the export runs; `sound` (may be null) and `palette` (GIF only) must
    // outlive the writer.
    bool open(const ExportSettings& settings, Size size, double seconds, const SoundtrackPcm* sound,
              GifPalette* palette);
    bool write(const ExportPicture& picture) override;
    bool finish();
    std::uint64_t bytesWritten() const;
    const std::string& error() const { return m_error; }

private:
    bool fail(const std::string& reason);
    bool openVideo(const ExportSettings& settings, Size size);
    // Encodes and muxes every packet but the newest, held back until the next or the end.
    bool encode(AVFrame* frame);
    bool muxLastPacket();
    void closeFile();

    bool m_toStandardOutput;
    ReplacingFile m_file;
    std::uint64_t m_bytes = 0;
    std::string m_error;
    ExportFormat m_format = ExportFormat::mp4;
    VideoCodecChoice m_choice{};
    AVFormatContext* m_muxer = nullptr;
    AVStream* m_stream = nullptr;
    CodecContextPtr m_encoder;
    std::unique_ptr<SoundEncoder> m_sound;
    GifPalette* m_palette = nullptr;
    // Durations by timestamp, for the packets the encoder hands back out of order.
    std::map<std::int64_t, std::int64_t> m_durations;
    std::int64_t m_lastPts = -1;
    std::int64_t m_lastDuration = 0;
    // Where the last picture ends, in the encoder's ticks.
    std::int64_t m_endPts = 0;
    PacketPtr m_held;
};

}  // namespace lumenreel
