#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "sound/PcmCodec.h"

namespace lumenreel {

// Receives decoded PCM piece by piece; returning false stops the decoding.
using PcmSink = std::function<bool(std::span<const std::uint8_t>)>;

// Decodes an opened codec's stream from where it stands to its end, as the streaming player
// would play it (gaps skipped, a stream it cannot get past ends there). False when the sink
// stopped it.
bool decodeAll(PcmCodec& codec, const PcmSink& sink);

}  // namespace lumenreel
