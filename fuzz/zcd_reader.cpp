// Published demo files: the reader must refuse or load any input without crashing, and a loaded
// demo must hand out its pictures and opacities safely.
#include <cstddef>
#include <cstdint>
#include <span>

#include "published/ExternalFormatReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    NKWXDecodersEncoders::CExternalFormatReader reader;
    reader.setLimits({std::size_t{16} << 20, std::uint64_t{64} << 20});
    if (!reader.Load(std::span(data, size)))
        return 0;
    const int count = reader.GetFrameCount();
    for (int i : {0, count / 2, count - 1}) {
        const auto* frame = reader.GetFrameByIndex(i);
        if (!frame)
            continue;
        reader.GetFramePicture(frame);
        for (int n = 0; n < frame->GetPlacementCount(); ++n)
            frame->GetPlacement(n)->GetOpacity(frame->GetDuration() / 2);
        if (const auto* caption = reader.GetCaption(0))
            caption->GetTemplate();
    }
    return 0;
}
