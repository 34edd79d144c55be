#pragma once

#include "base/Geometry.h"

namespace lumenreel {

// Sizes of the skinned window frame's images around the movie area; 0 for an image that is not
// loaded.
struct WindowFrameMetrics {
    int leftFillWidth = 0;
    int upperRightHeight = 0;
    int rightFillWidth = 0;
    int bottomFillHeight = 0;

    friend bool operator==(const WindowFrameMetrics&, const WindowFrameMetrics&) = default;
};

// What the view knows of its control panel window.
struct PanelState {
    bool exists = false;
    bool visible = false;
    int height = 0;
    bool fitChecked = false;
    bool fullScreenChecked = false;
    Rect screenRect;
};

}  // namespace lumenreel
