// An item set's "areas.txt" against a template whose size the first two bytes give: every entry
// accepted must be safe to grow the template with.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "images/ImageExt.h"
#include "themes/BalloonAreas.h"
#include "themes/BalloonPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const int width = 1 + data[0] % 64, height = 1 + data[1] % 64;
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
    CImageExt balloonTemplate, balloon;
    if (!balloonTemplate.create(width, height, 24) || !balloon.create(width + 7, height + 5, 32))
        return 0;
    for (const lumenreel::BalloonAreasEntry& entry : lumenreel::parseBalloonAreas(text)) {
        if (!entry.areas) {
            if (entry.problem.empty())
                __builtin_trap();
            continue;
        }
        if (!lumenreel::balloonAreasProblem(*entry.areas, width, height).empty())
            continue;
        const lumenreel::Rect& area = entry.areas->textArea;
        if (area.left < 0 || area.right > width || area.top < 0 || area.bottom > height)
            __builtin_trap();
        lumenreel::stretchBalloon(balloonTemplate, entry.areas->split, balloon);
    }
    return 0;
}
