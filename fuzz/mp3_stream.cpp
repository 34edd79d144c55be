// MP3 data as the streaming player decodes it: open, read to the end, seek, read again.
#include <cstddef>
#include <cstdint>

#include "SoundStreamFuzzing.h"
#include "sound/Mp3Codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lumenreel::Mp3Codec codec;
    lumenreel::fuzz::decodeStream(codec, data, size);
    return 0;
}
