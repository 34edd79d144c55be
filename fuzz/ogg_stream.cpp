// Ogg Vorbis data as the streaming player decodes it: open, read to the end, seek, read again.
#include <cstddef>
#include <cstdint>

#include "SoundStreamFuzzing.h"
#include "sound/VorbisCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lumenreel::VorbisCodec codec;
    lumenreel::fuzz::decodeStream(codec, data, size);
    return 0;
}
