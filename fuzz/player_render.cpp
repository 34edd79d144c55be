// Rendering moments of published demo files: whatever loads must draw without crashing or
// reading outside its pictures (overlay rectangles, cursor positions and sizes are all hostile).
#include <cstddef>
#include <cstdint>
#include <span>

#include "images/ImageExt.h"
#include "player/DocImp.h"
#include "published/ExternalFormatReader.h"

// Fontconfig keeps its configuration for the life of the process (a one-time allocation, out of
// our reach); the fuzzer is here to find our leaks, not that one.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    NKWXDecodersEncoders::CExternalFormatReader reader;
    reader.setLimits({std::size_t{16} << 20, std::uint64_t{64} << 20});
    if (!reader.Load(std::span(data, size)))
        return 0;
    CDocImp source;
    source.SetReader(&reader);
    CDocImp::Size bitmap = source.BitmapSize();
    // Large frames only make the run slow; drawing is the same at any size.
    if (std::int64_t{bitmap.width} * bitmap.height > 2048 * 2048)
        return 0;
    CImageExt frame;
    if (!frame.create(bitmap.width, bitmap.height, 32))
        return 0;
    float duration = source.Duration();
    for (float t : {0.0f, 0.3f, duration * 0.25f, duration * 0.5f, duration, duration + 1.0f})
        source.RenderAt(t, frame);
    return 0;
}
