#include "sound/DecodeAll.h"

#include <algorithm>
#include <vector>

namespace lumenreel {

namespace {

// Encoders pad and decoders trim a few milliseconds at the ends; that is no damage.
constexpr double kEndTolerance = 0.05;
constexpr double kEndToleranceShare = 0.005;

// A stream that ends this much before the length its own pages or frames state was cut short
// by damage: decoders stop at a page they cannot trust as if it were the end.
bool endedEarly(const PcmCodec& codec, std::uint64_t bytes) {
    const double bytesPerSecond = 2.0 * codec.rate() * codec.channels();
    const double stated = codec.totalTime();
    if (bytesPerSecond <= 0 || !(stated > 0))
        return false;
    const double decoded = static_cast<double>(bytes) / bytesPerSecond;
    return decoded < stated - std::max(kEndTolerance, stated * kEndToleranceShare);
}

}  // namespace

DecodeOutcome decodeAll(PcmCodec& codec, const PcmSink& sink) {
    std::vector<std::uint8_t> buffer(8192);
    DecodeOutcome outcome;
    std::uint64_t bytes = 0;
    for (;;) {
        const long n = codec.read(buffer);
        if (n == PcmCodec::kEnd) {
            outcome.brokeOff = codec.brokeOff() || endedEarly(codec, bytes);
            return outcome;
        }
        if (n > 0)
            bytes += static_cast<std::uint64_t>(n);
        if (n == PcmCodec::kHole)
            ++outcome.gapsSkipped;
        if (n > 0 && !sink(std::span(buffer.data(), static_cast<std::size_t>(n)))) {
            outcome.stoppedBySink = true;
            return outcome;
        }
    }
}

}  // namespace lumenreel
