#include <cstddef>
#include <cstdint>
#include <span>

#include "document/ZephyrcastBaseDocument.h"
#include "images/ImageExt.h"

// An authoring document of either form read from bytes anyone can hand over, then drawn at a
// few moments and written back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lumenreel::CZephyrcastBaseDocument document;
    if (!document.load(std::span(data, size)))
        return 0;
    CImageExt picture;
    const float total = document.totalDuration();
    for (float t : {0.0f, total * 0.5f, total})
        document.drawAtTime(picture, t);
    document.save();
    return 0;
}

// Fontconfig keeps its configuration for the life of the process (a one-time allocation, out of
// our reach); the fuzzer is here to find our leaks, not that one.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so";
}
