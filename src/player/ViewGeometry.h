#pragma once

namespace lumenreel {

struct ViewPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ViewPoint&, const ViewPoint&) = default;
};

// Whole pixels from left/top up to, not including, right/bottom.
struct ViewRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool contains(ViewPoint p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    friend bool operator==(const ViewRect&, const ViewRect&) = default;
};

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
    ViewRect screenRect;
};

}  // namespace lumenreel
