#pragma once

#include <vorbis/vorbisfile.h>

#include "sound/PcmCodec.h"

namespace lumenreel {

// Ogg Vorbis through libvorbisfile.
class VorbisCodec : public PcmCodec {
public:
    VorbisCodec() = default;
    ~VorbisCodec() override;
    VorbisCodec(const VorbisCodec&) = delete;
    VorbisCodec& operator=(const VorbisCodec&) = delete;

    bool open(ByteSource& source) override;
    std::uint32_t rate() const override { return m_rate; }
    std::uint16_t channels() const override { return m_channels; }
    long read(std::span<std::uint8_t> out) override;
    bool seekable() const override;
    bool seekTime(double seconds) override;
    double totalTime() const override;

private:
    // libvorbisfile's query functions take a non-const stream.
    mutable OggVorbis_File m_file{};
    bool m_open = false;
    std::uint32_t m_rate = 0;
    std::uint16_t m_channels = 0;
    int m_section = 0;
    int m_holesInRow = 0;
};

}  // namespace lumenreel
