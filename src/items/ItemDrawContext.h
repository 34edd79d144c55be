#pragma once

#include <cstdint>

struct CDrawItem_link;

namespace lumenreel {

// What a frame tells an item it asks to draw.
struct ItemDrawContext {
    // Seconds into the frame; negative: no playback time (static display).
    float time = -1.0f;
    float moveStart = 0.0f;
    float moveEnd = 1.0f;
    float frameDuration = 1.0f;
    std::uint8_t drawSelection = 0;
    std::int32_t frameIndex = 0;
    std::uint8_t placementStatus = 0;
    // Multiplies the opacity of every item of the frame.
    float opacity = 1.0f;
    const CDrawItem_link* placement = nullptr;
    float labelOpacity = 0.0f;
    float viewScale = 1.0f;
    std::int32_t viewValue = 0;
};

}  // namespace lumenreel
