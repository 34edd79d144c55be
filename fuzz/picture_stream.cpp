// Picture streams: any input is refused or loaded, and a loaded stream composes its pictures in
// a scattered order without reading outside any bitmap.
#include <cstddef>
#include <cstdint>
#include <span>

#include "published/ImageSequenceDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    NKWXDecodersEncoders::CImageSequenceDecoder decoder;
    decoder.setLimits({std::size_t{16} << 20, std::uint64_t{64} << 20});
    if (!decoder.Load(std::span(data, size)))
        return 0;
    const int count = decoder.GetPictureCount();
    CImageExt picture;
    for (int i : {count - 1, 0, count / 2, count / 2 + 1, 1})
        decoder.GetPicture(picture, i);
    for (int id = count; id < count + 8; ++id)
        decoder.FindNode(id);
    return 0;
}
