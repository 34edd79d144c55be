#pragma once

namespace lumenreel {

// What a frame draws of itself. The player asks for background, items and cursor.
struct FrameDrawOptions {
    bool background = true;
    bool items = true;
    bool cursor = true;
    bool masterOverlay = true;
    float labelOpacity = 0.0f;
};

}  // namespace lumenreel
