#include "sound/DecodeAll.h"

#include <vector>

namespace lumenreel {

bool decodeAll(PcmCodec& codec, const PcmSink& sink) {
    std::vector<std::uint8_t> buffer(8192);
    for (;;) {
        long n = codec.read(buffer);
        if (n == PcmCodec::kEnd)
            return true;
        if (n > 0 && !sink(std::span(buffer.data(), static_cast<std::size_t>(n))))
            return false;
    }
}

}  // namespace lumenreel
