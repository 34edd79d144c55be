// Ogg Vorbis data as the streaming player decodes it: open, read to the end, seek, read again.
#include <cstddef>
#include <cstdint>

#include "SoundStreamFuzzing.h"
#include "sound/VorbisCodec.h"

// libvorbisfile itself loses a few bytes when a stream fails to open half-way (its own
// allocation, out of our reach); the fuzzer is here to find our leaks, not that one.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libvorbisfile.so";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lumenreel::VorbisCodec codec;
    lumenreel::fuzz::decodeStream(codec, data, size);
    return 0;
}
