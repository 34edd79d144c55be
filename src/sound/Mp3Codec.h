#pragma once

#include "sound/PcmCodec.h"

struct mpg123_handle_struct;

namespace lumenreel {

// MPEG audio (MP3) through libmpg123 reading from the source with replaced I/O. Encoder delay
// and padding are dropped when the stream says how much there is (gapless decoding).
class Mp3Codec : public PcmCodec {
public:
    Mp3Codec();
    ~Mp3Codec() override;
    Mp3Codec(const Mp3Codec&) = delete;
    Mp3Codec& operator=(const Mp3Codec&) = delete;

    bool open(ByteSource& source) override;
    std::uint32_t rate() const override { return m_rate; }
    std::uint16_t channels() const override { return m_channels; }
    long read(std::span<std::uint8_t> out) override;
    bool seekable() const override { return m_open; }
    bool seekTime(double seconds) override;
    double totalTime() const override;

private:
    mpg123_handle_struct* m_handle = nullptr;
    bool m_open = false;
    std::uint32_t m_rate = 0;
    std::uint16_t m_channels = 0;
    double m_totalTime = 0.0;
    int m_emptyReadsInRow = 0;
};

}  // namespace lumenreel
