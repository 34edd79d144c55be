#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sound/ByteSource.h"
#include "sound/PcmCodec.h"

namespace lumenreel::fuzz {

// Decodes the whole stream, seeks to a time taken from the data and decodes on. Every read is
// bounded by the 8192-byte buffer the player uses; the number of reads is bounded so a stream
// that expands hugely still finishes quickly.
inline void decodeStream(PcmCodec& codec, const std::uint8_t* data, std::size_t size) {
    MemoryByteSource source(std::vector<std::uint8_t>(data, data + size));
    if (!codec.open(source))
        return;
    std::vector<std::uint8_t> pcm(8192);
    auto drain = [&] {
        for (int reads = 0; reads < 4000; ++reads) {
            long n = codec.read(pcm);
            if (n == PcmCodec::kEnd)
                return;
            if (n > static_cast<long>(pcm.size()))
                __builtin_trap();
        }
    };
    drain();
    double total = codec.totalTime();
    if (codec.seekable() && size > 0) {
        codec.seekTime(total * data[size - 1] / 255.0);
        drain();
    }
}

}  // namespace lumenreel::fuzz
