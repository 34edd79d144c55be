#pragma once

#include <cstdint>
#include <span>

#include "sound/ByteSource.h"

namespace lumenreel {

// A compressed-audio decoder producing interleaved signed 16-bit little-endian PCM, so one
// streaming player serves every soundtrack kind.
class PcmCodec {
public:
    // read() results besides a byte count.
    static constexpr long kEnd = 0;
    static constexpr long kHole = -1;

    virtual ~PcmCodec() = default;

    // The source must outlive the codec. False when the data is not a stream of this kind.
    virtual bool open(ByteSource& source) = 0;
    virtual std::uint32_t rate() const = 0;
    virtual std::uint16_t channels() const = 0;
    // Up to out.size() bytes of whole sample frames; kEnd at the end of the stream or on an
    // error it cannot get past, kHole for a gap the next read continues after.
    virtual long read(std::span<std::uint8_t> out) = 0;
    // Whether the last kEnd came from damage the decoder could not get past rather than from the
    // stream's own end.
    bool brokeOff() const { return m_brokeOff; }
    virtual bool seekable() const = 0;
    virtual bool seekTime(double seconds) = 0;
    virtual double totalTime() const = 0;

protected:
    long breakOff() {
        m_brokeOff = true;
        return kEnd;
    }
    void resumeAfterSeek() { m_brokeOff = false; }

private:
    bool m_brokeOff = false;
};

}  // namespace lumenreel
