#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "sound/PcmCodec.h"

namespace lumenreel {

// Receives decoded PCM piece by piece; returning false stops the decoding.
using PcmSink = std::function<bool(std::span<const std::uint8_t>)>;

// What decoding a whole stream met.
struct DecodeOutcome {
    bool stoppedBySink = false;
    int gapsSkipped = 0;
    // Damage the decoder could not get past ended the stream early.
    bool brokeOff = false;
    bool damaged() const { return gapsSkipped > 0 || brokeOff; }
};

// Decodes an opened codec's stream from where it stands to its end, as the streaming player
// would play it (gaps skipped, a stream it cannot get past ends there).
DecodeOutcome decodeAll(PcmCodec& codec, const PcmSink& sink);

}  // namespace lumenreel
